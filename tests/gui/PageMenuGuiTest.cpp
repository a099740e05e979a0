#include "GuiSession.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program copied into a folder of its own, whose transform script
// writes down what each load read (its character set, then its text), with
// an empty per-user configuration.
class PageMenuGui : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString program = dir.filePath(QStringLiteral("program"));
        ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/script")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(SORVANE_EXE), program + QStringLiteral("/sorvane")));
        QFile script(program + QStringLiteral("/script/subtitles.js"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("Main.SetFileText('%1', Main.Config('CharSet') + '\\n' + Main.Config('Format'));")
                         .arg(seen())
                         .toUtf8());
        script.close();
        executable = program + QStringLiteral("/sorvane");
        session.setEnvironment(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    }

    void start(const QStringList &arguments)
    {
        QString error;
        ASSERT_TRUE(GuiSession::startServer(&error)) << error.toStdString();
        ASSERT_TRUE(session.startProgram(executable, arguments, &error)) << error.toStdString();
    }

    QString seen() const { return dir.filePath(QStringLiteral("seen.txt")); }
    QString xdotool(const QStringList &arguments) { return session.run(QStringLiteral("xdotool"), arguments); }
    void keys(const QStringList &names)
    {
        for (const QString &name : names) {
            xdotool({QStringLiteral("key"), name});
            pauseMs(150);
        }
    }
    // A right click over the page, and a moment for the menu to open.
    void rightClickPage()
    {
        const QRect window = session.windowRect();
        xdotool({QStringLiteral("mousemove"), QString::number(window.center().x()),
                 QString::number(window.bottom() - 30)});
        xdotool({QStringLiteral("click"), QStringLiteral("3")});
        pauseMs(500);
    }
    bool waitForSeen(const QByteArray &start, int timeoutMs = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            if (contents(seen()).startsWith(start))
                return true;
            pauseMs(100);
        }
        return false;
    }

    QTemporaryDir dir;
    QString executable;
    GuiSession session;
};

// 打开字幕… is the menu's first item; the file dialog takes a typed path.
TEST_F(PageMenuGui, OpenFromTheRightClickMenuLoadsTheChosenFile)
{
    const QString film = dir.filePath(QStringLiteral("film.srt"));
    QFile f(film);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1\r\n00:00:01,000 --> 00:00:02,000\r\nopened\r\n");
    f.close();
    start({});
    rightClickPage();
    keys({QStringLiteral("Down"), QStringLiteral("Return")});
    ASSERT_TRUE(session.waitForWindow(QStringLiteral("打开字幕"))) << "no file dialog";
    pauseMs(500);
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), film});
    keys({QStringLiteral("Return")});
    ASSERT_TRUE(waitForSeen("utf-8\n")) << contents(seen()).toStdString();
    EXPECT_TRUE(contents(seen()).contains("opened"));
    EXPECT_TRUE(session.windowName().contains(QStringLiteral("film.srt"))) << session.windowName().toStdString();
}

// 编码 › 繁體中文 (Big5) reads a Big5 file again, correctly.
TEST_F(PageMenuGui, ChoosingBig5ReadsTheFileAgainInBig5)
{
    const QString film = dir.filePath(QStringLiteral("big5.srt"));
    QFile f(film);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QStringEncoder big5("Big5");
    ASSERT_TRUE(big5.isValid());
    f.write(big5.encode(QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,000\r\n這個\r\n")));
    f.close();
    start({film});
    ASSERT_TRUE(waitForSeen("GB2312\n")) << "too little text to detect: read as GB2312 first";
    // 打开字幕…, 最近打开, 重新载入, 编码 ▸; then 自动检测, UTF-8, UTF-16 LE,
    // UTF-16 BE, GBK, Big5.
    rightClickPage();
    keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
          QStringLiteral("Right"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
          QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
    ASSERT_TRUE(waitForSeen("BIG5\n")) << contents(seen()).toStdString();
    EXPECT_TRUE(QString::fromUtf8(contents(seen())).contains(QStringLiteral("這個")));
}

// A file named on the command line that does not exist gets the box.
TEST_F(PageMenuGui, AMissingFileOnTheCommandLineShowsTheBox)
{
    start({dir.filePath(QStringLiteral("missing.srt"))});
    EXPECT_TRUE(session.waitForWindow(QStringLiteral("系统提示")));
    EXPECT_TRUE(session.programRunning());
}

} // namespace
