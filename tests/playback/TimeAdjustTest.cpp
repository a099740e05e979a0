#include "support/MainFixture.h"

#include "playback/TimeAdjust.h"

namespace sorvane {
namespace {

using testing_support::MainFixture;

class TimeAdjustTest : public MainFixture {
protected:
    void loadCues()
    {
        main->Config->setItem(QStringLiteral("English"), QString());
        main->CallBack(write("a.srt", srt({"1", "01:02:03,000 --> 01:02:03,000", "typed", "", "2",
                                           "00:05:03,000 --> 00:05:03,000", "nudged"})));
    }
};

struct TypedCase {
    const char *answer;
    int seconds; // -1: not a time
};

class TypedTimes : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedTimes, AreTimesOrDates)
{
    const auto got = TimeAdjust::typedTime(QString::fromLatin1(GetParam().answer));
    if (GetParam().seconds < 0)
        EXPECT_FALSE(got.has_value()) << GetParam().answer;
    else
        EXPECT_EQ(got, GetParam().seconds) << GetParam().answer;
}

INSTANTIATE_TEST_SUITE_P(TimeAdjust, TypedTimes,
                         ::testing::Values(TypedCase{"1:02:03", 3723}, TypedCase{" 1:30 ", 5400},
                                           TypedCase{"23:59:59", 86399}, TypedCase{"1:30 PM", 48600},
                                           TypedCase{"12:00 am", 0}, TypedCase{"2024-02-29", 0},
                                           TypedCase{"2024/1/2 3:04:05", 11045}, TypedCase{"12/31/2023", 0},
                                           TypedCase{"25:00", -1}, TypedCase{"1:60", -1}, TypedCase{"abc", -1},
                                           TypedCase{"", -1}, TypedCase{"12", -1}, TypedCase{"2023-02-29", -1},
                                           TypedCase{"13:00 PM", -1}, TypedCase{"1:2:3:4", -1}));

TEST_F(TimeAdjustTest, SetTimeWhileStoppedShowsThePositionAndStartsThere)
{
    loadCues();
    fake.now = 4321;
    fake.inputAnswers << QStringLiteral("1:02:03");
    main->menuClicked("OnSetTime");
    ASSERT_EQ(fake.inputBoxes.size(), 1);
    EXPECT_EQ(fake.inputBoxes[0].prompt, u"请输入数据：");
    EXPECT_EQ(fake.inputBoxes[0].title, u"系统提示");
    EXPECT_EQ(fake.inputBoxes[0].value, u"00:00:00");
    EXPECT_EQ(main->NewTime, u"01:02:03");
    EXPECT_EQ(caption("showTimer"), u"01:02:03,321");
    EXPECT_EQ(timeBox(), u"01:02:03 / 01:03:00");
    EXPECT_EQ(code(), u"typed");
    main->OnPlayer();
    fake.now += 10;
    main->Timer1.tick();
    EXPECT_EQ(main->showTime, u"01:02:03");
}

TEST_F(TimeAdjustTest, SetTimeWithNoTimeChangesNothing)
{
    loadCues();
    for (const char *answer : {"25:00", "abc", ""}) {
        fake.inputAnswers << QString::fromLatin1(answer);
        main->OnSetTime();
    }
    main->OnSetTime(); // cancelled
    EXPECT_EQ(fake.inputBoxes.size(), 4);
    EXPECT_EQ(main->NewTime, u"00:00:00");
    EXPECT_EQ(caption("showTimer"), u"00:00:00,000");
}

TEST_F(TimeAdjustTest, SetTimeFirstAnchorsAnEmptyClock)
{
    fake.now = 777;
    main->OnSetTime();
    EXPECT_EQ(main->SavTime.toDouble().valueOr(0), 777);
    EXPECT_EQ(main->NewTime, u"00:00:00");
}

TEST_F(TimeAdjustTest, NudgesStepAndWrapAtMidnight)
{
    loadCues();
    main->NewTime = "00:05:00";
    for (int i = 0; i < 3; ++i)
        main->menuClicked("OnSetTimeB");
    EXPECT_EQ(main->NewTime, u"00:05:03");
    EXPECT_EQ(main->showTime, u"00:05:03");
    EXPECT_EQ(timeBox(), u"00:05:03 / 01:03:00");
    EXPECT_EQ(code(), u"nudged");
    main->showOut = 9;
    main->NewTime = "00:00:00";
    main->OnSetTimeA();
    EXPECT_EQ(main->NewTime, u"23:59:59");
    EXPECT_EQ(main->showOut, 0);
    main->NewTime.clear();
    main->OnSetTimeB();
    EXPECT_EQ(main->NewTime, u"00:00:01");
}

TEST_F(TimeAdjustTest, BackFromZeroWhileStoppedEndsTheNextPlaybackAtOnce)
{
    loadCues();
    main->OnSetTimeA();
    main->OnPlayer();
    main->Timer1.tick();
    EXPECT_FALSE(main->Timer1.enabled());
    EXPECT_EQ(main->NewTime, u"00:00:00");
}

TEST_F(TimeAdjustTest, NudgeWhilePlayingMovesTheRunningPosition)
{
    loadCues();
    main->OnPlayer();
    fake.now = 10500;
    main->Timer1.tick();
    EXPECT_EQ(main->showTime, u"00:00:10");
    main->OnSetTimeA();
    main->Timer1.tick();
    EXPECT_EQ(main->showTime, u"00:00:09");
}

struct SpeedCase {
    int before;
    int index;
    const char *answer; // for index 1; nullptr: cancelled
    int after;
    const char *report;
};

class SpeedSteps : public TimeAdjustTest, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SpeedSteps, StepWrapTypeAndReport)
{
    const SpeedCase &c = GetParam();
    main->MSID = c.before;
    main->showOut = 7;
    if (c.answer)
        fake.inputAnswers << QString::fromUtf8(c.answer);
    main->menuClicked("OnMsKeys", c.index);
    EXPECT_EQ(main->MSID, c.after);
    EXPECT_EQ(message(), QStringLiteral("<font size=2>") + QString::fromUtf8(c.report) + QStringLiteral("</font>"));
    EXPECT_EQ(caption("OnMsKeys", 1), QStringLiteral("number:") + QString::number(c.after));
    EXPECT_EQ(main->showOut, 0);
}

INSTANTIATE_TEST_SUITE_P(
    TimeAdjust, SpeedSteps,
    ::testing::Values(SpeedCase{50, 2, nullptr, -50, "[number:-50] 每10分钟大约快放30秒"},
                      SpeedCase{-50, 0, nullptr, 50, "[number:50] 每10分钟大约慢放30秒"},
                      SpeedCase{1, 0, nullptr, 0, "[number:0] 正常播放速度"},
                      SpeedCase{-1, 0, nullptr, -2, "[number:-2] 每10分钟大约快放1.2秒"},
                      SpeedCase{0, 1, "7.9", 7, "[number:7] 每10分钟大约慢放4.2秒"},
                      SpeedCase{0, 1, "-2.5", -3, "[number:-3] 每10分钟大约快放1.8秒"},
                      SpeedCase{0, 1, "-100", -50, "[number:-50] 每10分钟大约快放30秒"},
                      SpeedCase{4, 1, "abc", 4, "[number:4] 每10分钟大约慢放2.4秒"},
                      SpeedCase{4, 1, nullptr, 4, "[number:4] 每10分钟大约慢放2.4秒"},
                      SpeedCase{4, 1, "1e300", 4, "[number:4] 每10分钟大约慢放2.4秒"},
                      SpeedCase{1, 1, "5", 5, "[number:5] 每10分钟大约慢放3秒"}));

TEST_F(TimeAdjustTest, TypedSpeedBoxNamesTheDrift)
{
    main->MSID = 5;
    main->OnMsKeys(1);
    ASSERT_EQ(fake.inputBoxes.size(), 1);
    EXPECT_EQ(fake.inputBoxes[0].prompt, u"请输入数据：[ -50 至 50 ]");
    EXPECT_EQ(fake.inputBoxes[0].title, u"[number:5] 每10分钟慢3秒");
    EXPECT_EQ(fake.inputBoxes[0].value, u"5");
    main->MSID = 0;
    main->OnMsKeys(1);
    EXPECT_EQ(fake.inputBoxes[1].title, u"[number:0] 每10分钟快0秒");
}

TEST_F(TimeAdjustTest, SetMsIndexClampsAndLeavesTheNoticeCounter)
{
    main->showOut = 3;
    main->SetMsIndex(1000);
    EXPECT_EQ(main->MSID, 50);
    main->SetMsIndex(-2147483647 - 1);
    EXPECT_EQ(main->MSID, -50);
    EXPECT_EQ(main->showOut, 3);
}

TEST_F(TimeAdjustTest, SpeedChangeWhilePlayingAppliesWithoutReanchoring)
{
    loadCues();
    main->OnPlayer();
    fake.now = 600000;
    main->Timer1.tick();
    EXPECT_EQ(main->showTime, u"00:10:00");
    main->SetMsIndex(10);
    main->Timer1.tick();
    EXPECT_EQ(main->showTime, u"00:09:54");
}

TEST(TimeAdjust, DriftText)
{
    EXPECT_EQ(TimeAdjust::driftText(1), u"0.6");
    EXPECT_EQ(TimeAdjust::driftText(-5), u"3");
    EXPECT_EQ(TimeAdjust::driftText(50), u"30");
    EXPECT_EQ(TimeAdjust::driftText(0), u"0");
}

} // namespace
} // namespace sorvane
