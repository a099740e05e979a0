#include "support/MainFixture.h"

namespace sorvane {
namespace {

using testing_support::MainFixture;

const QString kHint = QStringLiteral(
    "拖放 SRT/SSA/ASS/LRC/SUB/VTT 字幕文件到窗口上播放！（或右键 › 打开字幕…，Ctrl+O）<br><span style='font-family:Microsoft "
    "Yahei;font-Weight:bold;font-size:18px;line-height:28px;'>字幕文件 (*.srt;*.ssa;*.ass;*.lrc;*.sub;*.vtt)</span>");

class PlayClockTest : public MainFixture {
protected:
    // Cues at 00:00:00, 00:00:02 and 00:10:07; the end is 00:11:00.
    void loadCues()
    {
        main->Config->setItem(QStringLiteral("English"), QString());
        main->CallBack(write("a.srt", srt({"1", "00:00:00,000 --> 00:00:00,500", "zero", "", "2",
                                           "00:00:02,000 --> 00:00:02,000", "two", "second", "", "3",
                                           "00:10:07,000 --> 00:10:07,000", "ten"})));
    }
    void at(quint32 ms)
    {
        fake.now = ms;
        main->Timer1.tick();
    }
};

TEST_F(PlayClockTest, StartWithoutCuesShowsTheHintAndStaysStopped)
{
    main->menuClicked("OnPlayer");
    EXPECT_EQ(code(), kHint);
    EXPECT_FALSE(main->Timer1.enabled());
    EXPECT_EQ(timeBox(), u"00:00:00 / 00:00:00");
    EXPECT_EQ(caption("OnPlayer"), u" 开始 ");
}

TEST_F(PlayClockTest, FirstStartPlaysFromZeroAndShowsEachSecond)
{
    loadCues();
    fake.now = 5000;
    main->OnPlayer();
    EXPECT_TRUE(main->Timer1.enabled());
    EXPECT_EQ(caption("OnPlayer"), u"停止");
    at(5000);
    EXPECT_EQ(timeBox(), u"00:00:00 / 00:11:00");
    EXPECT_EQ(code(), u"zero");
    at(6015);
    EXPECT_EQ(caption("showTimer"), u"00:00:01,015");
    EXPECT_EQ(code(), u"");
    at(7000);
    EXPECT_EQ(code(), u"two<br>second");
    main->Config->setItem(QStringLiteral("Sorting"), true);
    main->ShowSubtitles("00:00:02");
    EXPECT_EQ(code(), u"second<br>two");
}

TEST_F(PlayClockTest, PageIsWrittenOnlyWhenTheSecondChanges)
{
    loadCues();
    main->OnPlayer();
    at(100);
    const quint64 revision = main->document->revision();
    at(400);
    at(900);
    EXPECT_EQ(main->document->revision(), revision);
    EXPECT_EQ(caption("showTimer"), u"00:00:00,900");
    at(1000);
    EXPECT_GT(main->document->revision(), revision);
}

TEST_F(PlayClockTest, PauseKeepsTheWholeSecondAndResumeGoesOnFromIt)
{
    loadCues();
    fake.now = 1000;
    main->OnPlayer();
    at(1000 + 607800);
    EXPECT_EQ(main->showTime, u"00:10:07");
    EXPECT_EQ(caption("showTimer"), u"00:10:07,800");
    main->OnPlayer();
    EXPECT_EQ(main->NewTime, u"00:10:07");
    EXPECT_EQ(caption("OnPlayer"), u"开始");
    fake.now += 60000;
    main->OnPlayer();
    at(fake.now);
    EXPECT_EQ(caption("showTimer"), u"00:10:07,000");
    EXPECT_EQ(code(), u"ten");
    at(fake.now + 999);
    EXPECT_EQ(main->showTime, u"00:10:07");
}

TEST_F(PlayClockTest, SlowestSpeedMakesEachSecondLast1050Ms)
{
    loadCues();
    main->MSID = 50;
    main->OnPlayer();
    at(1049);
    EXPECT_EQ(main->showTime, u"00:00:00");
    EXPECT_EQ(caption("showTimer"), u"00:00:00,1049");
    at(1050);
    EXPECT_EQ(main->showTime, u"00:00:01");
    at(2 * 1050 + 700);
    main->OnPlayer();
    EXPECT_EQ(main->NewTime, u"00:00:02");
    main->OnPlayer();
    at(fake.now + 10);
    EXPECT_EQ(main->showTime, u"00:00:02");
}

TEST_F(PlayClockTest, EndOfPlaybackStopsAndTheNextStartBeginsAtZero)
{
    loadCues();
    main->Config->setItem(QStringLiteral("stopText"), QStringLiteral("<b>end</b>"));
    main->OnPlayer();
    at(660000);
    EXPECT_EQ(main->showTime, u"00:11:00");
    EXPECT_TRUE(main->Timer1.enabled());
    at(661000);
    EXPECT_FALSE(main->Timer1.enabled());
    EXPECT_EQ(code(), u"<b>end</b>");
    EXPECT_EQ(caption("OnPlayer"), u"开始");
    EXPECT_EQ(caption("showTimer"), u"00:00:00,000");
    EXPECT_EQ(main->NewTime, u"00:00:00");
    EXPECT_EQ(main->SavTime.toDouble().valueOr(-1), 661000);
    EXPECT_EQ(timeBox(), u"00:11:00 / 00:11:00");
    main->OnPlayer();
    at(fake.now);
    EXPECT_EQ(code(), u"zero");
    EXPECT_EQ(timeBox(), u"00:00:00 / 00:11:00");
}

TEST_F(PlayClockTest, EndAtMidnightPlaysZeroAndEndsAtOneSecond)
{
    main->CallBack(write("a.srt", srt({"1", "00:00:00,000 --> 00:00:00,000", "first", "", "2",
                                       "23:59:30,000 --> 23:59:59,000", "last"})));
    ASSERT_EQ(main->stopTime, u"00:00:00");
    main->OnPlayer();
    at(0);
    EXPECT_TRUE(main->Timer1.enabled());
    EXPECT_TRUE(code().contains(u"first"));
    at(1000);
    EXPECT_FALSE(main->Timer1.enabled());
    // After the end, a second start shows zero again.
    main->OnPlayer();
    at(fake.now);
    EXPECT_TRUE(code().contains(u"first"));
}

TEST_F(PlayClockTest, CounterSignChangeAndWrapDoNotBreakAPlayback)
{
    loadCues();
    for (quint32 start : {0x7FFFFF00u, 0xFFFFFF00u}) {
        main->NewTime = "00:00:00";
        fake.now = start;
        main->OnPlayer();
        at(start + 2500u); // wraps for the second start value
        EXPECT_EQ(main->showTime, u"00:00:02") << start;
        EXPECT_EQ(code(), u"two<br>second");
        main->OnPlayer();
    }
}

TEST_F(PlayClockTest, ScriptValuesThatDoNotConvertSkipTheTick)
{
    loadCues();
    main->OnPlayer();
    main->NewTime = "later";
    at(5000);
    EXPECT_EQ(main->showTime, u"00:00:00");
    main->NewTime = "00:00:00";
    main->MSID = -1000;
    at(6000);
    EXPECT_EQ(main->showTime, u"00:00:00");
}

} // namespace
} // namespace sorvane
