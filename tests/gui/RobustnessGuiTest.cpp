#include "GuiSession.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What only the real program shows: the window thread is never held by what
// it is given, and nothing it is given ends it.
class RobustnessGui : public testing::Test {
protected:
    void start(const QString &executable, const QStringList &arguments)
    {
        QString error;
        ASSERT_TRUE(GuiSession::startServer(&error)) << error.toStdString();
        ASSERT_TRUE(session.startProgram(executable, arguments, &error)) << error.toStdString();
    }

    QTemporaryDir dir;
    GuiSession session;
};

// A named pipe would hold the window thread in open() for ever: it gets the
// box of a file that cannot be read.
TEST_F(RobustnessGui, ANamedPipeGetsTheUnreadableBox)
{
    const QString pipe = dir.filePath(QStringLiteral("p.srt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    start(QStringLiteral(SORVANE_EXE), {pipe});
    EXPECT_TRUE(session.waitForWindow(QStringLiteral("系统提示"))) << "no box: the window thread is held";
    EXPECT_TRUE(session.programRunning());
}

// A script that takes itself in again nests 16 runs deep and is then
// refused with the report; the program lives on.
TEST_F(RobustnessGui, AScriptThatTakesItselfInAgainEndsWithTheReport)
{
    const QString script = dir.filePath(QStringLiteral("self.js"));
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("Main.CallBack('%1');").arg(script).toUtf8());
    f.close();
    start(QStringLiteral(SORVANE_EXE), {script});
    EXPECT_TRUE(session.waitForWindow(QStringLiteral("Out of stack space"), 20000));
    EXPECT_TRUE(session.programRunning());
}

// A name that is no valid text, given on the command line by its bytes.
TEST_F(RobustnessGui, ANameThatIsNoValidTextGetsTheUnreadableBox)
{
    const QByteArray bad = QFile::encodeName(dir.path()) + "/bad\xff\xfe.srt";
    const int fd = ::open(bad.constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    const char cue[] = "1\r\n00:00:01,000 --> 00:00:02,000\r\ncue\r\n";
    const bool written = ::write(fd, cue, sizeof cue - 1) == ssize_t(sizeof cue - 1);
    ::close(fd);
    ASSERT_TRUE(written);
    start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$1$(printf '\\377\\376').srt\""),
                                      QStringLiteral(SORVANE_EXE), dir.filePath(QStringLiteral("bad"))});
    EXPECT_TRUE(session.waitForWindow(QStringLiteral("系统提示")));
    EXPECT_TRUE(session.programRunning());
}

} // namespace
