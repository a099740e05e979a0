#include "GuiSession.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPainter>
#include <QRasterWindow>
#include <QTemporaryDir>

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace {

constexpr QRgb kBackground = qRgb(1, 1, 1);
constexpr int kPageHeight = 102;

// A plain window that counts the presses it receives.
class Target : public QRasterWindow {
public:
    int presses = 0;

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::darkRed); }
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

class WindowGui : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid());
        // The registry store of the program goes into a folder of the test's.
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QString error;
        ASSERT_TRUE(session.startServer(&error)) << error.toStdString();
        ASSERT_TRUE(session.startProgram(QStringLiteral(SORVANE_EXE), {}, &error)) << error.toStdString();
        const QRect window = session.windowRect();
        ASSERT_TRUE(session.waitForScreen(
            [&](const QImage &shot) { return shot.pixel(window.left() + 2, window.bottom() - 2) == kBackground; }))
            << "the page was never painted";
    }

    QString xdotool(const QStringList &arguments) { return session.run(QStringLiteral("xdotool"), arguments); }
    void mouseTo(const QPoint &p)
    {
        xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
    }
    void clickAt(const QPoint &p, int repeat = 1)
    {
        mouseTo(p);
        xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(repeat), QStringLiteral("--delay"),
                 QStringLiteral("80"), QStringLiteral("1")});
        pauseMs(400);
    }
    void keys(const QStringList &names)
    {
        for (const QString &name : names) {
            xdotool({QStringLiteral("key"), name});
            pauseMs(250);
        }
    }

    // The page: the bottom kPageHeight rows of the window, whatever sits above.
    QRect pageRect()
    {
        const QRect w = session.windowRect();
        return QRect(w.left(), w.bottom() - kPageHeight + 1, w.width(), kPageHeight);
    }

    // Centres of the menu bar's entries, left to right, found as runs of
    // text columns separated by wide gaps.
    QVector<QPoint> menuEntries()
    {
        const QRect w = session.windowRect();
        const QRect bar(w.left(), w.top(), w.width(), pageRect().top() - w.top());
        const QImage shot = session.grabScreen();
        QVector<QPoint> centres;
        int start = -1, lastInk = -100;
        for (int x = bar.left(); x <= bar.right() + 20; ++x) {
            bool ink = false;
            for (int y = bar.top() + 2; x <= bar.right() && y < bar.bottom() - 1 && !ink; ++y)
                ink = QColor(shot.pixel(x, y)).lightness() < 110;
            if (ink) {
                if (start < 0 || x - lastInk > 8) {
                    if (start >= 0)
                        centres << QPoint((start + lastInk) / 2, bar.center().y());
                    start = x;
                }
                lastInk = x;
            }
        }
        if (start >= 0)
            centres << QPoint((start + lastInk) / 2, bar.center().y());
        return centres;
    }

    // The rows and columns of the cue area that are not background.
    QRect inkBox(const QImage &shot, const QRect &area)
    {
        QRect box;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shot.pixel(x, y) != kBackground)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    int inkCount(const QImage &shot, const QRect &area)
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += shot.pixel(x, y) != kBackground;
        return n;
    }
    // The cue area: the page above the clock box row.
    QRect cueArea() { return pageRect().adjusted(0, 0, 0, -36); }

    // Runs "英语样式" through the menu, accepting the offered style: the cue
    // element then shows the two-line preview.
    void showPreview(const QVector<QPoint> &entries)
    {
        ASSERT_GE(entries.size(), 9);
        clickAt(entries[8]); // 程序设置
        keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
              QStringLiteral("Right"), QStringLiteral("Down"), QStringLiteral("Return")});
        pauseMs(500);
        keys({QStringLiteral("Return")}); // the input box
        pauseMs(500);
    }

    QTemporaryDir config;
    GuiSession session;
};

TEST_F(WindowGui, LeftDragMovesTheWindowByTheDragDistance)
{
    const QRect before = session.windowRect();
    const QPoint grab = pageRect().center() + QPoint(60, -10);
    mouseTo(grab);
    xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
    for (int step = 1; step <= 5; ++step)
        mouseTo(grab + QPoint(-24 * step, 18 * step));
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    pauseMs(400);
    const QRect after = session.windowRect();
    EXPECT_EQ(after.topLeft() - before.topLeft(), QPoint(-120, 90));
    EXPECT_EQ(after.size(), before.size());
}

TEST_F(WindowGui, DoubleClickCyclesTheDisplayModes)
{
    const QRect window = session.windowRect();
    const QPoint topMiddle(window.center().x(), window.top() + 3);
    ASSERT_NE(session.grabScreen().pixel(topMiddle), kBackground) << "mode 0 shows the menu bar";

    clickAt(pageRect().center(), 2);
    EXPECT_TRUE(session.waitForScreen([&](const QImage &s) { return s.pixel(topMiddle) == kBackground; }, 3000))
        << "mode 1: the page fills the window";
    EXPECT_EQ(session.windowRect(), window) << "the window keeps its place and size";

    clickAt(pageRect().center(), 2);
    EXPECT_TRUE(session.waitForScreen([&](const QImage &s) { return s.pixel(topMiddle) != kBackground; }, 3000))
        << "mode 2: the background is see-through";

    clickAt(QPoint(window.left() + 60, window.bottom() - 22), 2); // on the clock box, which stays
    EXPECT_TRUE(session.waitForScreen(
        [&](const QImage &s) {
            return s.pixel(topMiddle) != kBackground && s.pixel(pageRect().center()) == kBackground;
        },
        3000))
        << "mode 0: menu bar and opaque page again";
}

TEST_F(WindowGui, SeeThroughShapeLeavesOutTheBackgroundOnly)
{
    clickAt(pageRect().center(), 2);
    clickAt(pageRect().center(), 2);
    pauseMs(500);
    const QRect window = session.windowRect();

    Display *display = XOpenDisplay(GuiSession::display().toLocal8Bit().constData());
    ASSERT_NE(display, nullptr);
    int count = 0, ordering = 0;
    XRectangle *rects = XShapeGetRectangles(display, Window(session.windowId().toULong()), ShapeBounding, &count,
                                            &ordering);
    auto inside = [&](QPoint global) {
        const QPoint p = global - window.topLeft();
        for (int i = 0; i < count; ++i)
            if (QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height).contains(p))
                return true;
        return false;
    };
    const QRect page = pageRect();
    EXPECT_GT(count, 1);
    EXPECT_FALSE(inside(page.center())) << "the empty cue area";
    EXPECT_FALSE(inside(page.topLeft() + QPoint(5, 5)));
    EXPECT_FALSE(inside(QPoint(page.right() - 5, page.top() + 5)));
    // The clock box (black with lime text) and the marker stay.
    EXPECT_TRUE(inside(QPoint(page.left() + 25, page.bottom() - 22)));
    EXPECT_TRUE(inside(QPoint(page.left() + 60, page.bottom() - 22)));
    const QImage shot = session.grabScreen();
    int markerInk = 0;
    for (int y = page.bottom() - 28; y <= page.bottom() - 8; ++y)
        for (int x = page.right() - 28; x <= page.right() - 8; ++x)
            markerInk += inside(QPoint(x, y)) && qGreen(shot.pixel(x, y)) > 150;
    EXPECT_GT(markerInk, 10);
    XFree(rects);
    XCloseDisplay(display);
}

TEST_F(WindowGui, ClickOnASeeThroughPixelReachesTheWindowBelow)
{
    const QRect page = pageRect();
    Target below;
    below.setFlags(Qt::Window | Qt::FramelessWindowHint);
    below.setGeometry(page.adjusted(-20, -20, 20, 20));
    below.show();
    pauseMs(500);
    // The overlay goes back on top.
    xdotool({QStringLiteral("windowraise"), session.windowId()});
    pauseMs(300);

    clickAt(page.center(), 2);
    clickAt(page.center(), 2);
    pauseMs(500);
    below.presses = 0;

    clickAt(page.center());
    EXPECT_EQ(below.presses, 1) << "the empty cue area lets the click through";
    clickAt(QPoint(page.left() + 40, page.bottom() - 22));
    EXPECT_EQ(below.presses, 1) << "the clock box keeps it";
}

TEST_F(WindowGui, GlowAndLargerTextChangeTheCue)
{
    const QVector<QPoint> entries = menuEntries();
    ASSERT_GE(entries.size(), 9) << "menu bar entries found: " << entries.size();
    showPreview(entries);
    QImage shot = session.grabScreen();
    const QRect plainBox = inkBox(shot, cueArea());
    const int plainInk = inkCount(shot, cueArea());
    ASSERT_GT(plainInk, 200) << "the preview shows in the cue element";

    // "字体发光": the halo and the downward stack add lit pixels around the letters.
    clickAt(entries[8]);
    keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
    pauseMs(500);
    shot = session.grabScreen();
    const int glowInk = inkCount(shot, cueArea());
    EXPECT_GT(glowInk, plainInk * 13 / 10) << plainInk << " -> " << glowInk;

    // "字+" ten times: the Chinese line grows by ten pixels, its line by ten more.
    clickAt(entries[8]);
    keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}); // glow off again
    for (int i = 0; i < 10; ++i)
        clickAt(entries[5]);
    pauseMs(300);
    shot = session.grabScreen();
    const QRect largerBox = inkBox(shot, pageRect().adjusted(0, 0, 0, -1));
    EXPECT_GE(largerBox.height(), plainBox.height() + 10) << plainBox.height() << " -> " << largerBox.height();
}

// 字体 and 颜色 run Font.js and Color.js from the shipped script folder, which
// open the platform's chooser centred over the window; Cancel closes it.
// Their titles are Qt's own texts, in Chinese like the menus.
TEST_F(WindowGui, ChoosersOpenCentredOverTheWindowAndClose)
{
    const struct {
        int entry;
        const char *title;
    } choosers[] = {{6, "选择字体"}, {7, "选择颜色"}};
    for (const auto &c : choosers) {
        SCOPED_TRACE(c.title);
        const QVector<QPoint> entries = menuEntries();
        ASSERT_GE(entries.size(), 9) << "menu bar entries found: " << entries.size();
        clickAt(entries[c.entry]);
        const QString id = xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--name"), QString::fromUtf8(c.title)})
                               .section(QLatin1Char('\n'), 0, 0)
                               .trimmed();
        ASSERT_FALSE(id.isEmpty()) << "no chooser window";
        const QString shell = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
        auto field = [&shell](const char *name) {
            for (const QString &line : shell.split(QLatin1Char('\n')))
                if (line.startsWith(QLatin1String(name) + QLatin1Char('=')))
                    return line.section(QLatin1Char('='), 1).toInt();
            return -1;
        };
        const QRect box(field("X"), field("Y"), field("WIDTH"), field("HEIGHT"));
        if (qEnvironmentVariableIsSet("SORVANE_GUI_SHOTS"))
            session.grabScreen().save(qEnvironmentVariable("SORVANE_GUI_SHOTS") + QStringLiteral("/chooser%1.png").arg(c.entry));
        const QRect window = session.windowRect();
        EXPECT_LE(std::abs(box.center().x() - window.center().x()), 2) << box.center().x() << " vs " << window.center().x();
        // Centred, or pushed onto the screen when it is taller than the room above and below.
        if (box.top() > 0) {
            EXPECT_LE(std::abs(box.center().y() - window.center().y()), 2) << box.center().y() << " vs " << window.center().y();
        }

        // Cancel, the last button of the bottom row (Escape would also be the
        // hotkey that hides the title).
        clickAt(QPoint(box.right() - 50, box.bottom() - 24));
        pauseMs(500);
        EXPECT_TRUE(xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                             QString::fromUtf8(c.title)})
                        .trimmed()
                        .isEmpty())
            << "the chooser is still open";
    }
}

} // namespace
