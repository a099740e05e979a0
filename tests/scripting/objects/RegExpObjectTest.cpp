#include "scripting/objects/ObjectFactory.h"
#include "scripting/objects/RegExpObject.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

Result<Variant> call(DispatchObject &o, const char *name, QVector<Variant> args = {})
{
    return o.invoke(QString::fromUtf8(name), CallKind::Get, args, Variant());
}

struct Options {
    bool global = false;
    bool ignoreCase = false;
    bool multiline = false;
};

std::shared_ptr<DispatchObject> regExp(const QString &pattern, Options o = {})
{
    std::shared_ptr<DispatchObject> re = createObject("VBScript.RegExp", ObjectContext())->objectValue();
    EXPECT_TRUE(re->let("pattern", pattern).ok());
    EXPECT_TRUE(re->let("GLOBAL", o.global).ok());
    EXPECT_TRUE(re->let("ignorecase", o.ignoreCase).ok());
    EXPECT_TRUE(re->let("MultiLine", o.multiline).ok());
    return re;
}

TEST(RegExpObject, PropertiesStartOffAndReadBack)
{
    std::shared_ptr<DispatchObject> re = createObject("vbscript.regexp", ObjectContext())->objectValue();
    EXPECT_EQ(re->typeName(), "IRegExp2");
    EXPECT_EQ(*re->get("Pattern"), Variant(""));
    for (const char *flag : {"Global", "IgnoreCase", "Multiline"}) {
        EXPECT_EQ(*re->get(flag), Variant(false)) << flag;
        ASSERT_TRUE(re->let(flag, "True").ok());
        EXPECT_EQ(*re->get(flag), Variant(true)) << flag;
    }
    EXPECT_EQ(re->let("Global", "maybe").error().number, 13);
}

TEST(RegExpObject, TestAndReplace)
{
    struct Case {
        const char *pattern;
        Options options;
        QString text;
        bool test;
        const char *replacement;
        QString replaced;
    };
    const Case cases[] = {
        {"a", {}, "aaa", true, "b", "baa"},
        {"a", {true}, "aaa", true, "b", "bbb"},
        {"A", {true, true}, "aaa", true, "b", "bbb"},
        {"A", {true}, "aaa", false, "b", "aaa"},
        {"^[^\\u4E00-\\u9FA5]+$", {false, true}, "Latin, 123", true, "", ""},
        {"^[^\\u4E00-\\u9FA5]+$", {false, true}, QStringLiteral(u"你好"), false, "", QStringLiteral(u"你好")},
        {"^b", {true}, "a\nb", false, "x", "a\nb"},
        {"^b", {true, false, true}, "a\nb", true, "x", "a\nx"},
        {"(\\w+) (\\w+)", {}, "hello world", true, "$2 $1", "world hello"},
        {"^[\\0\\s]+|[\\0\\s]+$", {true}, QString("\r\n  text\t") + QChar(0), true, "", "text"},
        {"", {true}, "ab", true, "-", "-a-b-"},
    };
    for (const Case &c : cases) {
        std::shared_ptr<DispatchObject> re = regExp(QString::fromUtf8(c.pattern), c.options);
        EXPECT_EQ(*call(*re, "test", {c.text}), Variant(c.test)) << c.pattern;
        EXPECT_EQ(call(*re, "REPLACE", {c.text, c.replacement})->text(), c.replaced) << c.pattern;
    }
}

TEST(RegExpObject, ExecuteGivesMatchesWithSubMatches)
{
    std::shared_ptr<DispatchObject> re = regExp("(\\d+):(\\d+)(x)?", {true});
    Result<Variant> matches = call(*re, "Execute", {"at 10:20 and 3:45x"});
    ASSERT_TRUE(matches.ok());
    DispatchObject &list = *matches->objectValue();
    EXPECT_EQ(list.typeName(), "IMatchCollection2");
    EXPECT_EQ(*call(list, "count"), Variant::fromLong(2));

    struct Expected {
        const char *value;
        int firstIndex;
        QVector<Variant> groups;
    };
    const Expected expected[] = {
        {"10:20", 3, {"10", "20", Variant()}},
        {"3:45x", 13, {"3", "45", "x"}},
    };
    Result<QVector<Variant>> each = list.elements();
    ASSERT_TRUE(each.ok());
    ASSERT_EQ(each->size(), 2);
    for (int i = 0; i < 2; ++i) {
        const Expected &e = expected[i];
        const std::shared_ptr<DispatchObject> m = call(list, "", {i})->objectValue(); // Item is the default
        EXPECT_EQ(m, each->at(i).objectValue());
        EXPECT_EQ(*call(*m, ""), Variant(e.value)); // Value is the default
        EXPECT_EQ(*call(*m, "FirstIndex"), Variant::fromLong(e.firstIndex));
        EXPECT_EQ(*call(*m, "Length"), Variant::fromLong(int(qstrlen(e.value))));
        const std::shared_ptr<DispatchObject> groups = call(*m, "SubMatches")->objectValue();
        EXPECT_EQ(*call(*groups, "Count"), Variant::fromLong(3));
        for (int g = 0; g < 3; ++g)
            EXPECT_EQ(*call(*groups, "Item", {g}), e.groups[g]) << i << "/" << g;
        EXPECT_EQ(*groups->elements(), e.groups);
        EXPECT_EQ(call(*groups, "Item", {3}).error().number, 5);
    }
    EXPECT_EQ(call(list, "Item", {2}).error().number, 5);
    EXPECT_EQ(call(list, "Item", {-1}).error().number, 5);

    ASSERT_TRUE(re->let("Global", false).ok());
    EXPECT_EQ(*call(*call(*re, "Execute", {"at 10:20 and 3:45x"})->objectValue(), "Count"), Variant::fromLong(1));
    EXPECT_EQ(*call(*call(*re, "Execute", {"none"})->objectValue(), "Count"), Variant::fromLong(0));
}

TEST(RegExpObject, InvalidPatternIsASyntaxError)
{
    std::shared_ptr<DispatchObject> re = regExp("(", {true});
    for (const char *member : {"Test", "Execute"})
        EXPECT_EQ(call(*re, member, {"x"}).error().number, 5017) << member;
    Result<Variant> r = call(*re, "Replace", {"x", "y"});
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().number, 5017);
    EXPECT_EQ(r.error().description, "Syntax error in regular expression");
}

} // namespace
} // namespace sorvane
