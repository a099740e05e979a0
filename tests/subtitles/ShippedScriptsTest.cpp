// The scripts shipped in script/, run by the real program on the fake
// platform: files of each accepted type taken in through CallBack, the
// chooser scripts, and the start-up and save scripts.
#include "support/MainFixture.h"

#include "app/Main.h"
#include "page/PageDocument.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace sorvane {
namespace {

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Gbk };

QByteArray encode(const QString &text, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Encoding::Utf16Le: {
        QStringEncoder encoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        return encoder.encode(text);
    }
    case Encoding::Gbk: {
        QStringEncoder encoder("GB18030");
        return encoder.encode(text);
    }
    }
    return {};
}

QString crlf(QString text)
{
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

// The program installed in a folder of its own, with a copy of the shipped
// script folder beside it unless `withScripts` is false.
class ShippedScripts : public testing_support::MainFixture {
protected:
    // The program starts in start(), once its folder is laid out.
    void SetUp() override {}

    void start(bool withScripts = true)
    {
        const QString program = dir.filePath(QStringLiteral("program"));
        QDir().mkpath(program + QStringLiteral("/script"));
        if (withScripts) {
            const QDir shipped(QStringLiteral(SORVANE_SCRIPT_DIR));
            for (const QString &name : shipped.entryList(QDir::Files))
                QFile::copy(shipped.filePath(name), program + QStringLiteral("/script/") + name);
        }
        fake.programFile = program + QStringLiteral("/sorvane");
        main = std::make_unique<Main>(fake.services());
        main->initialise();
        // Plain cue HTML: the English style has tests of its own.
        main->Config->setItem(QStringLiteral("English"), QString());
    }

    QString scriptFile(const QString &name) const { return main->ScriptPath + name; }

    QString style(const char *property) const
    {
        PageElement *e = main->document->getElementById(QStringLiteral("code"));
        return e ? e->style().property(QString::fromLatin1(property)) : QStringLiteral("<none>");
    }
    Variant configValue(const char *key) const { return main->Config->item(QString::fromLatin1(key)); }
    // Script failures show a box; the shipped scripts must show none.
    QStringList boxes() const
    {
        QStringList out;
        for (const MessageBoxRequest &r : fake.messageBoxes)
            out << r.caption + QStringLiteral(": ") + r.text;
        return out;
    }

};

// ------------------------------------------------------------ loads

struct LoadCase {
    const char *name;
    const char *file;
    QString text;
    Encoding encoding;
    // Time key -> cue HTML, for keys that must be there.
    QList<std::pair<QString, QString>> cues;
    // Keys that must not be there.
    QStringList absent;
    const char *charSet;
};

QString srtFile()
{
    return QStringLiteral("1\n00:00:01,000 --> 00:00:02,500\n你好\n<i>Hello</i>\n\n"
                          "2\n00:00:04,000 --> 00:00:04,900\nSecond\n");
}

QString assFile()
{
    return QStringLiteral(
        "[Script Info]\nTitle: Sample\nScriptType: v4.00+\n\n"
        "[V4+ Styles]\nFormat: Name, Fontname, Fontsize, PrimaryColour\nStyle: Default,Arial,20,&H00FFFFFF\n\n"
        "[Events]\n"
        "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
        // Out of order in the file; text with commas, \\N, \\n and override codes.
        "Dialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,Later, with a comma\n"
        "Comment: 0,0:00:03.00,0:00:03.50,Default,,0,0,0,,not shown\n"
        "Dialogue: 0,0:00:01.50,0:00:02.20,Default,,0,0,0,,{\\an8}{\\fnArial Black}第一行\\N<b>second</b> line\n"
        "Dialogue: 0,0:00:03.00,0:00:03.90,Default,,0,0,0,,soft\\nbreak\n"
        "Dialogue: 0,0:00:07.00,0:00:08.00,Default,,0,0,0,,{\\p1}m 0 0 l 100 0 100 100\n");
}

QString ssaFile()
{
    // SSA: another field order, "Marked" instead of "Layer".
    return QStringLiteral("[Script Info]\nScriptType: v4.00\n\n[Events]\n"
                          "Format: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
                          "Dialogue: Marked=0,0:00:02.00,0:00:03.00,Default,NTP,0000,0000,0000,,SSA line\n");
}

QString reorderedAssFile()
{
    // The Format line decides: here End comes before Start and Text has commas.
    return QStringLiteral("[Events]\nFormat: End, Start, Text\n"
                          "Dialogue: 0:00:12.00,0:00:10.00,a, b, c\n");
}

QString lrcFile()
{
    return QStringLiteral("[ar:Someone]\n[ti:Song]\n[offset:+500]\n"
                          "[00:10.50][00:30.50]Chorus line\n"
                          "[00:20.50]Verse <00:21.00>line\n"
                          "[00:25.50]\n");
}

QString subFile()
{
    // 25 frames a second: frame 50 is second 2, frame 100 is second 4.
    return QStringLiteral("{1}{1}25\n{50}{100}Top line|{y:i}Bottom line\n{250}{275}Ten\n");
}

QString vttFile()
{
    // A header with a title, NOTE, STYLE and REGION blocks, cue identifiers,
    // hour-less times, cue settings, voice/class/style/timestamp tags and
    // entities; cues out of order.
    return QStringLiteral("WEBVTT - A film\n\n"
                          "NOTE written by hand\n00:00:09.000 --> 00:00:09.500\n\n"
                          "STYLE\n::cue { color: yellow }\n\n"
                          "REGION\nid:bottom\n\n"
                          "intro\n00:01.000 --> 00:02.500 position:10% align:start\n"
                          "<v Roger Bingham>你好 &amp; <i>hello</i></v>\n"
                          "<c.yellow>City</c> <00:00:02.000><b>now</b>&nbsp;&lt;ok&gt;\n\n"
                          "01:00:05.000 --> 01:00:06.000\nLate\n\n"
                          "2\n00:00:00.000 --> 00:00:00.900\n<u>First</u>\n");
}

class ShippedLoadTest : public ShippedScripts, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(ShippedLoadTest, TheCueTableHoldsTheFilesCues)
{
    const LoadCase &c = GetParam();
    start();
    main->CallBack(write(QString::fromLatin1(c.file), encode(c.text, c.encoding)));

    EXPECT_EQ(boxes(), QStringList());
    EXPECT_EQ(config("CharSet"), QString::fromLatin1(c.charSet));
    for (const auto &[key, html] : c.cues)
        EXPECT_EQ(cue(key), html) << key.toStdString();
    for (const QString &key : c.absent)
        EXPECT_EQ(cue(key), QStringLiteral("<absent>")) << key.toStdString();
    // What was parsed is cue blocks with CR LF line ends only.
    const QString format = config("Format");
    EXPECT_FALSE(format.contains(QRegularExpression(QStringLiteral("[^\\r]\\n|\\r[^\\n]"))));
    EXPECT_TRUE(element("code").contains(QStringLiteral("就绪")));
}

const QString kSecond2 = QStringLiteral("00:00:02");

INSTANTIATE_TEST_SUITE_P(
    Formats, ShippedLoadTest,
    ::testing::Values(
        LoadCase{"SrtCrLf", "a.srt", crlf(srtFile()), Encoding::Utf8,
                 {{"00:00:01", "你好<br>Hello"}, {"00:00:02", "你好<br>Hello"}, {"00:00:04", "Second"}},
                 {"00:00:03", "00:00:05"}, "utf-8"},
        LoadCase{"SrtLf", "a.srt", srtFile(), Encoding::Utf8,
                 {{"00:00:01", "你好<br>Hello"}, {"00:00:04", "Second"}}, {"00:00:03"}, "utf-8"},
        LoadCase{"SrtLfWithMark", "a.srt", srtFile(), Encoding::Utf8Bom,
                 {{"00:00:01", "你好<br>Hello"}, {"00:00:04", "Second"}}, {}, "UTF-8"},
        LoadCase{"SrtUtf16", "a.srt", crlf(srtFile()), Encoding::Utf16Le,
                 {{"00:00:02", "你好<br>Hello"}, {"00:00:04", "Second"}}, {}, "UTF-16"},
        LoadCase{"SrtGbk", "a.srt", srtFile(), Encoding::Gbk,
                 {{"00:00:02", "你好<br>Hello"}, {"00:00:04", "Second"}}, {}, "GB2312"},
        // Blank lines of spaces, a run of blank lines, no number on the
        // second cue, "." before the milliseconds, old Mac CR line ends.
        LoadCase{"SrtUntidy", "a.srt",
                 QStringLiteral("\n\n1\r00:00:01.000 --> 00:00:01.900\rOne\r   \r\r\r"
                                "00:00:03.000 --> 00:00:03.500 X1:10 X2:20\rTwo\r\t\r3\r00:00:05,000 --> 00:00:05,100\rThree"),
                 Encoding::Utf8,
                 {{"00:00:01", "One"}, {"00:00:03", "Two"}, {"00:00:05", "Three"}},
                 {"00:00:02", "00:00:04"}, "utf-8"},
        LoadCase{"AssLf", "a.ass", assFile(), Encoding::Utf8,
                 {{"00:00:01", "第一行<br>second line"},
                  {"00:00:02", "第一行<br>second line"},
                  {"00:00:03", "soft<br>break"},
                  {"00:00:05", "Later, with a comma"},
                  {"00:00:06", "Later, with a comma"}},
                 {"00:00:04", "00:00:07", "00:00:08"}, "utf-8"},
        LoadCase{"AssCrLfWithMark", "a.ass", crlf(assFile()), Encoding::Utf8Bom,
                 {{"00:00:01", "第一行<br>second line"}, {"00:00:05", "Later, with a comma"}}, {"00:00:04"}, "UTF-8"},
        LoadCase{"AssUtf16", "a.ass", crlf(assFile()), Encoding::Utf16Le,
                 {{"00:00:03", "soft<br>break"}}, {}, "UTF-16"},
        LoadCase{"AssGbk", "a.ass", crlf(assFile()), Encoding::Gbk,
                 {{"00:00:02", "第一行<br>second line"}}, {}, "GB2312"},
        LoadCase{"Ssa", "a.ssa", ssaFile(), Encoding::Utf8, {{"00:00:02", "SSA line"}, {"00:00:03", "SSA line"}},
                 {"00:00:04"}, "utf-8"},
        LoadCase{"AssFieldOrder", "b.ass", reorderedAssFile(), Encoding::Utf8,
                 {{"00:00:10", "a, b, c"}, {"00:00:12", "a, b, c"}}, {"00:00:09", "00:00:13"}, "utf-8"},
        // Offset +500 moves every stamp half a second earlier; a line lasts
        // until the next stamp, an empty one ends the line before it.
        LoadCase{"Lrc", "a.lrc", crlf(lrcFile()), Encoding::Utf8,
                 {{"00:00:10", "Chorus line"},
                  {"00:00:19", "Chorus line"},
                  {"00:00:20", "Verse line"},
                  {"00:00:24", "Verse line"},
                  {"00:00:30", "Chorus line"},
                  {"00:00:34", "Chorus line"}},
                 {"00:00:09", "00:00:25", "00:00:29", "00:00:36"}, "utf-8"},
        LoadCase{"LrcGbk", "a.lrc", QStringLiteral("[00:01.00]第一句\n[00:03.00]第二句\n"), Encoding::Gbk,
                 {{"00:00:01", "第一句"}, {"00:00:02", "第一句"}, {"00:00:03", "第二句"}}, {}, "GB2312"},
        LoadCase{"MicroDvd", "a.sub", crlf(subFile()), Encoding::Utf8,
                 {{"00:00:02", "Top line<br>Bottom line"}, {"00:00:04", "Top line<br>Bottom line"}, {"00:00:10", "Ten"}},
                 {"00:00:01", "00:00:05", "00:00:00"}, "utf-8"},
        // Without a frame-rate line: 23.976 frames a second.
        LoadCase{"MicroDvdDefaultRate", "a.sub", QStringLiteral("{240}{480}Ten to twenty\n"), Encoding::Utf8,
                 {{"00:00:10", "Ten to twenty"}, {"00:00:20", "Ten to twenty"}}, {"00:00:09", "00:00:21"}, "utf-8"},
        // Times of other shapes: one digit of fraction, none, four; two-digit
        // hours, and hours that cross ten; \h, runs of \N, drawings and
        // empty lines.
        LoadCase{"AssOtherShapes", "d.ass",
                 crlf(QStringLiteral(
                     "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
                     "Dialogue: 0,0:00:01.5,0:00:02.25,Default,,0,0,0,,odd\\hone\n"
                     "Dialogue: 0,0:00:03,0:00:03.1234,Default,,0,0,0,,\\N top \\N \\N bottom \\N\n"
                     "Dialogue: 0,0:00:04.00,0:00:05.00,Default,,0,0,0,,{\\p1}m 0 0 l 10 0{\\p0}\n"
                     "Dialogue: 0,0:00:04.00,0:00:05.00,Default,,0,0,0,,{\\pos(1,2)}placed\n"
                     "Dialogue: 0,0:00:06.00,0:00:07.00,Default,,0,0,0,,   \n"
                     "Dialogue: 0,9:59:59.00,10:00:01.00,Default,,0,0,0,,crossing\n"
                     "Dialogue: 0,12:00:00.00,12:00:00.50,Default,,0,0,0,,noon\n")),
                 Encoding::Utf8,
                 {{"00:00:01", "odd one"},
                  {"00:00:02", "odd one"},
                  {"00:00:03", "top<br>bottom"},
                  {"00:00:04", "placed"},
                  {"09:59:59", "crossing"},
                  {"10:00:01", "crossing"},
                  {"12:00:00", "noon"}},
                 {"00:00:06", "00:00:07"}, "utf-8"},
        // Cues that start together keep their file order (the later wins);
        // an earlier cue found later in the file goes first.
        LoadCase{"AssSameStart", "e.ass",
                 QStringLiteral("[Events]\r\nFormat: Start, End, Text\r\n"
                                "Dialogue: 0:00:05.00,0:00:06.00,first\r\n"
                                "Comment: 0:00:05.00,0:00:06.00,a note\r\n"
                                "Dialogue: 0:00:05.00,0:00:05.50,second\r\n"
                                "Dialogue: 0:00:01.00,0:00:05.00,earliest\r\n"),
                 Encoding::Utf8,
                 {{"00:00:01", "earliest"}, {"00:00:04", "earliest"}, {"00:00:05", "second"}, {"00:00:06", "first"}},
                 {}, "utf-8"},
        LoadCase{"Vtt", "a.vtt", vttFile(), Encoding::Utf8,
                 {{"00:00:00", "First"},
                  {"00:00:01", "你好 &amp; hello<br>City now\u00A0&lt;ok&gt;"},
                  {"00:00:02", "你好 &amp; hello<br>City now\u00A0&lt;ok&gt;"},
                  {"01:00:05", "Late"}},
                 {"00:00:03", "00:00:09"}, "utf-8"},
        LoadCase{"VttCrLfWithMark", "a.vtt", crlf(vttFile()), Encoding::Utf8Bom,
                 {{"00:00:00", "First"}, {"01:00:06", "Late"}}, {"00:00:09"}, "UTF-8"},
        LoadCase{"VttGbk", "a.vtt", QStringLiteral("WEBVTT\n\n00:05.000 --> 00:06.000\n第一句\n"), Encoding::Gbk,
                 {{"00:00:05", "第一句"}}, {}, "GB2312"},
        // A file whose extension does not fit its text is read by its text.
        LoadCase{"AssNamedSrt", "c.srt", assFile(), Encoding::Utf8, {{"00:00:03", "soft<br>break"}}, {}, "utf-8"},
        LoadCase{"VttNamedSrt", "c.srt", vttFile(), Encoding::Utf8, {{"01:00:05", "Late"}}, {"00:00:09"}, "utf-8"}),
    [](const ::testing::TestParamInfo<LoadCase> &info) { return std::string(info.param.name); });

TEST_F(ShippedScripts, AssCuesAreSortedByStartTime)
{
    start();
    main->CallBack(write(QStringLiteral("a.ass"), encode(assFile(), Encoding::Utf8)));
    EXPECT_EQ(keys(), (QStringList{"00:00:01", "00:00:02", "00:00:03", "00:00:05", "00:00:06"}));
    const QString format = config("Format");
    EXPECT_TRUE(format.startsWith(QStringLiteral("1\r\n00:00:01,500 --> 00:00:02,200\r\n第一行\r\n<b>second</b> line\r\n\r\n"
                                                 "2\r\n00:00:03,000 --> 00:00:03,900\r\n")))
        << format.toStdString();
    EXPECT_EQ(main->stopTime, QStringLiteral("00:01:00"));
}

// What the script leaves for the parser from SSA/ASS files whose cues are in
// start-time order, the shape most files have.
struct FormatCase {
    const char *name;
    QString text;
    QString format;
};

class ShippedAssFormatTest : public ShippedScripts, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ShippedAssFormatTest, CuesInOrderBecomeNumberedBlocks)
{
    const FormatCase &c = GetParam();
    start();
    main->CallBack(write(QStringLiteral("f.ass"), encode(c.text, Encoding::Utf8)));
    EXPECT_EQ(boxes(), QStringList());
    EXPECT_EQ(config("Format"), c.format);
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, ShippedAssFormatTest,
    ::testing::Values(
        // Comment lines between and after the cues, braces left open in them
        // and in a cue, and a section after [Events] whose lines are no cues.
        FormatCase{"OtherLinesPassedOver",
                   QStringLiteral("[Script Info]\nTitle: t\n\n[Events]\n"
                                  "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
                                  "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,one\n"
                                  "Comment: 0,0:00:01.50,0:00:02.00,Default,,0,0,0,,{not shown\n"
                                  "Dialogue: 0,0:00:03.00,0:00:04.00,Default,,0,0,0,,two {\\i1}a{\\i0}\n"
                                  "Dialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,three {\n"
                                  "Comment: 0,0:00:07.00,0:00:08.00,Default,,0,0,0,,{\\fs20} note}\n\n"
                                  "[Fonts]\nDialogue: 0,0:00:09.00,0:00:10.00,Default,,0,0,0,,not an event\n"),
                   QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,000\r\none\r\n\r\n"
                                  "2\r\n00:00:03,000 --> 00:00:04,000\r\ntwo a\r\n\r\n"
                                  "3\r\n00:00:05,000 --> 00:00:06,000\r\nthree {")},
        // Drawings first and last, blanks around a break, \h, a line that is
        // no cue, times of two shapes in one line; no line end at the end.
        FormatCase{"DrawingsBreaksAndOddLines",
                   QStringLiteral("[Events]\r\nFormat: Start, End, Text\r\n"
                                  "Dialogue: 0:00:01.00,0:00:02.00,{\\p1}m 0 0 l 1 1{\\p0}\r\n"
                                  "Dialogue: 0:00:03.00,0:00:04.00,top \\N  bottom\r\n"
                                  "Dialogue: 0:00:05.00,0:00:06.00,a\\hb\r\n"
                                  "Dialogue: garbage\r\n"
                                  "Dialogue: 9:59:59.00,10:00:01.00,crossing\r\n"
                                  "Dialogue: 10:00:02.00,10:00:03.00,{\\p2}shape"),
                   QStringLiteral("1\r\n00:00:03,000 --> 00:00:04,000\r\ntop\r\nbottom\r\n\r\n"
                                  "2\r\n00:00:05,000 --> 00:00:06,000\r\na b\r\n\r\n"
                                  "3\r\n09:59:59,000 --> 10:00:01,000\r\ncrossing")},
        // End before Start in the Format line.
        FormatCase{"EndFirst",
                   QStringLiteral("[Events]\nFormat: End, Start, Text\n"
                                  "Dialogue: 0:00:02.00,0:00:01.00,a\n"
                                  "Dialogue: 0:00:04.00,0:00:03.00,b\\Nc\n"),
                   QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\n"
                                  "2\r\n00:00:03,000 --> 00:00:04,000\r\nb\r\nc")}),
    [](const ::testing::TestParamInfo<FormatCase> &info) { return std::string(info.param.name); });

// The script numbers a big file's cues in runs; the numbers go on across them.
TEST_F(ShippedScripts, ManyAssCuesAreNumberedThroughout)
{
    start();
    constexpr int kCount = 100001;
    QString text = QStringLiteral("[Events]\r\nFormat: Start, End, Text\r\n");
    for (int i = 0; i < kCount; ++i) {
        const int cs = i * 2;
        text += QString::asprintf("Dialogue: 0:%02d:%02d.%02d,0:%02d:%02d.%02d,c%d\r\n", cs / 6000, cs / 100 % 60, cs % 100,
                                  (cs + 1) / 6000, (cs + 1) / 100 % 60, (cs + 1) % 100, i + 1);
    }
    main->CallBack(write(QStringLiteral("many.ass"), encode(text, Encoding::Utf8)));
    EXPECT_EQ(boxes(), QStringList());
    const QString format = config("Format");
    EXPECT_TRUE(format.startsWith(QStringLiteral("1\r\n00:00:00,000 --> 00:00:00,010\r\nc1\r\n\r\n2\r\n")));
    EXPECT_TRUE(format.contains(QStringLiteral("\r\nc99999\r\n\r\n100000\r\n00:33:19,980 --> 00:33:19,990\r\nc100000\r\n\r\n"
                                               "100001\r\n00:33:20,000 --> 00:33:20,010\r\nc100001")));
    EXPECT_TRUE(format.endsWith(QStringLiteral("\r\nc100001")));
    EXPECT_EQ(format.count(QStringLiteral("\r\n\r\n")), kCount - 1);
    EXPECT_EQ(cue(QStringLiteral("00:33:20")), QStringLiteral("c100001"));
}

// A text already in the parser's form goes through the SRT reader untouched
// (line breaks at its end dropped); anything else is put right. The same
// text after one more line break never goes through untouched, and must come
// out the same: random SRT texts made of tidy and untidy pieces show that
// nothing untidy slips by.
TEST_F(ShippedScripts, SrtTextsInTheParsersFormGoThroughAsTheyAre)
{
    start();
    // Blocks of a number, a time line and text lines, with now and then an
    // untidy piece or line break in place of a tidy one.
    static const char *const numbers[] = {"1", "12", "1", "7", " 3", ""};
    static const char *const times[] = {
        "00:00:01,000 --> 00:00:02,000", "00:00:03,500 --> 00:00:04,250", "0:0:5,5 --> 0:0:6,75",
        "00:00:01,000 --> 00:00:02,000", "00:00:07.500 --> 00:00:08.000", "00:00:09 --> 00:00:10",
        "00:00:11,000 --> 00:00:12,000 X1:10", "00:00:13,0001 --> 00:00:14,000", "00:00:15.5 --> 00:00:16,000",
        "00:00:17 --> 00:00:18,000"};
    static const char *const lines[] = {"你好", "Hello", "<i>tag</i>", "a --> b", "你好", "Hello", "  ", "\t"};
    static const char *const breaks[] = {"\r\n", "\r\n", "\r\n", "\r\n", "\r\n", "\r\n", "\r\n", "\r\n",
                                         "\n", "\r", "\r\n\r\n", "\r\n \r\n"};
    static const char *const separators[] = {"\r\n\r\n\r\n", "\r\n \r\n", "\r\n", "\n\n", "\r\n\r\n\r\n\r\n"};
    std::mt19937 random(5);
    auto pick = [&random](const auto &list) { return QString::fromUtf8(list[random() % std::size(list)]); };
    auto tidyOr = [&random, &pick](const auto &list) {
        return random() % 4 == 0 ? pick(list) : QString::fromUtf8(list[0]);
    };
    int untouched = 0;
    for (int round = 0; round < 150; ++round) {
        QString text;
        const int blocks = 1 + int(random() % 4);
        for (int b = 0; b < blocks; ++b) {
            if (b > 0)
                text += random() % 5 == 0 ? pick(separators) : QStringLiteral("\r\n\r\n");
            // A block without its number, now and then.
            if (random() % 8 != 0)
                text += tidyOr(numbers) + tidyOr(breaks);
            text += tidyOr(times);
            for (int n = 1 + int(random() % 2); n > 0; --n)
                text += tidyOr(breaks) + (random() % 3 == 0 ? pick(lines) : QString::fromUtf8(lines[random() % 3]));
        }
        if (random() % 3 == 0)
            text += pick(separators);
        main->CallBack(write(QStringLiteral("a.srt"), encode(text, Encoding::Utf8)));
        const QString once = config("Format");
        main->CallBack(write(QStringLiteral("a.srt"), encode(QStringLiteral("\r\n") + text, Encoding::Utf8)));
        ASSERT_EQ(once.toStdString(), config("Format").toStdString()) << round << ": " << text.toStdString();
        QString bare = text;
        while (bare.endsWith(u'\n') || bare.endsWith(u'\r'))
            bare.chop(1);
        untouched += once == bare;
    }
    // Tidy and untidy texts were both made.
    EXPECT_GT(untouched, 10);
    EXPECT_LT(untouched, 140);
}

TEST_F(ShippedScripts, TheParsersOwnRulesStillApplyToTheScriptsOutput)
{
    start();
    // The English style and the line swap come from the parser.
    main->Config->setItem(QStringLiteral("English"), QStringLiteral("color:red;"));
    main->CallBack(write(QStringLiteral("e.ass"),
                         encode(QStringLiteral("[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, "
                                               "MarginV, Effect, Text\nDialogue: 0,0:00:01.00,0:00:01.50,,,0,0,0,,"
                                               "中文\\NEnglish\n"),
                                Encoding::Utf8)));
    EXPECT_EQ(cue(QStringLiteral("00:00:01")), QStringLiteral("中文<br><span style='color:red;'>English</span>"));
    EXPECT_EQ(main->subtitlesSort->find(QStringLiteral("00:00:01"))->text(),
              QStringLiteral("<span style='color:red;'>English</span><br>中文"));
}

QByteArray randomBytes(int size)
{
    std::mt19937 random(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(random());
    return bytes;
}

struct UnreadableCase {
    const char *name;
    const char *file;
    QByteArray bytes;
    const char *reason; // a part of the explanation
};

class ShippedUnreadableTest : public ShippedScripts, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(ShippedUnreadableTest, NothingLoadsAndThePageSaysWhy)
{
    const UnreadableCase &c = GetParam();
    start();
    // An earlier load that stays on the page.
    main->CallBack(write(QStringLiteral("old.srt"), QByteArray("1\r\n00:00:01,000 --> 00:00:02,000\r\nold\r\n")));
    main->showOut = 3;
    main->CallBack(write(QString::fromLatin1(c.file), c.bytes));

    EXPECT_EQ(boxes(), QStringList());
    EXPECT_TRUE(keys().isEmpty());
    EXPECT_EQ(config("Format"), QString());
    const QString why = config("Sample");
    EXPECT_TRUE(why.contains(QString::fromUtf8(c.reason))) << why.toStdString();
    EXPECT_FALSE(why.contains(QLatin1Char('\n')));
    EXPECT_TRUE(element("Message").contains(why.section(QStringLiteral("："), 1))) << element("Message").toStdString();
    EXPECT_EQ(main->showOut, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ShippedUnreadableTest,
    ::testing::Values(
        UnreadableCase{"Idx", "movie.idx", QByteArray("# VobSub index file, v7\r\nsize: 720x480\r\nid: en, index: 0\r\n"
                                                      "timestamp: 00:00:01:000, filepos: 000000000\r\n"),
                       "图像字幕"},
        UnreadableCase{"VobSubPictures", "movie.sub", QByteArray("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01", 10),
                       "VobSub"},
        UnreadableCase{"AssWithoutEvents", "x.ass", QByteArray("[Script Info]\r\nTitle: none\r\n"), "[Events]"},
        UnreadableCase{"AssWithoutTimes", "x.ass", QByteArray("[Events]\r\nFormat: Layer, Style, Text\r\n"), "Format"},
        UnreadableCase{"SrtWithoutTimes", "x.srt", QByteArray("just some text\r\n\r\nmore text\r\n"), "没有可用的字幕"},
        UnreadableCase{"EmptyLrc", "x.lrc", QByteArray("[ar:Nobody]\r\n"), "时间标签"},
        UnreadableCase{"VttWithoutCues", "x.vtt", QByteArray("WEBVTT\r\n\r\nNOTE nothing here\r\n"), "字幕块"},
        UnreadableCase{"VttOfRandomBytes", "x.vtt", randomBytes(64 * 1024), "字幕块"},
        UnreadableCase{"VttWithAHugeLine", "x.vtt", "WEBVTT\n\n" + QByteArray(50 * 1024 * 1024, 'x'), "字幕块"}),
    [](const ::testing::TestParamInfo<UnreadableCase> &info) { return std::string(info.param.name); });

// Without the shipped scripts the program parses CR LF cue blocks only.
struct WithAndWithoutCase {
    const char *name;
    const char *file;
    QString text;
};

class WithAndWithoutScriptsTest : public ShippedScripts, public ::testing::WithParamInterface<WithAndWithoutCase> {};

TEST_P(WithAndWithoutScriptsTest, OnlyTheShippedScriptMakesTheFilePlay)
{
    const WithAndWithoutCase &c = GetParam();
    {
        SCOPED_TRACE("without the scripts");
        start(false);
        main->CallBack(write(QString::fromLatin1(c.file), c.text.toUtf8()));
        EXPECT_TRUE(keys().isEmpty());
        EXPECT_EQ(main->stopTime, QStringLiteral("00:01:00"));
    }
    {
        SCOPED_TRACE("with the scripts");
        main.reset();
        start(true);
        main->CallBack(write(QString::fromLatin1(c.file), c.text.toUtf8()));
        EXPECT_FALSE(keys().isEmpty());
        main->OnPlayer();
        fake.advance(2100);
        main->Timer1.tick();
        EXPECT_FALSE(element("code").isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, WithAndWithoutScriptsTest,
                         ::testing::Values(WithAndWithoutCase{"LfSrt", "lf.srt", srtFile()},
                                           WithAndWithoutCase{"Ass", "a.ass", crlf(assFile())}),
                         [](const ::testing::TestParamInfo<WithAndWithoutCase> &info) {
                             return std::string(info.param.name);
                         });

// ------------------------------------------------------------ choosers

TEST_F(ShippedScripts, ChoosersAskThePlatformOverTheWindowAndReturnEmptyWhenCancelled)
{
    start();
    fake.colorAnswers = {QStringLiteral("#ff8800"), std::nullopt};
    fake.fontAnswers = {QStringLiteral("Noto Sans"), std::nullopt};
    EXPECT_EQ(main->ChooseColor(QStringLiteral(" cyan ")), QStringLiteral("#ff8800"));
    EXPECT_EQ(main->ChooseColor(QStringLiteral("#123456")), QString());
    EXPECT_EQ(main->ChooseFont(QStringLiteral("Microsoft Yahei,微软雅黑")), QStringLiteral("Noto Sans"));
    EXPECT_EQ(main->ChooseFont(QStringLiteral("Arial")), QString());

    ASSERT_EQ(fake.colorChoosers.size(), 2);
    EXPECT_EQ(fake.colorChoosers[0].initial, QStringLiteral("cyan"));
    EXPECT_EQ(fake.colorChoosers[0].owner, fake.rect);
    EXPECT_EQ(fake.colorChoosers[1].initial, QStringLiteral("#123456"));
    ASSERT_EQ(fake.fontChoosers.size(), 2);
    EXPECT_EQ(fake.fontChoosers[0].family, QStringLiteral("Microsoft Yahei,微软雅黑"));
    EXPECT_EQ(fake.fontChoosers[0].owner, fake.rect);
}

struct ChooserCase {
    const char *name;
    const char *item;        // the menu command
    QString answer;          // "" cancels
    const char *key;         // the setting the script writes
    QString expectedSetting; // after the command
    const char *property;    // the style property that shows it
    QString expectedStyle;
};

class ShippedChooserTest : public ShippedScripts, public ::testing::WithParamInterface<ChooserCase> {};

TEST_P(ShippedChooserTest, TheChoiceIsStoredAndShown)
{
    const ChooserCase &c = GetParam();
    start();
    fake.colorAnswers = {c.answer.isEmpty() ? std::nullopt : std::optional<QString>(c.answer)};
    fake.fontAnswers = fake.colorAnswers;
    main->menuClicked(QString::fromLatin1(c.item));

    EXPECT_EQ(boxes(), QStringList());
    EXPECT_EQ(fake.colorChoosers.size() + fake.fontChoosers.size(), 1);
    EXPECT_EQ(config(c.key), c.expectedSetting);
    EXPECT_EQ(style(c.property), c.expectedStyle);
}

INSTANTIATE_TEST_SUITE_P(
    Choosers, ShippedChooserTest,
    ::testing::Values(
        ChooserCase{"ColorChosen", "OnSetColor", "#ff8800", "Color", "#ff8800", "color", "#ff8800"},
        ChooserCase{"ColorCancelled", "OnSetColor", "", "Color", "cyan", "color", ""},
        ChooserCase{"WhiteKeptByName", "OnSetColor", "#FFFFFF", "Color", "white", "color", "white"},
        ChooserCase{"FontChosen", "OnFontFamily", "Noto Sans", "FontFamily", "Noto Sans", "font-family", "Noto Sans"},
        // A name CSS cannot take bare is quoted.
        ChooserCase{"FontWithDigitChosen", "OnFontFamily", "Source Han Sans 2", "FontFamily", "'Source Han Sans 2'",
                    "font-family", "'Source Han Sans 2'"},
        ChooserCase{"FontCancelled", "OnFontFamily", "", "FontFamily", QStringLiteral("Microsoft Yahei,微软雅黑"),
                    "font-family", ""}),
    [](const ::testing::TestParamInfo<ChooserCase> &info) { return std::string(info.param.name); });

TEST_F(ShippedScripts, ColourChosenWhileGlowingRecoloursTheGlowAndKeepsTheLettersReadable)
{
    start();
    main->menuClicked(QStringLiteral("OnShadow"));
    main->menuClicked(QStringLiteral("OnWeight"), 3);
    fake.colorAnswers = {QStringLiteral("#00ff00")};
    main->menuClicked(QStringLiteral("OnSetColor"));
    EXPECT_TRUE(style("text-shadow").startsWith(QStringLiteral("0px 0px 2px #00ff00"))) << style("text-shadow").toStdString();
    EXPECT_EQ(style("color"), QStringLiteral("white"));
    EXPECT_EQ(style("font-weight"), QStringLiteral("bolder"));

    // White glowing letters would vanish in their own glow; they are drawn gray.
    fake.colorAnswers = {QStringLiteral("#ffffff")};
    main->menuClicked(QStringLiteral("OnSetColor"));
    EXPECT_TRUE(style("text-shadow").startsWith(QStringLiteral("0px 0px 2px white"))) << style("text-shadow").toStdString();
    EXPECT_EQ(style("color"), QStringLiteral("gray"));
}

// ------------------------------------------------------------ keeping settings

TEST_F(ShippedScripts, SettingsSavedByScriptJsComeBackAtTheNextStart)
{
    start();
    main->Config->setItem(QStringLiteral("Color"), QStringLiteral("#ff8800"));
    main->Config->setItem(QStringLiteral("FontSize"), Variant::fromLong(30));
    main->menuClicked(QStringLiteral("OnShadow"));
    main->SetFontWeight(QStringLiteral("bold"));
    main->Config->setItem(QStringLiteral("English"), QStringLiteral("color:red;\r\nfont-size:10px;"));
    main->menuClicked(QStringLiteral("OnScript"), 0); // Script.js
    EXPECT_EQ(boxes(), QStringList());
    ASSERT_TRUE(QFile::exists(scriptFile(QStringLiteral("Settings.ini"))));

    // The next run: same folder, defaults first, then System.js.
    main.reset();
    fake.messageBoxes.clear();
    main = std::make_unique<Main>(fake.services());
    main->initialise();
    EXPECT_EQ(boxes(), QStringList());
    EXPECT_EQ(config("Color"), QStringLiteral("#ff8800"));
    EXPECT_EQ(configValue("FontSize").toLong().valueOr(0), 30);
    EXPECT_EQ(configValue("Shadow").kind(), Variant::Kind::Boolean);
    EXPECT_TRUE(configValue("Shadow").toBool().valueOr(false));
    EXPECT_EQ(config("Weight"), QStringLiteral("bold"));
    EXPECT_EQ(config("English"), QStringLiteral("color:red; font-size:10px;"));
    EXPECT_EQ(config("CharSet"), QString());
    // The page and the marks follow the settings.
    EXPECT_TRUE(style("text-shadow").contains(QStringLiteral("#ff8800")));
    EXPECT_EQ(style("font-size"), QStringLiteral("30px"));
    EXPECT_EQ(style("font-weight"), QStringLiteral("bold"));
    EXPECT_TRUE(main->menu.at(main->menu.find(QStringLiteral("OnShadow"))).checked);
}

TEST_F(ShippedScripts, TheSetupSavedAtCloseComesBackAtTheNextStart)
{
    start();
    // Changed as a user does: menu, hotkey commands and script calls.
    main->menuClicked(QStringLiteral("OnFontSizeA"));
    main->menuClicked(QStringLiteral("OnShadow"));
    main->menuClicked(QStringLiteral("OnSorting"));
    main->Config->setItem(QStringLiteral("Color"), QStringLiteral("#ff8800"));
    main->SetMsIndex(-3);
    main->menuClicked(QStringLiteral("OnTitle"));
    main->menuClicked(QStringLiteral("OnTitle"));
    main->RunScript(QStringLiteral("Main.Width = 9000; Main.Height = 1800; Main.Left = 3000; Main.Top = 9000;"),
                    QStringLiteral("javascript"), true);
    const QVariant fontSize = configValue("FontSize").toLong().valueOr(0);
    main->unload();
    EXPECT_EQ(boxes(), QStringList()) << boxes().join("\n").toStdString();

    // The next run: the fake window back at its first place and size.
    main.reset();
    fake.rect = {100, 100, 800, 150};
    fake.frameVisible = true;
    fake.colorKey = false;
    main = std::make_unique<Main>(fake.services());
    main->initialise();
    EXPECT_EQ(boxes(), QStringList()) << boxes().join("\n").toStdString();
    EXPECT_EQ(QVariant(configValue("FontSize").toLong().valueOr(0)), fontSize);
    EXPECT_NE(fontSize, QVariant(24));
    EXPECT_TRUE(configValue("Shadow").toBool().valueOr(false));
    EXPECT_TRUE(configValue("Sorting").toBool().valueOr(false));
    EXPECT_TRUE(main->menu.at(main->menu.find(QStringLiteral("OnSorting"))).checked);
    EXPECT_EQ(config("Color"), QStringLiteral("#ff8800"));
    EXPECT_EQ(main->MSID, -3);
    EXPECT_EQ(caption("OnMsKeys", 1), QStringLiteral("number:-3"));
    EXPECT_EQ(main->Mode, 2);
    EXPECT_FALSE(fake.frameVisible);
    EXPECT_TRUE(fake.colorKey);
    EXPECT_EQ(fake.rect, (Rect{200, 600, 600, 120}));
}

TEST_F(ShippedScripts, AMaximizedWindowComesBackMaximized)
{
    start();
    main->RunScript(QStringLiteral("Main.WindowState = 2;"), QStringLiteral("javascript"), true);
    main->unload();
    main.reset();
    fake.setShowState(WindowShowState::Normal);
    main = std::make_unique<Main>(fake.services());
    main->initialise();
    EXPECT_EQ(boxes(), QStringList());
    EXPECT_EQ(fake.shown, WindowShowState::Maximized);
}

TEST_F(ShippedScripts, AMinimizedWindowComesBackShownWhereItWas)
{
    start();
    main->RunScript(QStringLiteral("Main.Left = 4500; Main.Top = 7500; Main.WindowState = 1;"),
                    QStringLiteral("javascript"), true);
    main->unload();
    main.reset();
    fake.setShowState(WindowShowState::Normal);
    fake.rect = {100, 100, 800, 150};
    main = std::make_unique<Main>(fake.services());
    main->initialise();
    EXPECT_EQ(boxes(), QStringList());
    EXPECT_EQ(fake.shown, WindowShowState::Normal);
    EXPECT_EQ(fake.rect, (Rect{300, 500, 800, 150}));
}

TEST_F(ShippedScripts, WithoutTheShippedScriptsNothingIsSavedOrRestored)
{
    start(false);
    main->menuClicked(QStringLiteral("OnFontSizeA"));
    main->unload();
    EXPECT_FALSE(QFile::exists(scriptFile(QStringLiteral("Settings.ini"))));
    main.reset();
    main = std::make_unique<Main>(fake.services());
    main->initialise();
    EXPECT_EQ(configValue("FontSize"), Variant::fromInteger(24));
}

struct SettingsFileCase {
    const char *name;
    QByteArray file;
    const char *key;
    QString expected;
};

class SystemJsTest : public ShippedScripts, public ::testing::WithParamInterface<SettingsFileCase> {};

TEST_P(SystemJsTest, ReadsWhatItCanAndPassesOverTheRest)
{
    const SettingsFileCase &c = GetParam();
    start();
    write(QStringLiteral("program/script/Settings.ini"), c.file);
    main.reset();
    main = std::make_unique<Main>(fake.services());
    main->initialise();
    EXPECT_EQ(boxes(), QStringList());
    EXPECT_EQ(config(c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SystemJsTest,
    ::testing::Values(SettingsFileCase{"LfLineEnds", "[Config]\nColor = red\n", "Color", "red"},
                      SettingsFileCase{"WindowSectionIsNoSetting", "[Window]\nColor=red\nLeft=x\n", "Color", "cyan"},
                      SettingsFileCase{"WindowNumbersTooLongPassedOver",
                                       "[Window]\nMSID=9999999999\nLeft=123456789012\nTop=0\nWidth=9000\n"
                                       "Height=1500\n[Config]\nColor=red\n",
                                       "Color", "red"},
                      SettingsFileCase{"OtherSectionIgnored", "[Other]\nColor=red\n", "Color", "cyan"},
                      SettingsFileCase{"NoNumberForANumber", "[Config]\nFontSize=big\n", "FontSize", "24"},
                      SettingsFileCase{"NotKeyValue", "[Config]\nnonsense\n=x\nPixel=12\n", "Pixel", "12"},
                      SettingsFileCase{"NewKeyKept", "[Config]\nMyKey=a=b\n", "MyKey", "a=b"},
                      SettingsFileCase{"Empty", "", "Color", "cyan"}),
    [](const ::testing::TestParamInfo<SettingsFileCase> &info) { return std::string(info.param.name); });

TEST_F(ShippedScripts, WithoutASettingsFileSystemJsLeavesTheDefaultsAndThePage)
{
    start();
    EXPECT_EQ(boxes(), QStringList());
    EXPECT_EQ(config("Color"), QStringLiteral("cyan"));
    EXPECT_EQ(style("color"), QString());
    EXPECT_FALSE(main->menu.at(main->menu.find(QStringLiteral("OnShadow"))).checked);
}

} // namespace
} // namespace sorvane
