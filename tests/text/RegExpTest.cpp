#include "text/RegExp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string_view>

namespace sorvane {
namespace {

using namespace std::literals;

// Built unit by unit: fromUtf16 would take a leading U+FEFF for a byte-order mark.
QString q(std::u16string_view s) { return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size())); }

struct FindCase {
    std::u16string_view pattern;
    unsigned options;
    std::u16string_view subject;
    bool found;
    qsizetype index; // where the first match starts, when found
    std::u16string_view matched;
};

class RegExpDialect : public ::testing::TestWithParam<FindCase> {};

TEST_P(RegExpDialect, FirstMatch)
{
    const FindCase &c = GetParam();
    Result<RegExp> re = RegExp::compile(q(c.pattern), c.options);
    ASSERT_TRUE(re.ok()) << re.error().description.toStdString();
    const QString subject = q(c.subject);
    Result<std::optional<RegExp::Match>> m = re->match(subject);
    ASSERT_TRUE(m.ok());
    ASSERT_EQ(m->has_value(), c.found);
    if (c.found) {
        EXPECT_EQ((*m)->whole.start, c.index);
        EXPECT_EQ((*m)->value(subject), q(c.matched));
    }
}

constexpr unsigned I = RegExp::IgnoreCase;
constexpr unsigned M = RegExp::Multiline;

INSTANTIATE_TEST_SUITE_P(Rules, RegExpDialect, ::testing::Values(
    // "." takes everything but a line feed, CR included.
    FindCase{u"a.b", 0, u"a\rb", true, 0, u"a\rb"},
    FindCase{u"a.b", 0, u"a\nb", false, 0, u""},
    FindCase{u"a.b", 0, u"a\u2028b", true, 0, u"a\u2028b"},
    // "$" only at the very end without multi-line, not before a final LF.
    FindCase{u"b$", 0, u"ab\n", false, 0, u""},
    FindCase{u"b$", 0, u"ab", true, 1, u"b"},
    FindCase{u"^b", 0, u"a\nb", false, 0, u""},
    // Multi-line anchors at CR and LF alike.
    FindCase{u"^b$", M, u"a\r\nb\r\nc", true, 3, u"b"},
    FindCase{u"a$", M, u"a\rb", true, 0, u"a"},
    FindCase{u"^c", M, u"a\u2029c", true, 2, u"c"},
    // \s is ECMAScript white space: U+3000 and U+FEFF yes, U+0085 no.
    FindCase{u"\\s+", 0, u"x\u3000\uFEFF\u00A0y", true, 1, u"\u3000\uFEFF\u00A0"},
    FindCase{u"\\s", 0, u"\u0085", false, 0, u""},
    FindCase{u"[\\s\\0]+$", 0, u"ab \t\0"sv, true, 2, u" \t\0"sv},
    FindCase{u"[^\\s]+", 0, u"\u3000ab\u3000", true, 1, u"ab"},
    FindCase{u"[\\S]+", 0, u" \u4E2D\u6587 ", true, 1, u"\u4E2D\u6587"},
    FindCase{u"\\S+", 0, u"\uFEFFab", true, 1, u"ab"},
    // Escapes naming code units.
    FindCase{u"\\u4E2D", 0, u"a\u4E2D", true, 1, u"\u4E2D"},
    FindCase{u"[\\u4E00-\\u9FA5]+", 0, u"ab\u4F60\u597Dc", true, 2, u"\u4F60\u597D"},
    FindCase{u"\\x41", 0, u"zA", true, 1, u"A"},
    FindCase{u"[\\x80-\\xBF]", 0, u"a\u00BF", true, 1, u"\u00BF"},
    FindCase{u"\\0", 0, u"a\0b"sv, true, 1, u"\0"sv},
    FindCase{u"\\v", 0, u"a\u000Bb", true, 1, u"\u000B"},
    // \d, \w, \b stay ASCII.
    FindCase{u"\\d+", 0, u"\uFF11\uFF12 42", true, 3, u"42"},
    FindCase{u"\\w+", 0, u"\u00E9t\u00E9", true, 1, u"t"},
    FindCase{u"\\bcat\\b", 0, u"\u00E9cat concat cat", true, 1, u"cat"},
    FindCase{u"\\Bcat", 0, u"cat concat", true, 7, u"cat"},
    // An escaped letter without meaning is the letter.
    FindCase{u"\\q\\y", 0, u"xqy", true, 1, u"qy"},
    // Case is folded by Unicode rules.
    FindCase{u"\u00E4BC", I, u"x\u00C4bc", true, 1, u"\u00C4bc"},
    FindCase{u"hello", I, u"HeLLo", true, 0, u"HeLLo"},
    // "[" inside a class is literal; "[]" never matches; "[^]" matches all.
    FindCase{u"[[:]+", 0, u"a[:b", true, 1, u"[:"},
    FindCase{u"a[]", 0, u"a]", false, 0, u""},
    FindCase{u"a[^]b", 0, u"a\nb", true, 0, u"a\nb"},
    // A back reference to a group that took no part matches empty.
    FindCase{u"(a)?b\\1", 0, u"bc", true, 0, u"b"},
    // Lazy quantifiers and groups.
    FindCase{u"^/(.*?)/([igm]{0,3})$", 0, u"/a/b/g", true, 0, u"/a/b/g"}));

TEST(RegExp, GroupsReportPositionsAndUnsetGroups)
{
    Result<RegExp> re = RegExp::compile(QStringLiteral("(\\d+):(x)?(\\d+)"));
    ASSERT_TRUE(re.ok());
    EXPECT_EQ(re->groupCount(), 3);
    const QString s = QStringLiteral("at 12:34");
    auto m = re->match(s);
    ASSERT_TRUE(m.ok() && m->has_value());
    const RegExp::Match &found = **m;
    EXPECT_EQ(found.whole.start, 3);
    EXPECT_EQ(found.whole.length, 5);
    ASSERT_EQ(found.groups.size(), 3);
    EXPECT_EQ(found.group(s, 1), QStringLiteral("12"));
    EXPECT_FALSE(found.groups[1].matched());
    EXPECT_EQ(found.group(s, 3), QStringLiteral("34"));
    EXPECT_EQ(found.group(s, 9), QString());
}

TEST(RegExp, GlobalMatchesStepPastEmptyMatches)
{
    Result<RegExp> re = RegExp::compile(QStringLiteral("a*"));
    ASSERT_TRUE(re.ok());
    auto all = re->matches(QStringLiteral("baac"), true);
    ASSERT_TRUE(all.ok());
    QStringList found;
    for (const auto &m : *all)
        found << QStringLiteral("%1+%2").arg(m.whole.start).arg(m.whole.length);
    EXPECT_EQ(found, QStringList({"0+0", "1+2", "3+0", "4+0"}));
    EXPECT_EQ(*re->replace(QStringLiteral("baac"), QStringLiteral("-"), true), QStringLiteral("-b--c-"));
    EXPECT_EQ(*re->replace(QStringLiteral("baac"), QStringLiteral("-"), false), QStringLiteral("-baac"));
}

struct ReplaceCase {
    const char16_t *pattern;
    const char16_t *subject;
    const char16_t *replacement;
    bool global;
    const char16_t *expected;
};

class RegExpReplacement : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(RegExpReplacement, Expands)
{
    const ReplaceCase &c = GetParam();
    Result<RegExp> re = RegExp::compile(q(c.pattern));
    ASSERT_TRUE(re.ok());
    Result<QString> out = re->replace(q(c.subject), q(c.replacement), c.global);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(*out, q(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Texts, RegExpReplacement, ::testing::Values(
    ReplaceCase{u"(\\w+) (\\w+)", u"hello world", u"$2 $1", false, u"world hello"},
    ReplaceCase{u"o", u"foo", u"[$&]", true, u"f[o][o]"},
    ReplaceCase{u"o", u"foo", u"$$", true, u"f$$"},
    ReplaceCase{u"b", u"abc", u"<$`|$'>", false, u"a<a|c>c"},
    ReplaceCase{u"(a)", u"a", u"$2$1$0$", false, u"$2a$0$"},  // no group 2: stays literal
    ReplaceCase{u"(a)(b)?", u"a", u"[$2]", false, u"[]"},       // group that took no part
    ReplaceCase{u"(a)", u"a", u"$10", false, u"a0"},            // $1 then "0"
    ReplaceCase{u"[\\r\\n]{3,}", u"a\r\n\r\n\r\nb\r\nc", u"\r\n\r\n", true, u"a\r\n\r\nb\r\nc"}));

TEST(RegExp, InvalidPatternsAreError5017)
{
    for (const char16_t *bad : {u"(", u"/(/g", u"[a", u"a**", u"\\", u"x{2,1}"}) {
        Result<RegExp> re = RegExp::compile(q(bad));
        ASSERT_FALSE(re.ok()) << QString::fromUtf16(bad).toStdString();
        EXPECT_EQ(re.error().number, 5017);
        EXPECT_EQ(re.error().description, QStringLiteral("Syntax error in regular expression"));
    }
}

TEST(RegExp, CatastrophicBacktrackingFailsInsteadOfHanging)
{
    Result<RegExp> re = RegExp::compile(QStringLiteral("^(a+)+$"));
    ASSERT_TRUE(re.ok());
    const QString subject = QString(40, QLatin1Char('a')) + QLatin1Char('!');
    Result<bool> found = re->test(subject);
    ASSERT_FALSE(found.ok());
    EXPECT_EQ(found.error().number, 28);
}

TEST(RegExp, LongSubjectsWithManyStartsStayWithinTheLimit)
{
    Result<RegExp> re = RegExp::compile(QStringLiteral("(x+x+)+y"));
    ASSERT_TRUE(re.ok());
    QString subject;
    for (int i = 0; i < 200000; ++i)
        subject += QStringLiteral("xx ");
    Result<bool> found = re->test(subject);
    ASSERT_TRUE(found.ok());
    EXPECT_FALSE(*found);
}

// The match limit holds per start position only; the call as a whole has a
// time limit too. Here every look at the time moves it on by a millisecond,
// and a call may take 200 of them.
TEST(RegExp, ACallAsAWholeStopsAtItsTimeLimit)
{
    qint64 now = 0;
    RegExp::setCallLimit(std::chrono::milliseconds(200), [&now] { return std::chrono::milliseconds(++now); });
    const QString as(30000, QLatin1Char('a'));
    const struct {
        const char *pattern;
        QString subject;
        bool stopped;
    } cases[] = {
        {"(a+)+[bc]", as, true},
        {"a*[bc]", as, true},
        {"a", QString(150, QLatin1Char('a')), false}, // 150 matches, one start position each
        {"x", as, false},             // no start position is tried
        {"(a+)+[bc]", as + "b", false}, // found from the first position
    };
    for (const auto &c : cases) {
        Result<RegExp> re = RegExp::compile(QString::fromLatin1(c.pattern));
        ASSERT_TRUE(re.ok());
        for (bool global : {false, true}) {
            Result<QString> replaced = re->replace(c.subject, QStringLiteral("-"), global);
            EXPECT_EQ(!replaced.ok(), c.stopped) << c.pattern << " global " << global;
            if (!replaced.ok())
                EXPECT_EQ(replaced.error().number, 28);
        }
        Result<bool> found = re->test(c.subject);
        EXPECT_EQ(!found.ok(), c.stopped) << c.pattern;
    }
    RegExp::resetCallLimit();
}

TEST(RegExp, LongGlobalReplacesRunWithinTheRealLimit)
{
    QString text;
    for (int i = 0; i < 200000; ++i)
        text += QStringLiteral("1\r\n\r\n\r\n");
    Result<RegExp> re = RegExp::compile(QStringLiteral("[\\r\\n]{3,}"));
    ASSERT_TRUE(re.ok());
    Result<QString> out = re->replace(text, QStringLiteral("\r\n"), true);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out->size(), 600000);
}

TEST(RegExp, SamePatternSharesOneCompiledForm)
{
    Result<RegExp> a = RegExp::compile(QStringLiteral("\\d+"), RegExp::IgnoreCase);
    Result<RegExp> b = RegExp::compile(QStringLiteral("\\d+"), RegExp::IgnoreCase);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_EQ(&a->pattern(), &b->pattern());
    Result<RegExp> c = RegExp::compile(QStringLiteral("\\d+"));
    EXPECT_NE(&a->pattern(), &c->pattern());
}

} // namespace
} // namespace sorvane
