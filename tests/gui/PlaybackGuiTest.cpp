#include "GuiSession.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

bool isCyan(QRgb p)
{
    return qGreen(p) > 150 && qBlue(p) > 150 && qRed(p) < 100;
}

// Cue pixels left of where the centred ready message reaches.
int cuePixels(const QImage &screen, const QRect &window)
{
    int n = 0;
    const QRect area = QRect(window.left() + 120, window.top(), 130, window.height()).intersected(screen.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += isCyan(screen.pixel(x, y)) ? 1 : 0;
    return n;
}

TEST(PlaybackGui, GlobalHotkeysStartPlaybackWhileAnotherWindowHasTheFocus)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("hotkeys.srt"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1\r\n00:00:00,000 --> 00:00:30,000\r\n" + QByteArray(40, 'H') + "\r\n");
    f.close();

    GuiSession session;
    QString error;
    ASSERT_TRUE(GuiSession::startServer(&error)) << error.toStdString();
    ASSERT_TRUE(session.startProgram(QStringLiteral(SORVANE_EXE), {file}, &error)) << error.toStdString();
    // The file from the command line is taken in: its name is in the caption.
    for (int i = 0; i < 50 && !session.windowName().contains(QStringLiteral("hotkeys.srt")); ++i)
        pauseMs(100);
    ASSERT_TRUE(session.windowName().contains(QStringLiteral("hotkeys.srt"))) << session.windowName().toStdString();
    pauseMs(500);
    EXPECT_EQ(cuePixels(session.grabScreen(), session.windowRect()), 0);

    // Another program takes the keyboard focus.
    QProcess other;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), GuiSession::display());
    other.setProcessEnvironment(env);
    other.start(QStringLiteral("xmessage"), {QStringLiteral("-geometry"), QStringLiteral("+0+400"),
                                             QStringLiteral("-name"), QStringLiteral("focusholder"),
                                             QStringLiteral("focus is here")});
    ASSERT_TRUE(other.waitForStarted(5000));
    QString otherId;
    for (int i = 0; i < 50 && otherId.isEmpty(); ++i) {
        otherId = session.run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                          QStringLiteral("--classname"), QStringLiteral("focusholder")})
                      .trimmed()
                      .split(u'\n')
                      .first();
        pauseMs(100);
    }
    ASSERT_FALSE(otherId.isEmpty());
    session.run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), otherId});
    const QString focused = session.run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}).trimmed();
    EXPECT_NE(focused, session.windowId());

    // Esc: the first frameless mode, where the Ctrl hotkeys are on; then Ctrl+Alt+Enter starts.
    session.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
    pauseMs(600);
    // Ctrl and Alt are held over several ticks and Enter is tapped in
    // between, so exactly one tick sees all three, as with a user's fingers.
    session.run(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("ctrl"), QStringLiteral("alt")});
    pauseMs(450);
    session.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    pauseMs(450);
    session.run(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("alt"), QStringLiteral("ctrl")});
    const bool shown = session.waitForScreen(
        [&](const QImage &screen) { return cuePixels(screen, session.windowRect()) > 30; }, 8000);
    EXPECT_TRUE(shown) << "the first cue never appeared";
    if (!shown && qEnvironmentVariableIsSet("SORVANE_GUI_SHOTS"))
        session.grabScreen().save(qEnvironmentVariable("SORVANE_GUI_SHOTS") + QStringLiteral("/playback.png"));
    other.kill();
    other.waitForFinished(2000);
}

} // namespace
