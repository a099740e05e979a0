#include "subtitles/SubtitleParser.h"
#include "subtitles/TimeKey.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace sorvane {
namespace {

const QString kEnglish = QStringLiteral("font-family:X;");

QString wrapped(const QString &line)
{
    return QStringLiteral("<span style='font-family:X;'>") + line + QStringLiteral("</span>");
}

struct TimeLineCase {
    const char *line;
    bool isTimeLine;
    int start; // -1: no valid times
    int end;
};

class TimeLines : public ::testing::TestWithParam<TimeLineCase> {};

TEST_P(TimeLines, AreRecognisedAndRead)
{
    const TimeLineCase &c = GetParam();
    const QString line = QString::fromUtf8(c.line);
    EXPECT_EQ(SubtitleParser::isTimeLine(line), c.isTimeLine) << c.line;
    if (!c.isTimeLine)
        return;
    const auto times = SubtitleParser::cueTimes(line);
    if (c.start < 0) {
        EXPECT_FALSE(times.has_value()) << c.line;
    } else {
        ASSERT_TRUE(times.has_value()) << c.line;
        EXPECT_EQ(times->first, c.start);
        EXPECT_EQ(times->second, c.end);
    }
}

// A block reads its time line the same way.
TEST_P(TimeLines, GiveTheBlocksTimes)
{
    const TimeLineCase &c = GetParam();
    const SubtitleParser parser{QString()};
    const auto cue = parser.parseBlock(u"1\r\n"_qs + QString::fromUtf8(c.line) + u"\r\ntext"_qs);
    if (!c.isTimeLine || c.start < 0) {
        EXPECT_FALSE(cue.has_value()) << c.line;
        return;
    }
    ASSERT_TRUE(cue.has_value()) << c.line;
    EXPECT_EQ(cue->start, c.start) << c.line;
    EXPECT_EQ(cue->end, c.end) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    SubtitleParser, TimeLines,
    ::testing::Values(TimeLineCase{"00:01:02,500 --> 00:01:04,000", true, 62, 64},
                      TimeLineCase{"  0:1:2,5-->0:1:4,999  ", true, 62, 64},
                      TimeLineCase{"\t23:59:59,000\u3000-->\u00A023:59:59,999\t", true, 86399, 86399},
                      TimeLineCase{"00:01:02.500 --> 00:01:04,000", false, 0, 0},
                      TimeLineCase{"100:01:02,500 --> 100:01:04,000", false, 0, 0},
                      TimeLineCase{"00:01:02,5000 --> 00:01:04,000", false, 0, 0},
                      TimeLineCase{"00:01:02,500 -> 00:01:04,000", false, 0, 0},
                      TimeLineCase{"00:01:02,500 --> 00:01:04,000 X", false, 0, 0},
                      TimeLineCase{"99999999999:01:02,500 --> 00:01:04,000", false, 0, 0},
                      TimeLineCase{"", false, 0, 0},
                      TimeLineCase{"１2:01:02,500 --> 00:01:04,000", false, 0, 0},
                      TimeLineCase{"24:00:00,000 --> 24:00:01,000", true, -1, 0},
                      TimeLineCase{"00:60:00,000 --> 01:00:00,000", true, -1, 0},
                      TimeLineCase{"00:00:00,000 --> 00:00:60,000", true, -1, 0},
                      TimeLineCase{"00:00:05,999 --> 00:00:06,001", true, 5, 6},
                      TimeLineCase{"23:00:00,000 --> 01:00:00,000", true, 82800, 3600},
                      // The usual shape, and lines of its length that differ from it in one place.
                      TimeLineCase{"12:34:56,789 --> 23:45:01,234", true, 45296, 85501},
                      TimeLineCase{"12:34:56,789\t-->\t23:45:01,234", true, 45296, 85501},
                      TimeLineCase{"12:34:56,789 --> 23:45:01,23 ", true, 45296, 85501},
                      TimeLineCase{"12:34:56.789 --> 23:45:01,234", false, 0, 0},
                      TimeLineCase{"12:34:56,789 --> 23:45:0a,234", false, 0, 0},
                      TimeLineCase{"12:34:56,789 --> 24:45:01,234", true, -1, 0},
                      TimeLineCase{"12:34:56,789 --> 23:45:60,234", true, -1, 0},
                      TimeLineCase{"12:3:56,7890 --> 23:45:01,234", false, 0, 0}));

struct StripCase {
    const char16_t *in;
    const char16_t *out;
};

class Stripping : public ::testing::TestWithParam<StripCase> {};

TEST_P(Stripping, RemovesEachCodeOnItsOwnAndKeepsTheText)
{
    EXPECT_EQ(SubtitleParser::stripCodes(QString::fromUtf16(GetParam().in)), QString::fromUtf16(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(
    SubtitleParser, Stripping,
    ::testing::Values(StripCase{u"{\\an8}你好", u"你好"}, StripCase{u"<i>Hello</i>", u"Hello"},
                      // The text between two brace groups stays.
                      StripCase{u"{\\i1}Hello{\\i0}", u"Hello"}, StripCase{u"{\\i1}A{\\pos(10,20)}B", u"AB"},
                      StripCase{u"{\\an8}{\\i1}x", u"x"}, StripCase{u"{a b}", u"{a b}"}, StripCase{u"{}", u"{}"},
                      StripCase{u"{{\\i1}}", u"{}"}, StripCase{u"<>", u"<>"}, StripCase{u"a < b", u"a < b"},
                      StripCase{u"<font color=red>x</font> y", u"x y"}, StripCase{u"{\\b1", u"{\\b1"},
                      StripCase{u"plain", u"plain"}, StripCase{u"", u""}));

TEST(SubtitleParser, ChineseTestCoversTheCommonRange)
{
    EXPECT_TRUE(SubtitleParser::hasNoChinese(u"Hello, 123"));
    EXPECT_TRUE(SubtitleParser::hasNoChinese(u"，。！"));
    EXPECT_FALSE(SubtitleParser::hasNoChinese(u""));
    EXPECT_FALSE(SubtitleParser::hasNoChinese(u"a你"));
    EXPECT_FALSE(SubtitleParser::hasNoChinese(u"\u9FA5"));
    EXPECT_TRUE(SubtitleParser::hasNoChinese(u"\u9FA6"));
}

TEST(SubtitleParser, WorkedExampleInBothOrders)
{
    const SubtitleParser parser(kEnglish);
    const auto cue = parser.parseBlock(u"12\r\n00:01:02,500 --> 00:01:04,000\r\n{\\an8}你好\r\n<i>Hello</i>");
    ASSERT_TRUE(cue.has_value());
    EXPECT_EQ(cue->start, 62);
    EXPECT_EQ(cue->end, 64);
    EXPECT_EQ(cue->normal, QStringLiteral("你好<br>") + wrapped("Hello"));
    EXPECT_EQ(cue->swapped, wrapped("Hello") + QStringLiteral("<br>你好"));
}

struct BlockCase {
    const char16_t *block;
    const char16_t *normal; // nullptr: skipped
    const char16_t *swapped;
};

class Blocks : public ::testing::TestWithParam<BlockCase> {};

TEST_P(Blocks, GiveTheirCueHtml)
{
    const SubtitleParser parser(QString{});
    const auto cue = parser.parseBlock(QString::fromUtf16(GetParam().block));
    if (!GetParam().normal) {
        EXPECT_FALSE(cue.has_value());
        return;
    }
    ASSERT_TRUE(cue.has_value());
    EXPECT_EQ(cue->normal, QString::fromUtf16(GetParam().normal));
    EXPECT_EQ(cue->swapped, QString::fromUtf16(GetParam().swapped));
}

INSTANTIATE_TEST_SUITE_P(
    SubtitleParser, Blocks,
    ::testing::Values(
        // No cue number: the time line is not the second line.
        BlockCase{u"00:00:01,000 --> 00:00:02,000\r\nText", nullptr, nullptr},
        BlockCase{u"1\r\n00:00:01,000 --> 00:00:02,000\r\nOne", u"One", u"One"},
        BlockCase{u"1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\nB\r\nC", u"A<br>B", u"B<br>A"},
        BlockCase{u"1\r\n00:00:01,000 --> 00:00:02,000", u"", u""},
        BlockCase{u"1\r\n00:00:01,000 --> 00:00:02,000\r\n\r\nB", u"B", u"B"},
        // A lone LF inside a line becomes a break too.
        BlockCase{u"1\r\n00:00:01,000 --> 00:00:02,000\r\na\nb\r\n c ", u"a<br>b<br> c", u"c <br>a<br>b"},
        BlockCase{u"1\r\n00:00:01,000 --> 00:00:02,000\r\n0123456789ab\ncdef\r\nx", u"0123456789ab<br>cdef<br>x",
                  u"x<br>0123456789ab<br>cdef"},
        BlockCase{u"1\r\nnot a time\r\nA", nullptr, nullptr}));

TEST(SubtitleParser, EnglishStyleOnlyWhenSetAndOnlyOnLinesWithoutChinese)
{
    const SubtitleParser styled(kEnglish);
    const struct {
        const char16_t *line;
        QString shown;
    } cases[] = {
        {u"<b>OK</b>", wrapped("OK")},
        {u"OK", wrapped("OK")},
        {u"好OK", QStringLiteral("好OK")},
        {u"{\\an8}", QString()},
        {u"", QString()},
        {u"<font face=\"宋体\">Hi</font>", wrapped("Hi")}, // Chinese only inside a tag
        {u"{\\i1}好{\\i0}", QStringLiteral("好")},
        // Long lines are read eight characters at a time: what decides sits
        // in every place of a group, next to the edges of the Chinese range.
        {u"0123456789abcde\u9FA5", QStringLiteral("0123456789abcde\u9FA5")},
        {u"0123456789abcde\u9FA6", wrapped(u"0123456789abcde\u9FA6"_qs)},
        {u"01234567\u4DFF89abcdef", wrapped(u"01234567\u4DFF89abcdef"_qs)},
        {u"\u4E00" "0123456789abcdef", QStringLiteral("\u4E000123456789abcdef")},
        {u"\uFFFF\u0001" "0123456789abcdef", wrapped(u"\uFFFF\u00010123456789abcdef"_qs)},
        {u"0123456<b>89abcdef</b>", wrapped(u"012345689abcdef"_qs)},
        {u"012345678{\\an8}abcdefgh", wrapped(u"012345678abcdefgh"_qs)},
        {u"0123456789abcdefg<i>中</i>", QStringLiteral("0123456789abcdefg中")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(styled.textLine(c.line), c.shown) << QString::fromUtf16(c.line).toStdString();
    const SubtitleParser plain{QString{}};
    EXPECT_EQ(plain.textLine(u"OK"), QStringLiteral("OK"));
}

// A cue's HTML is its two text lines as textLine() shows them, joined by
// joinLines() in both orders, whatever the lines hold and whatever the style.
TEST(SubtitleParser, CueHtmlIsItsTextLinesJoinedInBothOrders)
{
    const QString lines[] = {
        u""_qs, u" "_qs, u"\t \u3000"_qs, QString(QChar(0)), u"Hello"_qs, u" Hello "_qs, u"你好"_qs, u" 你好 "_qs,
        u"{\\an8}"_qs, u"{\\an8}Hi there"_qs, u"{\\an8} 你好"_qs, u"<i>Hi</i> "_qs, u" <i> </i> "_qs,
        u"<font face=\"宋体\">Hi</font>"_qs, u"a\nb"_qs, u"<b\n>x"_qs, u"好\r"_qs, u"\nHi"_qs, u"<>{}"_qs,
    };
    const QString styles[] = {QString(), kEnglish, u"color:red;\n"_qs};
    for (const QString &style : styles) {
        const SubtitleParser parser(style);
        for (const QString &first : lines) {
            for (const QString &second : lines) {
                const QString block = u"7\r\n00:00:01,000 --> 00:00:02,000\r\n"_qs + first + u"\r\n"_qs + second;
                const auto cue = parser.parseBlock(block);
                ASSERT_TRUE(cue.has_value());
                const QString a = parser.textLine(first), b = parser.textLine(second);
                const std::string where = (style + u"|"_qs + first + u"|"_qs + second).toStdString();
                EXPECT_EQ(cue->normal, SubtitleParser::joinLines(a, b)) << where;
                EXPECT_EQ(cue->swapped, SubtitleParser::joinLines(b, a)) << where;
            }
        }
    }
}

TEST(SubtitleParser, NormalisationTrimsAndMakesLongBreakRunsOneBlankLine)
{
    const QString text = QStringLiteral(" \r\n") + QChar(0) + QStringLiteral("a\r\nb\r\n\r\n\r\nc\n\n\nd\r\re\r\n ") + QChar(0);
    EXPECT_EQ(SubtitleParser::normalise(text), u"a\r\nb\r\n\r\nc\r\n\r\nd\r\re");
    EXPECT_EQ(SubtitleParser::normalise(u"a\r\n\r\nb"), u"a\r\n\r\nb");
    EXPECT_EQ(SubtitleParser::normalise(u"  "), u"");

    // A text already in this form comes back as the same string, any other
    // is rewritten whatever its one difference is.
    const QString normal = QStringLiteral("1\r\na\r\n\r\n2\r\nb\rc\nd");
    EXPECT_EQ(SubtitleParser::normalise(normal).constData(), normal.constData());
    // One that only needs trimming is copied once, without the trimmed ends.
    const QString padded = QStringLiteral("\r\n1\r\na\r\n\r\n2\r\nb\r\n\r\n");
    EXPECT_EQ(SubtitleParser::normalise(padded), u"1\r\na\r\n\r\n2\r\nb");
    QString alone = QString::fromUtf16(u"\r\n1\r\na\r\n\r\n2\r\nb\r\n\r\n");
    const QChar *before = alone.constData();
    const QString trimmedInPlace = SubtitleParser::normalise(std::move(alone));
    EXPECT_EQ(trimmedInPlace, u"1\r\na\r\n\r\n2\r\nb");
    EXPECT_EQ(trimmedInPlace.constData(), before + 2);
    const struct {
        const char16_t *text, *normalised;
    } cases[] = {
        {u"a\r\n\r\n\r\nb", u"a\r\n\r\nb"},
        {u"a\n\r\n\rb", u"a\r\n\r\nb"},
        {u"a\n\n\nb", u"a\r\n\r\nb"},
        {u"a\r\n\r\nb ", u"a\r\n\r\nb"},
        {u"\r\na", u"a"},
        {u"", u""},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(SubtitleParser::normalise(text), QString::fromUtf16(c.normalised)) << text.toStdString();
        EXPECT_EQ(SubtitleParser::normalise(text), SubtitleParser::normalise(QStringView(text)));
    }
}

TEST(SubtitleParser, BlocksSplitOnCrLfCrLfOnly)
{
    struct Case {
        const char16_t *text;
        QStringList blocks;
    };
    const Case cases[] = {
        {u"", {}},
        {u"a", {"a"}},
        {u"a\r\n\r\nb", {"a", "b"}},
        {u"a\n\nb", {"a\n\nb"}},
        {u"a\r\n \r\nb", {"a\r\n \r\nb"}},
        {u"a\r\n\r\n\r\n\r\nb", {"a", "", "b"}},
        {u"a\r\n\r\n\r\nb", {"a", "\r\nb"}},
        {u"a\r\r\n\r\nb", {"a\r", "b"}},
        {u"a\r\n\r", {"a\r\n\r"}},
        {u"a\r", {"a\r"}},
        {u"\r\n\r\n", {"", ""}},
        {u"a\r\n\r\n", {"a", ""}},
        {u"a\r\nb\r\r\n\r\n\rc", {"a\r\nb\r", "\rc"}},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        QStringList got;
        BlockSplitter splitter(text);
        QStringView block;
        while (splitter.next(block))
            got << block.toString();
        EXPECT_EQ(got, c.blocks);
        EXPECT_EQ(BlockSplitter::count(text), c.blocks.size());
    }
}

TEST(TimeKey, FormatsWrapsAndParses)
{
    EXPECT_EQ(TimeKey::format(0), u"00:00:00");
    EXPECT_EQ(TimeKey::format(86399), u"23:59:59");
    EXPECT_EQ(TimeKey::format(86400), u"00:00:00");
    EXPECT_EQ(TimeKey::format(-1), u"23:59:59");
    EXPECT_EQ(TimeKey::withMillis(u"00:01:23"_qs, 45), u"00:01:23,045");
    EXPECT_EQ(TimeKey::parse(u"01:02:03"), 3723);
    EXPECT_EQ(TimeKey::parse(u"1:2"), 3720);
    EXPECT_FALSE(TimeKey::parse(u"24:00:00"));
    EXPECT_FALSE(TimeKey::parse(u"1:2:3:4"));
    EXPECT_FALSE(TimeKey::parse(u"001:02:03"));
    EXPECT_FALSE(TimeKey::parse(u""));
}

// The two lines joined by CR LF, trimmed as one text, each run of CR/LF as <br>.
TEST(SubtitleParserJoin, LinesJoinTrimmedWithBreaksAsBr)
{
    struct Case {
        QString first, second, joined;
    };
    const Case cases[] = {
        {u"a"_qs, u"b"_qs, u"a<br>b"_qs},
        {u"a"_qs, QString(), u"a"_qs},
        {QString(), u"b"_qs, u"b"_qs},
        {QString(), QString(), QString()},
        {u" a\r\n"_qs, u"b "_qs, u"a<br>b"_qs},
        {u"a\r\r\n"_qs, u"\nb"_qs, u"a<br>b"_qs},
        {QString(QChar(0)) + u"a"_qs, u"b"_qs + QChar(0), u"a<br>b"_qs},
        {u"a b"_qs, u"c\td"_qs, u"a b<br>c\td"_qs},
        {u" "_qs, u"\u3000"_qs, QString()},
        {u"a\u3000"_qs, QString(), u"a"_qs},
        {u"a"_qs, u"\u3000b"_qs, u"a<br>\u3000b"_qs},
        {u"x\ry"_qs, u"z"_qs, u"x<br>y<br>z"_qs},
        {u"a "_qs, u" b"_qs, u"a <br> b"_qs},
        {u"\t"_qs, u" b "_qs, u"b"_qs},
        {u" a "_qs, u"\t"_qs, u"a"_qs},
        {u"\u3000a"_qs, u"b\u3000"_qs, u"a<br>b"_qs},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SubtitleParser::joinLines(c.first, c.second), c.joined) << c.first.toStdString() << "|" << c.second.toStdString();
}

} // namespace
} // namespace sorvane
