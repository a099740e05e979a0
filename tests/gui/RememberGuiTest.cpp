#include "GuiSession.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The program copied with the shipped scripts into a folder of its own and
// run under a window manager with an empty per-user configuration: what
// the user set up comes back at the next start.
class RememberGui : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(scripts()));
        ASSERT_TRUE(QFile::copy(QStringLiteral(SORVANE_EXE), executable()));
        const QDir shipped(QFileInfo(QStringLiteral(SORVANE_EXE)).absolutePath() + QStringLiteral("/script"));
        for (const QString &name : shipped.entryList({QStringLiteral("*.js"), QStringLiteral("*.txt")}, QDir::Files))
            ASSERT_TRUE(QFile::copy(shipped.filePath(name), scripts() + name));
        QString error;
        ASSERT_TRUE(GuiSession::startServer(&error)) << error.toStdString();
    }

    QString executable() const { return dir.filePath(QStringLiteral("program/sorvane")); }
    QString scripts() const { return dir.filePath(QStringLiteral("program/script/")); }
    QString settings() const { return scripts() + QStringLiteral("Settings.ini"); }

    // One run of the program, started and, at the end, closed as by the
    // window manager's close button.
    struct Run {
        GuiSession session;
        QString xdotool(const QStringList &arguments) { return session.run(QStringLiteral("xdotool"), arguments); }
        void press(const QString &keys)
        {
            xdotool({QStringLiteral("key"), keys});
            pauseMs(700);
        }
    };

    void start(Run &run)
    {
        QString error;
        ASSERT_TRUE(run.session.startWindowManager(&error)) << error.toStdString();
        run.session.setEnvironment(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        ASSERT_TRUE(run.session.startProgram(executable(), {}, &error)) << error.toStdString();
        pauseMs(800);
    }
    void close(Run &run)
    {
        ASSERT_TRUE(run.session.closeWindow());
        ASSERT_TRUE(run.session.waitForExit()) << "the window did not close";
    }

    QTemporaryDir dir;
};

TEST_F(RememberGui, SizeColourGlowModeAndPlacementComeBack)
{
    const QByteArray shippedStart = readAll(scripts() + QStringLiteral("System.js"));
    // This run's start-up script also makes the changes a user's script makes.
    ASSERT_TRUE(writeAll(scripts() + QStringLiteral("System.js"),
                         shippedStart + "\nMain.Config('Color', '#ff8800'); Main.SetTextShadow(true);"
                                        " Main.OnShadow.Checked = true;"
                                        " Main.Width = 12000; Main.Height = 1800; Main.Left = 3000; Main.Top = 4500;\n"));
    QRect placed;
    {
        Run run;
        start(run);
        // Hotkeys, as a user presses them while the video has the focus:
        // Esc to the first frameless mode, where the size keys work, two
        // sizes up, then Esc to the see-through mode.
        run.press(QStringLiteral("Escape"));
        run.press(QStringLiteral("ctrl+KP_Add"));
        run.press(QStringLiteral("ctrl+KP_Add"));
        run.press(QStringLiteral("Escape"));
        placed = run.session.clientRect();
        close(run);
    }
    const QByteArray saved = readAll(settings());
    ASSERT_FALSE(saved.isEmpty()) << "nothing saved at close";
    EXPECT_TRUE(saved.contains("Color=#ff8800")) << saved.constData();
    EXPECT_TRUE(saved.contains("Shadow=True")) << saved.constData();
    EXPECT_FALSE(saved.contains("FontSize=24\r\n")) << saved.constData();
    EXPECT_TRUE(saved.contains("Mode=2")) << saved.constData();

    // The next start runs the shipped start-up script only.
    ASSERT_TRUE(writeAll(scripts() + QStringLiteral("System.js"), shippedStart));
    {
        Run run;
        start(run);
        // The window manager may take a moment to settle the restored window.
        for (int waited = 0; waited < 5000 && run.session.clientRect() != placed; waited += 100)
            pauseMs(100);
        EXPECT_EQ(run.session.clientRect(), placed) << saved.constData() << placed.x() << "," << placed.y() << " "
                                                    << placed.width() << "x" << placed.height();
        close(run);
    }
    // Saved again at the second close: everything it had was restored.
    EXPECT_EQ(readAll(settings()), saved);
}

TEST_F(RememberGui, APlacementOffEveryScreenComesBackOnScreen)
{
    ASSERT_TRUE(writeAll(settings(), "[Config]\r\nColor=red\r\n[Window]\r\nLeft=900000\r\nTop=-600000\r\n"
                                     "Width=11760\r\nHeight=2250\r\nWindowState=0\r\nMode=0\r\nMSID=0\r\n"));
    Run run;
    start(run);
    const QRect window = run.session.windowRect();
    const QImage screen = run.session.grabScreen();
    EXPECT_TRUE(QRect(QPoint(0, 0), screen.size()).contains(window)) << window.x() << "," << window.y();
}

} // namespace
