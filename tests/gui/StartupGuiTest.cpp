#include "GuiSession.h"

#include <gtest/gtest.h>

#include <QColor>

namespace {

constexpr QRgb kBackground = qRgb(1, 1, 1);

bool isLime(QRgb p)
{
    return qGreen(p) > 150 && qRed(p) < 110 && qBlue(p) < 110;
}

int countPixels(const QImage &image, const QRect &area, bool (*test)(QRgb))
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

class StartupGui : public testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(session.startServer(&error)) << error.toStdString();
        ASSERT_TRUE(session.startProgram(QStringLiteral(SORVANE_EXE), {}, &error)) << error.toStdString();
    }

    GuiSession session;
};

TEST_F(StartupGui, ShowsThePageUnderTheMenuBar)
{
    const QRect window = session.windowRect();
    ASSERT_EQ(window.width(), 784);

    // Wait for the first paint of the page: its bottom-left pixel turns #010101.
    QImage screen;
    ASSERT_TRUE(session.waitForScreen([&](const QImage &shot) {
        screen = shot;
        return shot.pixel(window.left() + 2, window.bottom() - 2) == kBackground;
    })) << "the page was never painted";

    // The client area is the page: 102 rows of background at a column left
    // of the notes (the first start's note stands at the bottom middle),
    // counted up from the window's bottom edge, then the menu bar.
    const int column = window.left() + 3;
    int pageRows = 0;
    for (int y = window.bottom(); y >= window.top() && screen.pixel(column, y) == kBackground; --y)
        ++pageRows;
    EXPECT_EQ(pageRows, 102);
    const int pageTop = window.bottom() - pageRows + 1;

    // The empty cue area: a whole row through the middle of the page is background.
    const int middle = pageTop + 40;
    int background = 0;
    for (int x = window.left(); x <= window.right(); ++x)
        background += screen.pixel(x, middle) == kBackground ? 1 : 0;
    EXPECT_EQ(background, 784);

    // The menu bar above the page is drawn in the platform's light colours.
    const QColor menu(screen.pixel(column, pageTop - 5));
    EXPECT_GT(menu.lightness(), 100);

    // The clock box bottom left: lime text on black, 15 px up, 20 px in.
    const QRect clock(window.left() + 20, window.bottom() - 15 - 16, 130, 17);
    EXPECT_GT(countPixels(screen, clock, isLime), 40);
    EXPECT_GT(countPixels(screen, clock, [](QRgb p) { return p == qRgb(0, 0, 0); }), 40);
    EXPECT_EQ(countPixels(screen, QRect(window.left(), window.bottom() - 40, 18, 40), isLime), 0);

    // The marker bottom right.
    const QRect marker(window.right() - 30, window.bottom() - 30, 25, 24);
    EXPECT_GT(countPixels(screen, marker, isLime), 10);
}

// The page follows its changes in the normal mode: a file given on the
// command line ends in the ready message, drawn in the cue's cyan.
TEST(StartupGuiWithFile, ShowsTheReadyMessageOfAFileFromTheCommandLine)
{
    GuiSession session;
    QString error;
    ASSERT_TRUE(GuiSession::startServer(&error)) << error.toStdString();
    ASSERT_TRUE(session.startProgram(QStringLiteral(SORVANE_EXE),
                                     {QStringLiteral(SORVANE_TEST_DATA "/demo.srt")}, &error))
        << error.toStdString();
    const QRect window = session.windowRect();
    const bool shown = session.waitForScreen([&](const QImage &screen) {
        return countPixels(screen, QRect(window.left(), window.bottom() - 80, window.width(), 50), [](QRgb p) {
                   return qGreen(p) > 150 && qBlue(p) > 150 && qRed(p) < 100;
               }) > 30;
    });
    EXPECT_TRUE(shown) << "the page never showed the loaded file";
}

TEST_F(StartupGui, CaptionNamesTheProductAndItsAuthor)
{
    EXPECT_EQ(session.windowName(), QString::fromUtf8("Sorvane - (作者：Sorvane 开发组)"));
}

} // namespace
