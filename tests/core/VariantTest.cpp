#include "core/DispatchObject.h"
#include "core/Variant.h"

#include <gtest/gtest.h>

#include <limits>

using namespace sorvane;

namespace {

struct TextCase {
    Variant value;
    QString expected;
};

class VariantToString : public testing::TestWithParam<TextCase> {};

TEST_P(VariantToString, WritesAsTheScriptsDo)
{
    Result<QString> text = GetParam().value.toString();
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(*text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, VariantToString,
                         testing::Values(TextCase{Variant(), ""}, TextCase{Variant(true), "True"},
                                         TextCase{Variant(false), "False"}, TextCase{Variant::fromInteger(-7), "-7"},
                                         TextCase{Variant::fromLong(2147483647), "2147483647"},
                                         TextCase{Variant(1.5), "1.5"}, TextCase{Variant(1e20), "1E+20"},
                                         TextCase{Variant(0.00001), "1E-05"}, TextCase{Variant(0.0001), "0.0001"},
                                         TextCase{Variant(123456789012345.0), "123456789012345"},
                                         TextCase{Variant(1e15), "1E+15"}, TextCase{Variant(0.1f), "0.1"},
                                         TextCase{Variant::fromSingle(1920.0f), "1920"},
                                         TextCase{Variant::fromDate(45000.75), "2023/3/15 18:00:00"},
                                         TextCase{Variant::fromDate(45000), "2023/3/15"},
                                         TextCase{Variant::fromDate(0.5), "12:00:00"},
                                         TextCase{Variant::fromByte(255), "255"},
                                         TextCase{Variant::fromCurrency(12345), "1.2345"},
                                         TextCase{Variant::fromCurrency(-5000), "-0.5"},
                                         TextCase{Variant::fromCurrency(20000), "2"},
                                         TextCase{Variant::fromCurrency(std::numeric_limits<qint64>::min()),
                                                  "-922337203685477.5808"},
                                         TextCase{Variant(u"微软雅黑"), QString::fromUtf8("微软雅黑")}));

struct LongCase {
    Variant value;
    qint32 expected;
    qint32 error; // 0: converts
};

class VariantToLong : public testing::TestWithParam<LongCase> {};

TEST_P(VariantToLong, RoundsHalfToEvenAndReportsErrors)
{
    Result<qint32> n = GetParam().value.toLong();
    if (GetParam().error) {
        ASSERT_FALSE(n.ok());
        EXPECT_EQ(n.error().number, GetParam().error);
    } else {
        ASSERT_TRUE(n.ok()) << n.error().description.toStdString();
        EXPECT_EQ(*n, GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, VariantToLong,
    testing::Values(LongCase{Variant(2.5), 2, 0}, LongCase{Variant(3.5), 4, 0}, LongCase{Variant(-2.5), -2, 0},
                    LongCase{Variant("12"), 12, 0}, LongCase{Variant(" 7.5 "), 8, 0},
                    LongCase{Variant("&H1F"), 31, 0}, LongCase{Variant("&O17"), 15, 0},
                    LongCase{Variant("1e3"), 1000, 0}, LongCase{Variant(), 0, 0}, LongCase{Variant(true), -1, 0},
                    LongCase{Variant("abc"), 0, 13}, LongCase{Variant("12abc"), 0, 13},
                    LongCase{Variant::null(), 0, 94}, LongCase{Variant(3e9), 0, 6},
                    LongCase{Variant(std::numeric_limits<double>::quiet_NaN()), 0, 6},
                    LongCase{Variant::fromList({}), 0, 13}));

TEST(Variant, IntegerIsSixteenBits)
{
    EXPECT_EQ(*Variant(32767).toInteger(), 32767);
    EXPECT_EQ(Variant(40000).toInteger().error().number, 6);
    EXPECT_EQ(*Variant("&HFFFF").toInteger(), -1);
}

TEST(Variant, BooleanConversion)
{
    EXPECT_TRUE(*Variant("true").toBool());
    EXPECT_FALSE(*Variant(" False ").toBool());
    EXPECT_FALSE(*Variant("0").toBool());
    EXPECT_TRUE(*Variant(-0.5).toBool());
    EXPECT_EQ(Variant("yes").toBool().error().number, 13);
    EXPECT_EQ(Variant::null().toBool().error().number, 94);
}

TEST(Variant, NumericText)
{
    struct Case {
        const char *text;
        bool ok;
        double value;
    };
    const Case cases[] = {{"1e3", true, 1000}, {"1D2", true, 100}, {".5", true, 0.5},  {"5.", true, 5},
                          {"+3", true, 3},     {"-&H10", true, -16}, {" 12 ", true, 12}, {"1,000", false, 0},
                          {"", false, 0},      {"e5", false, 0},    {"1e", false, 0},   {"&H", false, 0},
                          {"&HFFFFFFFF", true, -1}, {"&H1FFFFFFFF", false, 0}, {"１２", false, 0}};
    for (const Case &c : cases) {
        double value = 0;
        EXPECT_EQ(parseNumericText(QString::fromUtf8(c.text), &value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(Variant, NamesItsKinds)
{
    struct Case {
        Variant value;
        const char *typeName;
        int varType;
    };
    const Case cases[] = {{Variant(), "Empty", 0},
                          {Variant::null(), "Null", 1},
                          {Variant::fromInteger(1), "Integer", 2},
                          {Variant(1), "Long", 3},
                          {Variant(1.0f), "Single", 4},
                          {Variant(1.0), "Double", 5},
                          {Variant::fromDate(1), "Date", 7},
                          {Variant("x"), "String", 8},
                          {Variant::nothing(), "Nothing", 9},
                          {Variant(false), "Boolean", 11},
                          {Variant::fromList({1, 2}), "Variant()", 8204}};
    for (const Case &c : cases) {
        EXPECT_EQ(c.value.typeName(), QString::fromUtf8(c.typeName));
        EXPECT_EQ(c.value.varType(), c.varType) << c.typeName;
    }
}

TEST(Variant, ArraysAreCopiedOnWrite)
{
    Variant original = Variant::fromList({1, 2, 3});
    Variant copy = original;
    copy.arrayForWrite().items[0] = Variant("changed");
    EXPECT_EQ(original.arrayValue().items[0], Variant(1));
    EXPECT_EQ(copy.arrayValue().items[0], Variant("changed"));
}

TEST(Variant, ArrayOffsetsRunFirstIndexFastest)
{
    VariantArray a;
    a.bounds = {ArrayBound{0, 2}, ArrayBound{1, 2}};
    a.items.resize(6);
    EXPECT_EQ(a.offsetOf({0, 1}), 0);
    EXPECT_EQ(a.offsetOf({2, 1}), 2);
    EXPECT_EQ(a.offsetOf({0, 2}), 3);
    EXPECT_EQ(a.offsetOf({2, 2}), 5);
    EXPECT_EQ(a.offsetOf({3, 1}), -1);
    EXPECT_EQ(a.offsetOf({0, 0}), -1);
    EXPECT_EQ(a.offsetOf({0}), -1);
}

TEST(Variant, EqualityNeedsTheSameKind)
{
    EXPECT_EQ(Variant(1), Variant::fromLong(1));
    EXPECT_NE(Variant(1), Variant::fromInteger(1));
    EXPECT_NE(Variant(1), Variant("1"));
    EXPECT_NE(Variant(), Variant::null());
}

} // namespace
