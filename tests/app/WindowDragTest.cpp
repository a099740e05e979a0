#include "app/Main.h"
#include "app/WindowDrag.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

using namespace sorvane;

namespace {

constexpr int kLeft = WindowDrag::kLeftButton;
constexpr int kRight = WindowDrag::kRightButton;
constexpr int kMiddle = WindowDrag::kMiddleButton;

TEST(WindowDragTest, WindowFollowsTheCursorWithTheGrabPointFixed)
{
    FakePlatform fake;
    fake.rect = {300, 200, 800, 150};
    WindowDrag drag(fake, fake);
    fake.cursor = {350, 260};
    drag.mouseDown(kLeft);
    EXPECT_EQ(drag.offsetX(), 50);
    EXPECT_EQ(drag.offsetY(), 60);

    struct Step {
        Point cursor;
        Point topLeft;
    };
    const Step steps[] = {
        {{351, 260}, {301, 200}}, {{450, 400}, {400, 340}}, {{10, 20}, {-40, -40}}, {{-100, -100}, {-150, -160}},
    };
    for (const Step &s : steps) {
        fake.cursor = s.cursor;
        drag.mouseMove(kLeft);
        EXPECT_EQ((Point{fake.rect.left, fake.rect.top}), s.topLeft) << s.cursor.x << "," << s.cursor.y;
    }
}

TEST(WindowDragTest, OnlyTheLeftButtonAloneDrags)
{
    struct Case {
        int down;
        int held;
        bool moves;
    };
    const Case cases[] = {
        {kLeft, kLeft, true},           {kLeft, kLeft | kRight, false}, {kLeft, kLeft | kMiddle, false},
        {kLeft, kRight, false},         {kLeft, 0, false},              {kRight, kRight, false},
    };
    for (const Case &c : cases) {
        FakePlatform fake;
        fake.rect = {100, 100, 800, 150};
        WindowDrag drag(fake, fake);
        fake.cursor = {150, 120};
        drag.mouseDown(c.down);
        fake.cursor = {250, 220};
        drag.mouseMove(c.held);
        EXPECT_EQ(fake.rect.left != 100, c.moves) << c.down << "/" << c.held;
    }
}

TEST(WindowDragTest, OtherButtonsKeepTheLastGrabPoint)
{
    FakePlatform fake;
    fake.rect = {100, 100, 800, 150};
    WindowDrag drag(fake, fake);
    EXPECT_EQ(drag.offsetX(), 0);
    fake.cursor = {110, 130};
    drag.mouseDown(kLeft);
    fake.cursor = {500, 500};
    drag.mouseDown(kRight);
    EXPECT_EQ(drag.offsetX(), 10);
    EXPECT_EQ(drag.offsetY(), 30);
}

TEST(WindowDragTest, MovesOutsideThirtyTwoBitTwipsAreDropped)
{
    FakePlatform fake;
    fake.rect = {0, 0, 800, 150};
    WindowDrag drag(fake, fake);
    fake.cursor = {0, 0};
    drag.mouseDown(kLeft);
    fake.cursor = {200000000, 10}; // 3e9 twips
    drag.mouseMove(kLeft);
    EXPECT_EQ(fake.rect.left, 0);
    EXPECT_TRUE(fake.calls.isEmpty());
}

TEST(WindowDragTest, MainPassesMouseEventsToTheDrag)
{
    FakePlatform fake;
    Main main(fake.services());
    main.initialise();
    fake.rect = {100, 100, 800, 150};
    fake.cursor = {120, 110};
    main.windowMouseDown(kLeft);
    fake.cursor = {140, 150};
    main.windowMouseMove(kLeft);
    EXPECT_EQ((Point{fake.rect.left, fake.rect.top}), (Point{120, 140}));
}

TEST(WindowDragTest, PageWindowIdsComeFromThePlatform)
{
    FakePlatform fake;
    Main main(fake.services());
    main.initialise();
    EXPECT_EQ(main.Web_Hwnd(), quintptr(0x5002));
    EXPECT_EQ(main.IE_Hwnd(), quintptr(0x5003));
    fake.pageHost = 0;
    fake.pageInner = 0;
    EXPECT_EQ(main.Web_Hwnd(), quintptr(0));
    EXPECT_EQ(main.IE_Hwnd(), quintptr(0));
}

} // namespace
