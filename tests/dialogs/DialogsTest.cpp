#include "dialogs/Dialogs.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

class DialogsTest : public testing::Test {
protected:
    FakePlatform platform;
    Dialogs dialogs{platform, platform};
};

struct YesNoCase {
    int answer;
    const char *expected;
};

class MsgBoxInfoBTest : public DialogsTest, public testing::WithParamInterface<YesNoCase> {};

TEST_P(MsgBoxInfoBTest, MapsTheFirstButtonToTheFirstCaption)
{
    platform.messageAnswers = {GetParam().answer};
    EXPECT_EQ(dialogs.MsgBoxInfoB("Keep changes?", "Sorvane", "Save", "Discard"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Answers, MsgBoxInfoBTest,
                         testing::Values(YesNoCase{BoxResult::Yes, "Save"}, YesNoCase{BoxResult::No, "Discard"},
                                         // Anything but Yes reads as the second caption.
                                         YesNoCase{BoxResult::Cancel, "Discard"},
                                         YesNoCase{BoxResult::TimedOut, "Discard"}));

TEST_F(DialogsTest, MsgBoxInfoBAsksAYesNoQuestionWithBothCaptions)
{
    dialogs.MsgBoxInfoB("Keep changes?", "Sorvane", "Save", "Discard");
    ASSERT_EQ(platform.messageBoxes.size(), 1);
    const MessageBoxRequest &r = platform.messageBoxes.first();
    EXPECT_EQ(r.type, 36);
    EXPECT_EQ(r.text, "Keep changes?");
    EXPECT_EQ(r.caption, "Sorvane");
    EXPECT_EQ(r.firstButton, "Save");
    EXPECT_EQ(r.secondButton, "Discard");
    EXPECT_EQ(r.timeoutMs, 0);
    EXPECT_EQ(r.owner, platform.rect);
}

TEST_F(DialogsTest, MsgBoxBPassesTypeAndCaptionAndReturnsTheButton)
{
    platform.messageAnswers = {BoxResult::Retry};
    EXPECT_EQ(dialogs.MsgBoxB(QStringLiteral("读取失败"), 48 | BoxType::RetryCancel, QStringLiteral("系统提示")),
              BoxResult::Retry);
    ASSERT_EQ(platform.messageBoxes.size(), 1);
    const MessageBoxRequest &r = platform.messageBoxes.first();
    EXPECT_EQ(r.type, 53);
    EXPECT_EQ(r.text, QStringLiteral("读取失败"));
    EXPECT_EQ(r.caption, QStringLiteral("系统提示"));
    EXPECT_TRUE(r.firstButton.isEmpty());
    EXPECT_TRUE(r.secondButton.isEmpty());
    EXPECT_EQ(r.timeoutMs, 0);
    EXPECT_EQ(r.owner, platform.rect);
}

TEST_F(DialogsTest, InputBoxBCancelledGivesEmptyText)
{
    platform.inputAnswers = {std::nullopt};
    const QString answer = dialogs.InputBoxB(QStringLiteral("请输入数据："), QStringLiteral("系统提示"), "00:01:02");
    EXPECT_TRUE(answer.isEmpty());
    ASSERT_EQ(platform.inputBoxes.size(), 1);
    const InputBoxRequest &r = platform.inputBoxes.first();
    EXPECT_EQ(r.prompt, QStringLiteral("请输入数据："));
    EXPECT_EQ(r.title, QStringLiteral("系统提示"));
    EXPECT_EQ(r.value, "00:01:02");
    EXPECT_EQ(r.owner, platform.rect);
}

TEST_F(DialogsTest, InputBoxBAnsweredGivesTheText)
{
    platform.inputAnswers = {QStringLiteral("00:10:00")};
    EXPECT_EQ(dialogs.InputBoxB("prompt", "title", "00:01:02"), "00:10:00");
}

TEST_F(DialogsTest, MessageBoxTimeoutPassesTheTimeoutAndReturnsTimedOut)
{
    platform.messageAnswers = {BoxResult::TimedOut};
    EXPECT_EQ(dialogs.MessageBoxTimeout(platform.id, QStringLiteral("找不到 Color.js 脚本！"),
                                        QStringLiteral("系统提示"), 32, 0, 2000),
              BoxResult::TimedOut);
    ASSERT_EQ(platform.messageBoxes.size(), 1);
    const MessageBoxRequest &r = platform.messageBoxes.first();
    EXPECT_EQ(r.timeoutMs, 2000);
    EXPECT_EQ(r.type, 32);
    EXPECT_EQ(r.text, QStringLiteral("找不到 Color.js 脚本！"));
    EXPECT_EQ(r.caption, QStringLiteral("系统提示"));
}

TEST_F(DialogsTest, MessageBoxTimeoutReturnsTheButtonPressedInTime)
{
    platform.messageAnswers = {BoxResult::Ok};
    EXPECT_EQ(dialogs.MessageBoxTimeout(platform.id, "text", "caption", 48, 0, 5000), BoxResult::Ok);
}

TEST_F(DialogsTest, MessageBoxTimeoutWithoutAPositiveTimeoutStaysOpen)
{
    dialogs.MessageBoxTimeout(platform.id, "text", "caption", 0, 0, 0);
    dialogs.MessageBoxTimeout(platform.id, "text", "caption", 0, 0, -1);
    ASSERT_EQ(platform.messageBoxes.size(), 2);
    EXPECT_EQ(platform.messageBoxes[0].timeoutMs, 0);
    EXPECT_EQ(platform.messageBoxes[1].timeoutMs, 0);
}

struct OwnerCase {
    const char *name;
    quintptr hWnd; // 1 stands for the main window's own id
    bool ownedByMainWindow;
};

class MessageBoxTimeoutOwnerTest : public DialogsTest, public testing::WithParamInterface<OwnerCase> {};

TEST_P(MessageBoxTimeoutOwnerTest, CentresOverTheNamedWindowOnly)
{
    const quintptr hWnd = GetParam().hWnd == 1 ? platform.id : GetParam().hWnd;
    dialogs.MessageBoxTimeout(hWnd, "text", "caption", 32, 0, 5000);
    ASSERT_EQ(platform.messageBoxes.size(), 1);
    const std::optional<Rect> owner = platform.messageBoxes.first().owner;
    if (GetParam().ownedByMainWindow)
        EXPECT_EQ(owner, platform.rect);
    else
        EXPECT_FALSE(owner.has_value());
}

INSTANTIATE_TEST_SUITE_P(Owners, MessageBoxTimeoutOwnerTest,
                         testing::Values(OwnerCase{"MainWindow", 1, true}, OwnerCase{"NoWindow", 0, false},
                                         OwnerCase{"UnknownWindow", 0x7777, false}),
                         [](const testing::TestParamInfo<OwnerCase> &info) { return std::string(info.param.name); });

TEST_F(DialogsTest, MainWindowBoxesFollowTheWindowWhereItIsNow)
{
    platform.rect = Rect{-300, 40, 500, 120};
    dialogs.MsgBoxB("a", 0, "b");
    dialogs.InputBoxB("a", "b", "c");
    EXPECT_EQ(platform.messageBoxes.first().owner, (Rect{-300, 40, 500, 120}));
    EXPECT_EQ(platform.inputBoxes.first().owner, (Rect{-300, 40, 500, 120}));
}

TEST_F(DialogsTest, MainWindowNotYetCreatedGivesNoOwner)
{
    platform.id = 0;
    dialogs.MsgBoxB("a", 0, "b");
    EXPECT_FALSE(platform.messageBoxes.first().owner.has_value());
}

TEST_F(DialogsTest, EachBoxIsItsOwnRequest)
{
    platform.messageAnswers = {BoxResult::Yes, BoxResult::Ok};
    EXPECT_EQ(dialogs.MsgBoxInfoB("q", "t", "Save", "Discard"), "Save");
    EXPECT_EQ(dialogs.MsgBoxB("m", 0, "t"), BoxResult::Ok);
    ASSERT_EQ(platform.messageBoxes.size(), 2);
    // Captions chosen for one box do not carry over to the next.
    EXPECT_TRUE(platform.messageBoxes[1].firstButton.isEmpty());
    EXPECT_TRUE(platform.messageBoxes[1].secondButton.isEmpty());
}

} // namespace
} // namespace sorvane
