#include "GuiSession.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QTemporaryDir>

namespace {

// Beside a video in another program under a real window manager: the
// overlay never takes the keyboard focus, whatever the hotkeys and clicks
// do to it, and a key that closes one of its boxes is not also a hotkey.
class FocusGui : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid());
        QString error;
        ASSERT_TRUE(GuiSession::startServer(&error)) << error.toStdString();
        ASSERT_TRUE(session.startWindowManager(&error)) << error.toStdString();

        ASSERT_TRUE(startHelper(video, QStringLiteral("xterm"),
                                {QStringLiteral("-geometry"), QStringLiteral("80x10+0+500"), QStringLiteral("-name"),
                                 QStringLiteral("videoplayer")}));
        for (int i = 0; i < 150 && videoId.isEmpty(); ++i) {
            videoId = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--classname"),
                               QStringLiteral("videoplayer")})
                          .trimmed()
                          .section(QLatin1Char('\n'), 0, 0);
            pauseMs(100);
        }
        ASSERT_FALSE(videoId.isEmpty()) << "no xterm window";
        xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), videoId});
        ASSERT_EQ(activeWindow(), videoId);

        session.setEnvironment(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        ASSERT_TRUE(session.startProgram(QStringLiteral(SORVANE_EXE), {}, &error)) << error.toStdString();
        pauseMs(800);
    }

    void TearDown() override
    {
        video.terminate();
        if (!video.waitForFinished(3000))
            video.kill();
    }

    bool startHelper(QProcess &process, const QString &program, const QStringList &arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), GuiSession::display());
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        return process.waitForStarted(5000);
    }

    QString xdotool(const QStringList &arguments) { return session.run(QStringLiteral("xdotool"), arguments); }
    QString activeWindow() { return xdotool({QStringLiteral("getactivewindow")}).trimmed(); }

    QRect clientRect() { return session.clientRect(); }

public:
    // The display mode shows at the top of the window: the menu bar in the
    // framed mode, the page's background in the first frameless one, what
    // lies below in the see-through one.
    QRgb topMiddle()
    {
        const QRect w = clientRect();
        return session.grabScreen().pixel(w.center().x(), w.top() + 3);
    }
    bool framed()
    {
        const bool shown = QColor(topMiddle()).lightness() > 100;
        if (!shown && qEnvironmentVariableIsSet("SORVANE_GUI_SHOTS"))
            session.grabScreen().save(qEnvironmentVariable("SORVANE_GUI_SHOTS") + QStringLiteral("/focus.png"));
        return shown;
    }
    bool firstFrameless() { return topMiddle() == qRgb(1, 1, 1); }

protected:

    // A tap of the keys, then time for the hotkey ticks (every 200 ms).
    void press(const QString &keys, int settleMs = 700)
    {
        xdotool({QStringLiteral("key"), keys});
        pauseMs(settleMs);
    }
    QString boxId(const char *title)
    {
        return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                        QString::fromUtf8(title)})
            .trimmed()
            .section(QLatin1Char('\n'), 0, 0);
    }

    QTemporaryDir config;
    QProcess video;
    QString videoId;
    GuiSession session;
};

TEST_F(FocusGui, ModeChangesHotkeysAndClicksLeaveTheFocusWithTheVideo)
{
    EXPECT_EQ(activeWindow(), videoId) << "the start took the focus";
    ASSERT_TRUE(framed());

    // Esc through every mode and back, each change re-creating the window.
    const struct {
        const char *mode;
        bool (FocusGui::*shown)();
    } modes[] = {{"first frameless", &FocusGui::firstFrameless},
                 {"see-through", nullptr},
                 {"framed", &FocusGui::framed},
                 {"first frameless", &FocusGui::firstFrameless}};
    for (const auto &m : modes) {
        SCOPED_TRACE(m.mode);
        press(QStringLiteral("Escape"));
        if (m.shown) {
            EXPECT_TRUE((this->*m.shown)()) << "Esc did not reach the mode";
        }
        EXPECT_EQ(activeWindow(), videoId);
    }

    // The Ctrl hotkeys of the frameless modes that open no box.
    for (const char *keys : {"ctrl+alt+Return", "ctrl+equal", "ctrl+minus", "ctrl+KP_Add", "ctrl+KP_Subtract",
                             "ctrl+KP_Multiply", "ctrl+KP_Divide", "ctrl+alt+Return"}) {
        SCOPED_TRACE(keys);
        press(QString::fromLatin1(keys), 500);
        EXPECT_EQ(activeWindow(), videoId);
    }

    // A click on the frameless strip (as to drag it) leaves the focus too.
    const QRect strip = clientRect();
    xdotool({QStringLiteral("mousemove"), QString::number(strip.center().x() + 80),
             QString::number(strip.center().y())});
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    pauseMs(500);
    EXPECT_EQ(activeWindow(), videoId);

    // On through the see-through mode back to the framed one.
    press(QStringLiteral("Escape"));
    EXPECT_EQ(activeWindow(), videoId);
    press(QStringLiteral("Escape"));
    EXPECT_TRUE(framed());
    EXPECT_EQ(activeWindow(), videoId);
}

// A box that asks takes the focus; the Esc that cancels it closes the box
// only, and the display mode stays.
TEST_F(FocusGui, EscClosingABoxIsNotAlsoTheHotkey)
{
    press(QStringLiteral("Escape"));
    ASSERT_TRUE(firstFrameless());
    press(QStringLiteral("ctrl+KP_Decimal")); // the colour box
    // A busy machine may take a few seconds to build the dialog.
    QString box = boxId("选择颜色");
    for (int waited = 0; waited < 10000 && box.isEmpty(); waited += 200) {
        pauseMs(200);
        box = boxId("选择颜色");
    }
    ASSERT_FALSE(box.isEmpty()) << "the colour box did not open";
    for (int waited = 0; waited < 3000 && activeWindow() != box; waited += 200)
        pauseMs(200);
    EXPECT_EQ(activeWindow(), box);

    // Esc held over several hotkey ticks, as a slow finger would.
    xdotool({QStringLiteral("keydown"), QStringLiteral("Escape")});
    pauseMs(600);
    xdotool({QStringLiteral("keyup"), QStringLiteral("Escape")});
    pauseMs(700);
    for (int waited = 0; waited < 5000 && !boxId("选择颜色").isEmpty(); waited += 200)
        pauseMs(200);
    EXPECT_TRUE(boxId("选择颜色").isEmpty()) << "Esc did not close the box";
    EXPECT_TRUE(firstFrameless()) << "the Esc that closed the box also changed the mode";

    // The next Esc is the hotkey again: two of them, through the see-through
    // mode, reach the framed one.
    press(QStringLiteral("Escape"));
    press(QStringLiteral("Escape"));
    EXPECT_TRUE(framed());
}

} // namespace
