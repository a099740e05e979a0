#include "support/MainFixture.h"

#include "playback/Hotkeys.h"

namespace sorvane {
namespace {

using testing_support::MainFixture;
namespace VK = VirtualKey;

class HotkeysTest : public MainFixture {
protected:
    void SetUp() override
    {
        MainFixture::SetUp();
        main->CallBack(write("a.srt", srt({"1", "00:00:00,000 --> 00:00:05,000", "cue"})));
        main->NewTime = "00:01:00";
        main->shortcuts = true;
    }
    // What the hotkey commands change, in one line.
    QString effects() const
    {
        QStringList boxes;
        for (const MessageBoxRequest &box : fake.messageBoxes)
            boxes << box.text;
        return QStringLiteral("playing=%1 MSID=%2 NewTime=%3 FontSize=%4 Mode=%5 boxes=%6")
            .arg(main->Timer1.enabled())
            .arg(main->MSID)
            .arg(main->NewTime)
            .arg(main->Config->item(QStringLiteral("FontSize")).text())
            .arg(main->Mode)
            .arg(boxes.join(QStringLiteral(",")));
    }
    void tick() { main->Timer2.tick(); }
};

struct KeyCase {
    int key;
    bool alt;
    const char *effects;
};

class EachHotkey : public HotkeysTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(EachHotkey, RunsItsCommandWithCtrl)
{
    fake.holdKey(VK::Control);
    if (GetParam().alt)
        fake.holdKey(VK::Menu);
    fake.tapKey(GetParam().key);
    tick();
    EXPECT_EQ(effects(), QString::fromUtf8(GetParam().effects));
    // Without Ctrl the key is not even tested.
    fake.holdKey(VK::Control, false);
    fake.holdKey(GetParam().key);
    const QString before = effects();
    tick();
    EXPECT_EQ(effects(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Hotkeys, EachHotkey,
    ::testing::Values(
        KeyCase{VK::Return, true, "playing=1 MSID=0 NewTime=00:01:00 FontSize=24 Mode=0 boxes="},
        KeyCase{VK::Divide, false, "playing=0 MSID=1 NewTime=00:01:00 FontSize=24 Mode=0 boxes="},
        KeyCase{VK::Multiply, false, "playing=0 MSID=-1 NewTime=00:01:00 FontSize=24 Mode=0 boxes="},
        KeyCase{VK::OemMinus, false, "playing=0 MSID=0 NewTime=00:00:59 FontSize=24 Mode=0 boxes="},
        KeyCase{VK::OemPlus, false, "playing=0 MSID=0 NewTime=00:01:01 FontSize=24 Mode=0 boxes="},
        KeyCase{VK::Subtract, false, "playing=0 MSID=0 NewTime=00:01:00 FontSize=23 Mode=0 boxes="},
        KeyCase{VK::Add, false, "playing=0 MSID=0 NewTime=00:01:00 FontSize=25 Mode=0 boxes="},
        KeyCase{VK::Back, false, "playing=0 MSID=0 NewTime=00:01:00 FontSize=24 Mode=0 boxes=找不到 Font.js 脚本！"},
        KeyCase{VK::Decimal, false,
                "playing=0 MSID=0 NewTime=00:01:00 FontSize=24 Mode=0 boxes=找不到 Color.js 脚本！"}));

TEST_F(HotkeysTest, CtrlEnterWithoutAltDoesNothingAndHeldKeysRepeat)
{
    fake.holdKey(VK::Control);
    fake.holdKey(VK::Return);
    tick();
    EXPECT_FALSE(main->Timer1.enabled());
    fake.holdKey(VK::Menu);
    tick();
    EXPECT_TRUE(main->Timer1.enabled());
    tick();
    EXPECT_FALSE(main->Timer1.enabled());
}

TEST_F(HotkeysTest, SeveralCommandsRunInOneTickInTableOrder)
{
    fake.holdKey(VK::Control);
    fake.tapKey(VK::Subtract);
    fake.tapKey(VK::Add);
    fake.tapKey(VK::Divide);
    fake.tapKey(VK::OemPlus);
    tick();
    EXPECT_EQ(effects(), u"playing=0 MSID=1 NewTime=00:01:01 FontSize=24 Mode=0 boxes=");
    // Both font-size notes were posted; the later one stays.
    EXPECT_TRUE(message().contains(u"24"));
    // A tap counts once.
    tick();
    EXPECT_EQ(effects(), u"playing=0 MSID=1 NewTime=00:01:01 FontSize=24 Mode=0 boxes=");
}

TEST_F(HotkeysTest, CtrlHotkeysNeedShortcutsAndEscapeWorksInEveryState)
{
    main->shortcuts = false;
    fake.holdKey(VK::Control);
    fake.tapKey(VK::OemPlus);
    tick();
    EXPECT_EQ(main->NewTime, u"00:01:00");
    // The press stays pending until the key is queried, as on the platform.
    fake.holdKey(VK::Control, false);
    // Escape cycles the modes; the two without menu bar turn the Ctrl hotkeys on.
    const bool expectedShortcuts[] = {true, true, false, true};
    const int expectedModes[] = {1, 2, 0, 1};
    for (int i = 0; i < 4; ++i) {
        fake.tapKey(VK::Escape);
        tick();
        EXPECT_EQ(main->Mode, expectedModes[i]);
        EXPECT_EQ(main->shortcuts, expectedShortcuts[i]);
    }
    // Escape also works while playing, and in the same tick as the Ctrl keys.
    main->OnPlayer();
    fake.holdKey(VK::Control);
    fake.tapKey(VK::Escape);
    tick();
    EXPECT_EQ(main->Mode, 2);
    EXPECT_EQ(main->NewTime, u"00:01:01");
    EXPECT_TRUE(main->Timer1.enabled());
}

struct ExpiryCase {
    Variant msgOut;
    int ticksUntilCleared; // -1: never within 100 ticks
};

class NoticeExpiry : public HotkeysTest, public ::testing::WithParamInterface<ExpiryCase> {};

TEST_P(NoticeExpiry, ClearsTheNoteAfterMsgOutSeconds)
{
    main->Config->setItem(QStringLiteral("MsgOut"), GetParam().msgOut);
    main->menuClicked("OnFontSizeB");
    ASSERT_FALSE(message().isEmpty());
    int ticks = 0;
    while (!message().isEmpty() && ticks < 100) {
        tick();
        ++ticks;
    }
    EXPECT_EQ(message().isEmpty() ? ticks : -1, GetParam().ticksUntilCleared);
}

INSTANTIATE_TEST_SUITE_P(Hotkeys, NoticeExpiry,
                         ::testing::Values(ExpiryCase{Variant::fromInteger(5), 25}, ExpiryCase{Variant::fromInteger(1), 5},
                                           ExpiryCase{Variant::fromInteger(0), 1}, ExpiryCase{Variant("2"), 10},
                                           ExpiryCase{Variant("soon"), 1}, ExpiryCase{Variant(0.5), 2}));

TEST_F(HotkeysTest, NoteWithoutResetGoesAtTheNextMultiple)
{
    for (int i = 0; i < 20; ++i)
        tick();
    main->document->getElementById("Message")->setInnerHTML("note");
    int ticks = 0;
    while (!message().isEmpty()) {
        tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 5);
}

} // namespace
} // namespace sorvane
