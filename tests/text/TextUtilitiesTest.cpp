#include "text/TextUtilities.h"

#include "text/RegExp.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>

namespace sorvane {
namespace {

using namespace TextUtilities;
using namespace std::literals;

// Built unit by unit: fromUtf16 would take a leading U+FEFF for a byte-order mark.
QString q(std::u16string_view s) { return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size())); }

TEST(Trim, CutsWhiteSpaceAndNulRunsAtBothEndsOnly)
{
    EXPECT_EQ(*Trim(Variant(q(u"\r\n  a \u3000 b\t\0"sv))), q(u"a \u3000 b"));
    EXPECT_EQ(*Trim(Variant(q(u"\uFEFF\u00A0x\u2028"))), QStringLiteral("x"));
    EXPECT_EQ(*Trim(Variant(q(u" \0 \t"sv))), QString());
    EXPECT_EQ(*Trim(Variant(12.5)), QStringLiteral("12.5"));
    EXPECT_EQ(*Trim(Variant()), QString());
    EXPECT_EQ(Trim(Variant::null()).error().number, 94);
    EXPECT_EQ(TrimSpace(q(u"\0 code \0"sv)), QStringLiteral("code"));
}

// The hand-written cut gives what the pattern "^[\s\0]+|[\s\0]+$" gives.
TEST(Trim, AgreesWithItsPatternOnRandomTexts)
{
    Result<RegExp> re = RegExp::compile(QStringLiteral("^[\\s\\0]+|[\\s\\0]+$"));
    ASSERT_TRUE(re.ok());
    const char16_t alphabet[] = {u' ', u'\t', u'\r', u'\n', 0, u'a', u'\u3000', u'\uFEFF', u'\u0085', u'\u200B', u'x'};
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        QString s;
        const int n = int(rng() % 12);
        for (int i = 0; i < n; ++i)
            s += QChar(alphabet[rng() % std::size(alphabet)]);
        ASSERT_EQ(TrimSpace(s), *re->replace(s, QString(), true)) << round;
    }
}

TEST(CutAtNull, KeepsThePartBeforeTheFirstNul)
{
    EXPECT_EQ(CutAtNull(q(u"/tmp/a.srt\0junk\0"sv)), QStringLiteral("/tmp/a.srt"));
    EXPECT_EQ(CutAtNull(QStringLiteral("plain")), QStringLiteral("plain"));
    EXPECT_EQ(CutAtNull(q(u"\0x"sv)), QString());
}

TEST(TestPattern, IgnoresCaseAndFindsAnywhere)
{
    const QString noChinese = QStringLiteral("^[^\\u4E00-\\u9FA5]+$");
    EXPECT_TRUE(*TextUtilities::Test(noChinese, QStringLiteral("Hello, 123")));
    EXPECT_FALSE(*TextUtilities::Test(noChinese, QString::fromUtf16(u"你好")));
    EXPECT_FALSE(*TextUtilities::Test(noChinese, QString()));
    EXPECT_TRUE(*TextUtilities::Test(QStringLiteral("WORLD"), QStringLiteral("hello world")));
    const QString timeLine = QStringLiteral(
        "^\\s*\\d{1,2}:\\d{1,2}:\\d{1,2},\\d{1,3}\\s*-->\\s*\\d{1,2}:\\d{1,2}:\\d{1,2},\\d{1,3}\\s*$");
    EXPECT_TRUE(*TextUtilities::Test(timeLine, QStringLiteral("00:01:02,500 --> 00:01:04,000")));
    EXPECT_FALSE(*TextUtilities::Test(timeLine, QStringLiteral("00:01:02.500 --> 00:01:04,000")));
    EXPECT_FALSE(*TextUtilities::Test(timeLine, QStringLiteral("000:01:02,500 --> 00:01:04,000")));
    EXPECT_EQ(TextUtilities::Test(QStringLiteral("(("), QStringLiteral("x")).error().number, 5017);
}

struct RegExpTextCase {
    const char16_t *text;
    const char16_t *pattern;
    const char16_t *replacement;
    const char16_t *expected;
};

class RegExpTextCases : public ::testing::TestWithParam<RegExpTextCase> {};

TEST_P(RegExpTextCases, Replaces)
{
    const RegExpTextCase &c = GetParam();
    Result<QString> out = RegExpText(q(c.text), q(c.pattern), q(c.replacement));
    ASSERT_TRUE(out.ok()) << out.error().description.toStdString();
    EXPECT_EQ(*out, q(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Literals, RegExpTextCases, ::testing::Values(
    RegExpTextCase{u"aaa", u"/a/", u"b", u"baa"},
    RegExpTextCase{u"aaa", u"/a/g", u"b", u"bbb"},
    RegExpTextCase{u"aaa", u"/A/ig", u"b", u"bbb"},
    RegExpTextCase{u"aaa", u"/A/gig", u"b", u"bbb"},
    RegExpTextCase{u"aaa", u"a", u"b", u"baa"},
    RegExpTextCase{u"a/b/c", u"/a/b/g", u"x", u"x/c"},             // the last "/" before the flags ends it
    RegExpTextCase{u"aAa", u"/a/gx", u"b", u"aAa"},                 // "x" is no flag: the whole text is the pattern
    RegExpTextCase{u"aaa", u"/a/gimg", u"b", u"aaa"},               // four flags: plain pattern, no match
    RegExpTextCase{u"x\ny\nz", u"/^y$/m", u"Y", u"x\nY\nz"},
    RegExpTextCase{u"a\r\n\r\n\r\n\r\nb\r\n\r\nc\r\nd", u"/[\\r\\n]{3,}/g", u"\r\n\r\n", u"a\r\n\r\nb\r\n\r\nc\r\nd"},
    // An invalid literal falls back to Replace with the text as written.
    RegExpTextCase{u"1/a/g2//a/g", u"/*a/g", u"Z", u"1Z2Z"}));

TEST(RegExpText, AnInvalidPatternFailsWhenTheFallbackFailsToo)
{
    Result<QString> out = RegExpText(QStringLiteral("aaa"), QStringLiteral("/(/g"), QStringLiteral("b"));
    ASSERT_FALSE(out.ok());
    EXPECT_EQ(out.error().number, 5017);
}

TEST(Replace, ReplacesEveryMatch)
{
    EXPECT_EQ(*Replace(QStringLiteral("aaa"), QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("bbb"));
    EXPECT_EQ(*Replace(QStringLiteral(" 00 : 01 --> 02 "), QStringLiteral("\\s+"), QString()),
              QStringLiteral("00:01-->02"));
    EXPECT_EQ(*Replace(QStringLiteral("{\\an8}Hi <i>there</i> {a b}"), QStringLiteral("(\\{\\S+\\})+|<[^>]+>"),
                       QString()),
              QStringLiteral("Hi there {a b}"));
    EXPECT_EQ(Replace(QStringLiteral("a"), QStringLiteral("[z-a]"), QString()).error().number, 5017);
}

TEST(GetCount, CountsTheFirstDimension)
{
    QVector<Variant> five(5, Variant(1));
    EXPECT_EQ(GetCount(Variant::fromList(five)), 5);
    EXPECT_EQ(GetCount(Variant::fromArray(VariantArray{})), 0);
    EXPECT_EQ(GetCount(Variant::fromList({})), 0);
    VariantArray twoD{{ArrayBound{0, 2}, ArrayBound{0, 1}}, QVector<Variant>(6)};
    EXPECT_EQ(GetCount(Variant::fromArray(twoD)), 3);
    EXPECT_EQ(GetCount(Variant(QStringLiteral("abc"))), 0);
    EXPECT_EQ(GetCount(Variant()), 0);
}

TEST(Push, GrowsArraysAndLeavesOtherValues)
{
    Variant never = Variant::fromArray(VariantArray{});
    Push(never, Variant(QStringLiteral("x")));
    ASSERT_EQ(GetCount(never), 1);
    EXPECT_EQ(never.arrayValue().items[0], Variant(QStringLiteral("x")));

    Variant list = Variant::fromList({Variant(1), Variant(2)});
    const Variant shared = list;
    Push(list, Variant(3));
    EXPECT_EQ(list.arrayValue().items, QVector<Variant>({Variant(1), Variant(2), Variant(3)}));
    EXPECT_EQ(list.arrayValue().bounds[0].upper, 2);
    EXPECT_EQ(GetCount(shared), 2) << "arrays are values: a copy does not grow";

    Variant emptyList = Variant::fromList({});
    Push(emptyList, Variant(7));
    EXPECT_EQ(emptyList.arrayValue().items, QVector<Variant>({Variant(7)}));

    Variant text(QStringLiteral("abc"));
    Push(text, Variant(1));
    EXPECT_EQ(text, Variant(QStringLiteral("abc")));

    Variant twoD = Variant::fromArray(VariantArray{{ArrayBound{0, 1}, ArrayBound{0, 1}}, QVector<Variant>(4)});
    Push(twoD, Variant(1));
    EXPECT_EQ(twoD.arrayValue().items.size(), 4);
}

const QString kProfile = QStringLiteral("[Script Info]\r\nTitle: x\r\n\r\n[Events]\r\nFormat: a\r\nDialogue: b");

struct KeyCase {
    QString profile;
    const char *keyName;
    const char *sType;
    QString expected;
};

class GetKeyTextCases : public ::testing::TestWithParam<KeyCase> {};

TEST_P(GetKeyTextCases, PicksTheSectionPart)
{
    const KeyCase &c = GetParam();
    Result<Variant> out = GetKeyText(c.profile, QString::fromUtf8(c.keyName), QString::fromUtf8(c.sType));
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(*out, Variant(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Sections, GetKeyTextCases, ::testing::Values(
    KeyCase{kProfile, "events", "value", QStringLiteral("Format: a\r\nDialogue: b")},
    KeyCase{kProfile, "events", "KEY", QStringLiteral("[Events]")},
    KeyCase{kProfile, "events", "Text", QStringLiteral("[Events]\r\nFormat: a\r\nDialogue: b")},
    KeyCase{kProfile, "events", "other", QStringLiteral("[Events]\r\nFormat: a\r\nDialogue: b")},
    KeyCase{kProfile, "Script Info", "value", QStringLiteral("Title: x")},
    KeyCase{kProfile, "Fonts", "value", QString()},
    KeyCase{kProfile, "Fonts", "Text", QString()},
    // LF-only lines: the header is found, the body is not reached.
    KeyCase{QStringLiteral("[Events]\nFormat: a\nDialogue: b"), "events", "value", QString()},
    KeyCase{QStringLiteral("[Events]\nFormat: a"), "events", "key", QStringLiteral("[Events]")},
    // The header as the last line, with no line break after it.
    KeyCase{QStringLiteral("a\r\n[Events]"), "events", "key", QString()}));

TEST(GetKeyText, ArrayResultHoldsThreeTrimmedTexts)
{
    Result<Variant> found = GetKeyText(kProfile, QStringLiteral("events"), QStringLiteral("array"));
    ASSERT_TRUE(found.ok() && found->isArray());
    EXPECT_EQ(found->arrayValue().items,
              QVector<Variant>({Variant(QStringLiteral("[Events]\r\nFormat: a\r\nDialogue: b")),
                                Variant(QStringLiteral("[Events]")),
                                Variant(QStringLiteral("Format: a\r\nDialogue: b"))}));
    Result<Variant> missing = GetKeyText(kProfile, QStringLiteral("Fonts"), QStringLiteral("Array"));
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(missing->arrayValue().items, QVector<Variant>(3, Variant(QString())));
    EXPECT_EQ(GetCount(*missing), 3);
}

TEST(GetKeyText, KeyNameActsAsPatternText)
{
    EXPECT_EQ(*GetKeyText(kProfile, QStringLiteral("Ev.nts"), QStringLiteral("key")), Variant(QStringLiteral("[Events]")));
    Result<Variant> bad = GetKeyText(kProfile, QStringLiteral("("), QStringLiteral("key"));
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().number, 5017);
}

struct ValCase {
    Variant input;
    qint32 expected;
};

class VbValCases : public ::testing::TestWithParam<ValCase> {};

TEST_P(VbValCases, ReadsTheLeadingNumber)
{
    Result<qint32> v = vbVal(GetParam().input);
    ASSERT_TRUE(v.ok()) << GetParam().input.text().toStdString();
    EXPECT_EQ(*v, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Prefixes, VbValCases, ::testing::Values(
    ValCase{Variant("12abc"), 12}, ValCase{Variant("&H1F"), 31}, ValCase{Variant(""), 0},
    ValCase{Variant(" 7.5"), 8}, ValCase{Variant("2.5"), 2}, ValCase{Variant("3.5"), 4},
    ValCase{Variant("-2.5"), -2}, ValCase{Variant("\t\r\n-12.7x"), -13}, ValCase{Variant("+4"), 4},
    ValCase{Variant("1e3"), 1000}, ValCase{Variant("1.5E+1z"), 15}, ValCase{Variant("2d2"), 200},
    ValCase{Variant("7e"), 7}, ValCase{Variant("7e+"), 7}, ValCase{Variant(".5"), 0},
    ValCase{Variant(".51"), 1}, ValCase{Variant("1.2.3"), 1}, ValCase{Variant("abc"), 0},
    ValCase{Variant("-"), 0}, ValCase{Variant("&o17"), 15}, ValCase{Variant("&17"), 15},
    ValCase{Variant("&HFFFF"), -1}, ValCase{Variant("&H0000FFFF"), 65535}, ValCase{Variant("&HFFFFFFFF"), -1},
    ValCase{Variant("&H7FFFFFFF"), 2147483647}, ValCase{Variant("&H1FG"), 31}, ValCase{Variant("&Hx"), 0},
    ValCase{Variant("&"), 0}, ValCase{Variant("1 2"), 1}, ValCase{Variant("2147483647"), 2147483647},
    ValCase{Variant("-2147483648"), qint32(-2147483647 - 1)}, ValCase{Variant("2147483647.4"), 2147483647},
    ValCase{Variant("1e-400"), 0}, ValCase{Variant(12.5), 12}, ValCase{Variant(true), 0},
    ValCase{Variant(), 0}, ValCase{Variant(QString::fromUtf16(u"\uFF11")), 0}));

TEST(VbVal, OutOfRangeIsOverflow)
{
    for (const char *text : {"2147483648", "-2147483649", "1e10", "1e400", "&H100000000", "2147483647.5"})
        EXPECT_EQ(vbVal(Variant(text)).error().number, 6) << text;
    EXPECT_EQ(vbVal(Variant::null()).error().number, 94);
}

} // namespace
} // namespace sorvane
