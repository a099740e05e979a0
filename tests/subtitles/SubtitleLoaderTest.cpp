#include "support/MainFixture.h"

#include "page/PageWrite.h"
#include "subtitles/TimeKey.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <functional>
#include <random>

namespace sorvane {
namespace {

using testing_support::MainFixture;

const QString kReadyStart =
    QStringLiteral("<span style='font-family:Simsun;font-Weight:bold;font-size:18px;line-height:24px;'>");

class SubtitleLoaderTest : public MainFixture {
protected:
    void load(const QString &path, const QString &base = QStringLiteral("film"))
    {
        main->Config->setItem(QStringLiteral("Base"), base);
        main->Addsubtitles(path);
    }
};

TEST_F(SubtitleLoaderTest, WorkedExampleFillsBothTablesAndThePage)
{
    load(write("a.srt", srt({"12", "00:01:02,500 --> 00:01:04,000", "{\\an8}你好", "<i>Hello</i>"})));
    const QString english = QStringLiteral(
        "<span style='font-family:Microsoft Yahei;font-Weight:bold;font-size:18px;line-height:24px;'>Hello</span>");
    EXPECT_EQ(keys(), QStringList({"00:01:02", "00:01:03", "00:01:04"}));
    for (const char *key : {"00:01:02", "00:01:03", "00:01:04"}) {
        EXPECT_EQ(cue(key), QStringLiteral("你好<br>") + english);
        EXPECT_EQ(cue(key, true), english + QStringLiteral("<br>你好"));
    }
    EXPECT_EQ(main->stopTime, u"00:02:00");
    EXPECT_EQ(timeBox(), u"00:00:00 / 00:02:00");
    EXPECT_EQ(code(), kReadyStart + QStringLiteral("字幕【film】就绪！</span>"));
    EXPECT_EQ(message(), u"<font size=2>载入数据 [1/1]</font>");
    EXPECT_EQ(config("CharSet"), u"utf-8");
    EXPECT_EQ(config("Format"), QString::fromUtf8(srt({"12", "00:01:02,500 --> 00:01:04,000", "{\\an8}你好", "<i>Hello</i>"})));
}

TEST_F(SubtitleLoaderTest, LaterCueOwnsSharedSecondsAndTheKeyKeepsItsPlace)
{
    load(write("a.srt", srt({"1", "00:00:01,000 --> 00:00:03,000", "first", "", "2",
                             "00:00:02,000 --> 00:00:04,000", "second", "second line"})));
    EXPECT_EQ(keys(), QStringList({"00:00:01", "00:00:02", "00:00:03", "00:00:04"}));
    EXPECT_EQ(cue("00:00:01"), QStringLiteral("<span style='%1'>first</span>").arg(config("English")));
    EXPECT_TRUE(cue("00:00:02").contains(u"second"));
    EXPECT_TRUE(cue("00:00:03", true).startsWith(QStringLiteral("<span style='%1'>second line").arg(config("English"))));
}

struct StopCase {
    const char *timeLine; // nullptr: a file without cues
    const char *stopTime;
};

class StopTimes : public SubtitleLoaderTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTimes, RoundUpToTheNextWholeMinute)
{
    QStringList lines{"1", "no time", "x"};
    if (GetParam().timeLine)
        lines = {"1", QString::fromLatin1(GetParam().timeLine), "x"};
    load(write("a.srt", srt(lines)));
    EXPECT_EQ(main->stopTime, QString::fromLatin1(GetParam().stopTime));
    EXPECT_EQ(timeBox(), QStringLiteral("00:00:00 / ") + QString::fromLatin1(GetParam().stopTime));
}

INSTANTIATE_TEST_SUITE_P(SubtitleLoader, StopTimes,
                         ::testing::Values(StopCase{"00:22:00,000 --> 00:23:00,000", "00:24:00"},
                                           StopCase{"00:23:00,000 --> 00:23:59,999", "00:24:00"},
                                           StopCase{nullptr, "00:01:00"},
                                           StopCase{"23:59:30,000 --> 23:59:59,000", "00:00:00"},
                                           // Crossing midnight covers nothing.
                                           StopCase{"23:59:59,000 --> 00:00:01,000", "00:01:00"},
                                           StopCase{"01:00:00,000 --> 00:59:59,000", "00:01:00"}));

TEST_F(SubtitleLoaderTest, EmptyFileLeavesThePageAndEmptiesTheTables)
{
    load(write("a.srt", srt({"1", "00:00:01,000 --> 00:00:03,000", "x"})));
    main->document->getElementById("code")->setInnerHTML("before");
    load(write("empty.srt", "  \r\n\r\n\r\n  "));
    EXPECT_EQ(main->subtitles->count(), 0);
    EXPECT_EQ(main->subtitlesSort->count(), 0);
    EXPECT_EQ(main->stopTime, u"00:00:00");
    EXPECT_EQ(code(), u"before");
    load(dir.filePath("missing.srt"));
    EXPECT_EQ(main->subtitles->count(), 0);
    EXPECT_EQ(code(), u"before");
}

TEST_F(SubtitleLoaderTest, LfOnlyFileHasOneBlockAndNoCues)
{
    load(write("a.srt", "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n"));
    EXPECT_EQ(main->subtitles->count(), 0);
    EXPECT_EQ(message(), u"<font size=2>载入数据 [1/1]</font>");
    EXPECT_EQ(main->stopTime, u"00:01:00");
}

TEST_F(SubtitleLoaderTest, OnePausePerBlockWithProgressAndGrowingTotalVisible)
{
    QStringList seen;
    fake.onProcessEvents = [&] { seen << message() + QStringLiteral(" | ") + timeBox() + QStringLiteral(" | ") + main->stopTime; };
    load(write("a.srt", srt({"1", "00:00:01,000 --> 00:00:02,000", "A", "", "bad", "x", "", "3",
                             "00:00:05,000 --> 00:00:06,000", "C"})));
    EXPECT_EQ(fake.processEventsCount, 3);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[1], u"<font size=2>载入数据 [1/3]</font> | 00:00:00 / 00:00:02 | 00:00:02");
    EXPECT_EQ(seen[2], u"<font size=2>载入数据 [2/3]</font> | 00:00:00 / 00:00:02 | 00:00:02");
    EXPECT_EQ(message(), u"<font size=2>载入数据 [3/3]</font>");
}

// Where the platform runs events only at some pauses, those pauses show the
// same page as if every block had paused, and the end state does not change.
TEST_F(SubtitleLoaderTest, PausesThatRunNoEventsAreSkippedWithoutChangingWhatIsSeen)
{
    const QString file = write("a.srt", srt({"1", "00:00:01,000 --> 00:00:02,000", "A", "", "bad", "x", "", "3",
                                             "00:00:05,000 --> 00:00:06,000", "C", "", "4",
                                             "00:00:09,000 --> 00:00:09,000", "D"}));
    const struct {
        QVector<bool> due; // per block, whether its pause runs events
        QStringList seen;
    } cases[] = {
        {{true, false, true, false}, {u" |  | 00:00:00"_qs, u"<font size=2>载入数据 [2/4]</font> | 00:00:00 / 00:00:02 | 00:00:02"_qs}},
        {{false, false, false, true}, {u"<font size=2>载入数据 [3/4]</font> | 00:00:00 / 00:00:06 | 00:00:06"_qs}},
        {{false, false, false, false}, {}},
    };
    for (const auto &c : cases) {
        int pause = 0;
        fake.eventsDueHook = [&] { return c.due.value(pause++); };
        QStringList seen;
        fake.onProcessEvents = [&] { seen << message() + u" | "_qs + timeBox() + u" | "_qs + main->stopTime; };
        main->stopTime = u"00:00:00"_qs;
        PageWrite::html(main->document, u"Message"_qs, QString());
        PageWrite::text(main->document, u"TimeBox"_qs, QString());
        load(file);
        EXPECT_EQ(seen, c.seen);
        EXPECT_EQ(message(), u"<font size=2>载入数据 [4/4]</font>");
        EXPECT_EQ(timeBox(), u"00:00:00 / 00:01:00");
        EXPECT_EQ(main->stopTime, u"00:01:00");
        EXPECT_EQ(keys().size(), 5);
    }
}

TEST_F(SubtitleLoaderTest, NewerLoadDuringThePauseSupersedesTheEarlierOne)
{
    const QString first = write("first.srt", srt({"1", "00:00:01,000 --> 00:00:01,000", "A", "", "2",
                                                  "00:10:00,000 --> 00:10:05,000", "A2", "", "3",
                                                  "00:20:00,000 --> 00:20:00,000", "A3"}));
    const QString second = write("second.srt", srt({"1", "00:00:07,000 --> 00:00:08,000", "B"}));
    int pauses = 0;
    fake.onProcessEvents = [&] {
        if (++pauses == 2) {
            main->Config->setItem(QStringLiteral("Base"), QStringLiteral("second"));
            main->Addsubtitles(second);
        }
    };
    load(first, QStringLiteral("first"));
    EXPECT_EQ(keys(), QStringList({"00:00:07", "00:00:08"}));
    EXPECT_EQ(main->subtitlesSort->count(), 2);
    EXPECT_EQ(main->stopTime, u"00:01:00");
    EXPECT_EQ(code(), kReadyStart + QStringLiteral("字幕【second】就绪！</span>"));
    EXPECT_EQ(message(), u"<font size=2>载入数据 [1/1]</font>");
    EXPECT_EQ(timeBox(), u"00:00:00 / 00:01:00");
}

// What a script does to the cue tables during a load's pause stays done, and
// the cues read before and after it are the file's.
TEST_F(SubtitleLoaderTest, TablesChangedDuringAPauseKeepTheChangesAndTheCues)
{
    const QString file = write("three.srt", srt({"1", "00:00:01,000 --> 00:00:01,000", "甲", "一", "", "2",
                                                 "00:00:02,000 --> 00:00:02,000", "乙", "二", "", "3",
                                                 "00:00:03,000 --> 00:00:03,000", "丙", "三"}));
    struct Case {
        const char *name;
        std::function<void(Dictionary &)> change;
        QStringList keys;
        QStringList normal; // what each key reads, in order
    } cases[] = {
        {"emptied", [](Dictionary &d) { d.removeAll(); }, {"00:00:02", "00:00:03"}, {"乙<br>二", "丙<br>三"}},
        {"overwritten", [](Dictionary &d) { d.setItem(Variant(QStringLiteral("00:00:01")), Variant(QStringLiteral("mine"))); },
         {"00:00:01", "00:00:02", "00:00:03"}, {"mine", "乙<br>二", "丙<br>三"}},
        {"renamed",
         [](Dictionary &d) { ASSERT_TRUE(d.renameKey(Variant(QStringLiteral("00:00:01")), Variant(QStringLiteral("x"))).ok()); },
         {"x", "00:00:02", "00:00:03"}, {"甲<br>一", "乙<br>二", "丙<br>三"}},
        {"read whole", [](Dictionary &d) { EXPECT_EQ(d.items(), QVector<Variant>{Variant(QStringLiteral("甲<br>一"))}); },
         {"00:00:01", "00:00:02", "00:00:03"}, {"甲<br>一", "乙<br>二", "丙<br>三"}},
    };
    for (const Case &c : cases) {
        int pauses = 0;
        fake.onProcessEvents = [&] {
            if (++pauses == 2)
                c.change(*main->subtitles);
        };
        load(file);
        fake.onProcessEvents = nullptr;
        EXPECT_EQ(keys(), c.keys) << c.name;
        for (qsizetype i = 0; i < c.keys.size(); ++i)
            EXPECT_EQ(cue(c.keys[i]), c.normal[i]) << c.name << " " << c.keys[i].toStdString();
        EXPECT_EQ(cue("00:00:03", true), u"三<br>丙") << c.name;
    }
}

TEST_F(SubtitleLoaderTest, ExistingScriptOfAnotherKindDisablesNormalisation)
{
    const QByteArray text = srt({"1", "00:00:01,000 --> 00:00:02,000", "A", "", "", "2",
                                 "00:00:03,000 --> 00:00:04,000", "B"});
    load(write("a.srt", text));
    EXPECT_EQ(main->subtitles->count(), 4);
    main->Config->setItem(QStringLiteral("Script"), write("transform.txt", "x"));
    load(write("a.srt", text));
    EXPECT_EQ(keys(), QStringList({"00:00:01", "00:00:02"}));
    EXPECT_EQ(config("Format"), QString::fromUtf8(text));
}

TEST_F(SubtitleLoaderTest, LegacyChineseFileIsDecoded)
{
    QStringEncoder gbk("GB18030");
    const QByteArray bytes = gbk.encode(QString::fromUtf8(srt({"1", "00:00:01,000 --> 00:00:01,000", "中文字幕"})));
    load(write("gbk.srt", bytes));
    EXPECT_EQ(config("CharSet"), u"GB2312");
    EXPECT_EQ(cue("00:00:01"), u"中文字幕");
}

TEST_F(SubtitleLoaderTest, CueOfTwentyThreeHoursHasAKeyPerSecond)
{
    load(write("a.srt", srt({"1", "00:00:00,000 --> 23:00:00,000", "long"})));
    EXPECT_EQ(main->subtitles->count(), 23 * 3600 + 1);
    EXPECT_EQ(main->stopTime, u"23:01:00");
}

TEST_F(SubtitleLoaderTest, RandomBytesAndHugeLinesLoadWithoutHarm)
{
    std::mt19937 random(7);
    QByteArray noise(1 << 16, '\0');
    for (char &c : noise)
        c = char(random());
    load(write("noise.srt", noise));
    load(write("line.srt", QByteArray(4 << 20, 'x')));
    EXPECT_EQ(main->subtitles->count(), 0);
    EXPECT_EQ(main->stopTime, u"00:01:00");
    load(write("numbers.srt", srt({"1", QString(5000, u'9') + QStringLiteral(":00:00,000 --> 00:00:01,000"), "x"})));
    EXPECT_EQ(main->subtitles->count(), 0);
}

// A transform script that leaves no text in "Format" loads nothing and says
// so on the page, as an empty result of the shipped script does.
TEST_F(SubtitleLoaderTest, AScriptThatLeavesNoTextLoadsNothingAndSaysSo)
{
    const struct {
        const char *name;
        const char *script;
    } cases[] = {
        {"an array", "Main.Config('Format', ['1', '2']);"},
        {"an object", "Main.Config('Format', new ActiveXObject('Scripting.Dictionary'));"},
    };
    for (const auto &c : cases) {
        main->Config->setItem(QStringLiteral("Script"), write("t.js", c.script));
        main->Config->setItem(QStringLiteral("Extension"), QStringLiteral("srt"));
        load(write("a.srt", srt({"1", "00:00:01,000 --> 00:00:02,000", "A"})), QStringLiteral("a<b"));
        EXPECT_EQ(main->subtitles->count(), 0) << c.name;
        EXPECT_EQ(config("Format"), u"") << c.name;
        EXPECT_EQ(message(), QStringLiteral("<font size=2 color=yellow>字幕【a&lt;b】(SRT) 无法载入：没有可用的字幕</font>"))
            << c.name;
        EXPECT_TRUE(fake.messageBoxes.isEmpty()) << c.name;
    }
}

} // namespace
} // namespace sorvane
