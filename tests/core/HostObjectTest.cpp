#include "core/Dictionary.h"
#include "core/HostObject.h"

#include <gtest/gtest.h>

using namespace sorvane;

namespace {

// The dispatch rules, seen through the dictionary's member table.
class Dispatch : public testing::Test {
protected:
    Result<Variant> call(const QString &name, CallKind kind, QVector<Variant> args = {}, const Variant &value = {})
    {
        return dict->invoke(name, kind, args, value);
    }

    std::shared_ptr<Dictionary> dict = std::make_shared<Dictionary>();
};

TEST_F(Dispatch, NamesMatchWithoutCase)
{
    ASSERT_TRUE(call("ADD", CallKind::Get, {"k", 1}).ok());
    EXPECT_EQ(*call("item", CallKind::Get, {"k"}), Variant(1));
    EXPECT_EQ(*call("eXiStS", CallKind::Get, {"k"}), Variant(true));
    EXPECT_EQ(*call("count", CallKind::Get), Variant::fromLong(1));
}

TEST_F(Dispatch, DefaultMemberIsItem)
{
    ASSERT_TRUE(call("", CallKind::Let, {"Color"}, "red").ok());
    EXPECT_EQ(*call("", CallKind::Get, {"Color"}), Variant("red"));
    EXPECT_EQ(dict->item("Color"), Variant("red"));
}

TEST_F(Dispatch, ErrorsOfThePlatform)
{
    struct Case {
        const char *name;
        CallKind kind;
        QVector<Variant> args;
        int error;
    };
    const Case cases[] = {
        {"NoSuchMember", CallKind::Get, {}, 438},
        {"Add", CallKind::Get, {1}, 450},           // too few arguments
        {"Exists", CallKind::Get, {1, 2}, 450},     // too many
        {"Count", CallKind::Let, {}, 450},          // read-only
        {"RemoveAll", CallKind::Let, {}, 450},      // methods take no value
        {"Remove", CallKind::Get, {"missing"}, 32811},
        {"Count", CallKind::Get, {0}, 13},          // a number cannot be indexed
    };
    for (const Case &c : cases) {
        Result<Variant> r = call(c.name, c.kind, c.args, 1);
        ASSERT_FALSE(r.ok()) << c.name;
        EXPECT_EQ(r.error().number, c.error) << c.name;
    }
}

TEST_F(Dispatch, PropertyReadWithArgumentsIndexesTheValue)
{
    dict->setItem("a", 1);
    dict->setItem("b", 2);
    QVector<Variant> keys = {1};
    Result<Variant> k = indexValue(*call("Keys", CallKind::Get), keys);
    ASSERT_TRUE(k.ok());
    EXPECT_EQ(*k, Variant("b"));
    QVector<Variant> outOfRange = {2};
    EXPECT_EQ(indexValue(*call("Keys", CallKind::Get), outOfRange).error().number, 9);
    QVector<Variant> none = {0};
    EXPECT_EQ(indexValue(Variant::nothing(), none).error().number, 91);

    // An object's default member answers an index: Items of a dictionary held in a dictionary.
    auto outer = std::make_shared<Dictionary>();
    outer->setItem("inner", Variant::fromObject(dict));
    QVector<Variant> path = {"a"};
    EXPECT_EQ(*indexValue(outer->item("inner"), path), Variant(1));
}

TEST_F(Dispatch, DescribesItsMembers)
{
    const auto item = dict->member("ITEM");
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(item->kind, MemberKind::Indexed);
    EXPECT_EQ(dict->member("Count")->kind, MemberKind::Property);
    EXPECT_EQ(dict->member("Keys")->kind, MemberKind::Method);
    EXPECT_FALSE(dict->member("Nope").has_value());
    EXPECT_TRUE(dict->memberNames().contains("RemoveAll"));
}

TEST_F(Dispatch, KeyRenamesAndForEachVisitsKeys)
{
    dict->setItem("old", 1);
    ASSERT_TRUE(call("Key", CallKind::Let, {"old"}, "new").ok());
    Result<QVector<Variant>> keys = dict->elements();
    ASSERT_TRUE(keys.ok());
    EXPECT_EQ(*keys, (QVector<Variant>{"new"}));
    EXPECT_EQ(call("CompareMode", CallKind::Let, {}, 1).error().number, 5); // not empty any more
}

} // namespace
