#include "app/Main.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

using namespace sorvane;

namespace {

class DisplayModesTest : public testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<Main>(fake.services());
        main->initialise();
        fake.calls.clear();
    }

    bool checked(const char *name)
    {
        return main->menu.at(main->menu.find(QString::fromLatin1(name))).checked;
    }

    FakePlatform fake;
    std::unique_ptr<Main> main;
};

TEST_F(DisplayModesTest, OnTitleCyclesThroughTheThreeModes)
{
    struct State {
        int mode;
        bool menuBar, frame, colorKey, shortcuts, titleMark, transparentMark;
    };
    const State expected[] = {
        {1, false, false, false, true, true, false},
        {2, false, false, true, true, true, true},
        {0, true, true, false, false, false, false},
        {1, false, false, false, true, true, false},
    };
    for (const State &s : expected) {
        fake.topmost = false;
        main->menuClicked(u"OnTitle"_qs);
        EXPECT_EQ(main->Mode, s.mode);
        EXPECT_EQ(fake.menuBarVisible, s.menuBar) << s.mode;
        EXPECT_EQ(fake.frameVisible, s.frame) << s.mode;
        EXPECT_EQ(fake.colorKey, s.colorKey) << s.mode;
        EXPECT_EQ(main->shortcuts, s.shortcuts) << s.mode;
        EXPECT_EQ(checked("OnTitle"), s.titleMark) << s.mode;
        EXPECT_EQ(checked("OnTransparent"), s.transparentMark) << s.mode;
        EXPECT_TRUE(fake.topmost) << "every mode change ends topmost";
    }
}

TEST_F(DisplayModesTest, ModeChangesCallThePlatformInOrder)
{
    main->OnTitle();
    main->OnTitle();
    main->OnTitle();
    const QStringList expected = {
        // to 1
        "setMenuBarVisible(false)", "setFrameVisible(false)", "setTopmost(true)",
        // to 2: the colour key is switched on before the frame goes
        "setMenuBarVisible(false)", "setColorKeyTransparency(true)", "setTopmost(true)", "setFrameVisible(false)",
        "setTopmost(true)",
        // to 0
        "setMenuBarVisible(true)", "setColorKeyTransparency(false)", "setFrameVisible(true)", "setTopmost(true)",
    };
    EXPECT_EQ(fake.calls, expected);
}

TEST_F(DisplayModesTest, ModeChangeMakesTopmostEvenWhenOnTopIsUnchecked)
{
    main->menuClicked(u"OnTop"_qs);
    ASSERT_FALSE(fake.topmost);
    main->OnTitle();
    EXPECT_TRUE(fake.topmost);
    EXPECT_FALSE(checked("OnTop")) << "the mark is not touched";
}

TEST_F(DisplayModesTest, TransparentCheckedInModeZeroDoesNotShowInModeOne)
{
    main->menuClicked(u"OnTransparent"_qs);
    EXPECT_TRUE(checked("OnTransparent"));
    EXPECT_FALSE(fake.colorKey) << "the click is only a mark";
    main->OnTitle();
    EXPECT_FALSE(fake.colorKey);
    EXPECT_FALSE(checked("OnTransparent"));
}

TEST_F(DisplayModesTest, TransparentFromAScriptInModeZeroLastsUntilModeZero)
{
    main->Transparent(true);
    EXPECT_TRUE(fake.colorKey);
    EXPECT_TRUE(fake.frameVisible);
    EXPECT_TRUE(fake.topmost);
    main->OnTitle(); // to 1: the frame goes, the key stays
    EXPECT_EQ(main->Mode, 1);
    EXPECT_TRUE(fake.colorKey);
    EXPECT_FALSE(fake.frameVisible);
    main->OnTitle(); // to 2
    EXPECT_TRUE(fake.colorKey);
    main->OnTitle(); // to 0
    EXPECT_FALSE(fake.colorKey);
    EXPECT_TRUE(fake.frameVisible);
}

TEST_F(DisplayModesTest, SetMenuVisibleAndTransparentAreDirect)
{
    main->SetMenuVisible(false);
    main->SetMenuVisible(true);
    main->Transparent(false);
    EXPECT_EQ(fake.calls, (QStringList{"setMenuBarVisible(false)", "setMenuBarVisible(true)",
                                       "setColorKeyTransparency(false)", "setTopmost(true)"}));
    EXPECT_EQ(main->Mode, 0) << "the mode variables are not touched";
    EXPECT_FALSE(main->shortcuts);
}

TEST_F(DisplayModesTest, ModeSetByAScriptStepsOnWithoutOverflow)
{
    struct Case {
        qint32 before;
        qint32 after;
        bool bare;
    };
    const Case cases[] = {
        {5, 0, false}, {7, 2, true}, {-5, -1, true}, {-1, 0, false},
        {2147483647, 2, true}, // 2147483648 mod 3
        {-2147483647 - 1, -1, true},
    };
    for (const Case &c : cases) {
        main->Mode = c.before;
        main->OnTitle();
        EXPECT_EQ(main->Mode, c.after) << c.before;
        EXPECT_EQ(main->shortcuts, c.bare) << c.before;
        EXPECT_EQ(fake.menuBarVisible, !c.bare) << c.before;
        EXPECT_EQ(checked("OnTransparent"), c.after == 2) << c.before;
    }
}

TEST_F(DisplayModesTest, DoubleClickRunsOnTitle)
{
    main->windowDoubleClick();
    EXPECT_EQ(main->Mode, 1);
    main->windowDoubleClick();
    EXPECT_EQ(main->Mode, 2);
    EXPECT_TRUE(fake.colorKey);
}

} // namespace
