#include "BuiltinCall.h"

#include <cmath>

using namespace sorvane;
using namespace sorvane::vb;
using namespace sorvane::vb::testing_support;

namespace {

const Variant kEmpty;

VariantArray bounded(QVector<ArrayBound> bounds)
{
    VariantArray array;
    qsizetype count = 1;
    for (const ArrayBound &b : bounds)
        count *= b.count();
    array.bounds = std::move(bounds);
    array.items.resize(count);
    return array;
}

class TextFunctions : public testing::TestWithParam<Call> {};

TEST_P(TextFunctions, GiveTheLanguagesResults)
{
    BuiltinContext context;
    expectCall(context, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Length, TextFunctions,
    testing::Values(ok("Len", {S("abc")}, L(3)), ok("len", {Null()}, Null()), ok("LEN", {I(123)}, L(3)),
                    ok("Len", {kEmpty}, L(0)), ok("LenB", {S("ab")}, L(4)), fails("Len", {List({})}, 13)));

INSTANTIATE_TEST_SUITE_P(
    Pieces, TextFunctions,
    testing::Values(ok("Left", {S("abc"), I(2)}, S("ab")), ok("Left", {S("abc"), I(5)}, S("abc")),
                    fails("Left", {S("abc"), I(-1)}, 5), ok("Left", {Null(), I(2)}, Null()),
                    fails("Left", {S("abc"), Null()}, 94), ok("Right", {S("abcdef"), I(2)}, S("ef")),
                    ok("Right", {S("ab"), L(9)}, S("ab")), ok("Mid", {S("abcdef"), I(2), I(3)}, S("bcd")),
                    ok("Mid", {S("abc"), I(2)}, S("bc")), ok("Mid", {S("abc"), I(5)}, S("")),
                    ok("Mid", {S("abc"), I(2), I(10)}, S("bc")), ok("Mid", {S("abc"), I(1), I(0)}, S("")),
                    fails("Mid", {S("abc"), I(0)}, 5), fails("Mid", {S("abc"), I(1), I(-1)}, 5),
                    ok("Mid", {Null(), I(1)}, Null()), ok("Mid", {D(3.25), I(2)}, S(".25"))));

INSTANTIATE_TEST_SUITE_P(
    Searching, TextFunctions,
    testing::Values(ok("InStr", {S("abc"), S("c")}, L(3)), ok("InStr", {Null(), S("a")}, Null()),
                    ok("InStr", {S("abc"), Null()}, Null()), ok("InStr", {I(2), S("abab"), S("a")}, L(3)),
                    ok("InStr", {I(1), S("ABC"), S("b"), I(1)}, L(2)),
                    ok("InStr", {I(1), S("ABC"), S("b"), I(0)}, L(0)), fails("InStr", {I(0), S("abc"), S("a")}, 5),
                    fails("InStr", {Null(), S("abc"), S("a")}, 94),
                    fails("InStr", {I(1), S("abc"), S("a"), I(2)}, 5), ok("InStr", {S("abc"), S("")}, L(1)),
                    ok("InStr", {S(""), S("a")}, L(0)), ok("InStr", {I(4), S("abc"), S("c")}, L(0)),
                    ok("InStr", {S("中文字幕"), S("字")}, L(3)),
                    ok("InStrRev", {S("abcabc"), S("b")}, L(5)),
                    ok("InStrRev", {S("abcabc"), S("b"), I(4)}, L(2)),
                    ok("InStrRev", {S("abc"), S("B"), I(-1), I(1)}, L(2)),
                    fails("InStrRev", {S("abc"), S("a"), I(0)}, 5), ok("InStrRev", {S("abc"), S("")}, L(3)),
                    ok("InStrRev", {S("abc"), S("c"), I(5)}, L(0)), ok("InStrRev", {Null(), S("a")}, Null()),
                    ok("InStrRev", {S("abc"), S("abcd")}, L(0))));

INSTANTIATE_TEST_SUITE_P(
    Replacing, TextFunctions,
    testing::Values(ok("Replace", {S("aaa"), S("a"), S("b")}, S("bbb")),
                    ok("Replace", {S("aaa"), S("a"), S("b"), I(1), I(2)}, S("bba")),
                    // The result starts at `start`: what lies before it is dropped.
                    ok("Replace", {S("abcabc"), S("a"), S("x"), I(3)}, S("cxbc")),
                    ok("Replace", {S("ABC"), S("b"), S("x"), I(1), I(-1), I(1)}, S("AxC")),
                    ok("Replace", {S("ABC"), S("b"), S("x")}, S("ABC")),
                    ok("Replace", {S("abc"), S(""), S("x")}, S("abc")),
                    ok("Replace", {S("abc"), S("a"), S("x"), I(5)}, S("")),
                    ok("Replace", {S("abc"), S("a"), S("x"), I(2), I(0)}, S("bc")),
                    ok("Replace", {S("a.b.c"), S("."), S("")}, S("abc")),
                    ok("Replace", {S("aa"), S("a"), S("aa")}, S("aaaa")),
                    fails("Replace", {Null(), S("a"), S("b")}, 94), fails("Replace", {S("a"), Null(), S("b")}, 94),
                    fails("Replace", {S("abc"), S("a"), S("b"), I(0)}, 5),
                    fails("Replace", {S("abc"), S("a"), S("b"), I(1), I(-2)}, 5)));

INSTANTIATE_TEST_SUITE_P(
    SplittingAndJoining, TextFunctions,
    testing::Values(ok("Split", {S("a,b,c"), S(",")}, List({S("a"), S("b"), S("c")})),
                    ok("Split", {S("a,b,c"), S(","), I(2)}, List({S("a"), S("b,c")})),
                    ok("Split", {S("")}, List({})), ok("Split", {S("a b")}, List({S("a"), S("b")})),
                    ok("Split", {S("abc"), S("")}, List({S("abc")})),
                    ok("Split", {S("a,,b"), S(",")}, List({S("a"), S(""), S("b")})),
                    ok("Split", {S("aXbxc"), S("x"), I(-1), I(1)}, List({S("a"), S("b"), S("c")})),
                    ok("Split", {S("a,b"), S(","), I(0)}, List({})), fails("Split", {S("a"), S(","), I(-2)}, 5),
                    fails("Split", {Null()}, 94),
                    ok("Join", {List({S("a"), S("b")}), S("-")}, S("a-b")),
                    ok("Join", {List({S("a"), S("b")})}, S("a b")), ok("Join", {List({}), S(",")}, S("")),
                    ok("Join", {List({I(1), D(2.5), kEmpty}), S(",")}, S("1,2.5,")),
                    fails("Join", {S("abc")}, 13),
                    fails("Join", {Variant::fromArray(bounded({{0, 1}, {0, 1}}))}, 5)));

INSTANTIATE_TEST_SUITE_P(
    CaseAndBlanks, TextFunctions,
    testing::Values(ok("UCase", {S("aBc")}, S("ABC")), ok("UCase", {Null()}, Null()),
                    ok("LCase", {S("AbC")}, S("abc")), ok("LCase", {I(5)}, S("5")),
                    ok("Trim", {S("  a b  ")}, S("a b")),
                    // Only spaces are blanks to these three.
                    ok("Trim", {S("\ta ")}, S("\ta")), ok("LTrim", {S("  a ")}, S("a ")),
                    ok("RTrim", {S(" a  ")}, S(" a")), ok("Trim", {Null()}, Null()), ok("Trim", {S("   ")}, S("")),
                    ok("Space", {I(3)}, S("   ")), ok("Space", {I(0)}, S("")), fails("Space", {I(-1)}, 5),
                    fails("Space", {D(2e9)}, 14), ok("String", {I(3), S("ab")}, S("aaa")),
                    ok("String", {I(2), I(65)}, S("AA")), ok("String", {I(2), Null()}, Null()),
                    fails("String", {I(-1), S("a")}, 5), fails("String", {I(2), S("")}, 5),
                    fails("String", {Null(), S("a")}, 94)));

INSTANTIATE_TEST_SUITE_P(
    ComparingAndReversing, TextFunctions,
    testing::Values(ok("StrComp", {S("a"), S("b")}, I(-1)), ok("StrComp", {S("B"), S("a")}, I(-1)),
                    ok("StrComp", {S("B"), S("a"), I(1)}, I(1)), ok("StrComp", {S("abc"), S("ABC"), I(1)}, I(0)),
                    ok("StrComp", {S("abc"), S("abc")}, I(0)), ok("StrComp", {Null(), S("a")}, Null()),
                    fails("StrComp", {S("a"), S("b"), I(3)}, 5), ok("StrReverse", {S("abc")}, S("cba")),
                    ok("StrReverse", {S("a😀b")}, S("b😀a")), ok("StrReverse", {S("")}, S("")),
                    fails("StrReverse", {Null()}, 94)));

INSTANTIATE_TEST_SUITE_P(
    CharacterCodes, TextFunctions,
    testing::Values(ok("Asc", {S("A")}, I(65)), ok("Asc", {S("Abc")}, I(65)), fails("Asc", {S("")}, 5),
                    fails("Asc", {Null()}, 94),
                    // In the locale's code page 中 is the two bytes D6 D0.
                    ok("Asc", {S("中")}, I(-10544)), ok("AscW", {S("中")}, I(20013)),
                    ok("AscW", {Variant(QString(QChar(0xFFFF)))}, I(-1)), fails("AscW", {S("")}, 5),
                    ok("Chr", {I(65)}, S("A")), ok("Chr", {I(0)}, Variant(QString(QChar(0)))),
                    ok("Chr", {I(-10544)}, S("中")), fails("Chr", {L(65536)}, 5), fails("Chr", {L(-32769)}, 5),
                    fails("Chr", {Null()}, 94), ok("ChrW", {I(-1)}, Variant(QString(QChar(0xFFFF)))),
                    ok("ChrW", {L(20013)}, S("中")), ok("ChrW", {L(65535)}, Variant(QString(QChar(0xFFFF)))),
                    fails("ChrW", {L(65536)}, 5), fails("ChrW", {L(-32769)}, 5)));

INSTANTIATE_TEST_SUITE_P(
    HexAndOctal, TextFunctions,
    testing::Values(ok("Hex", {I(255)}, S("FF")),
                    // Negative Integers are written in 16 bits, other numbers in 32.
                    ok("Hex", {I(-1)}, S("FFFF")), ok("Hex", {L(-1)}, S("FFFFFFFF")),
                    ok("Hex", {D(-1)}, S("FFFFFFFF")), ok("Hex", {L(-32769)}, S("FFFF7FFF")),
                    ok("Hex", {Variant(true)}, S("FFFF")), ok("Hex", {D(2.5)}, S("2")), ok("Hex", {kEmpty}, S("0")),
                    ok("Hex", {Null()}, Null()), fails("Hex", {D(1e10)}, 6), fails("Hex", {S("abc")}, 13),
                    ok("Oct", {I(8)}, S("10")), ok("Oct", {I(-1)}, S("177777")), ok("Oct", {Null()}, Null())));

INSTANTIATE_TEST_SUITE_P(
    Escaping, TextFunctions,
    testing::Values(ok("Escape", {S("a b+中!")}, S("a%20b+%u4E2D%21")), ok("Escape", {S("@*_+-./")}, S("@*_+-./")),
                    ok("Escape", {Null()}, Null()), ok("Unescape", {S("a%20b%u4E2D")}, S("a b中")),
                    // Malformed escapes stay as written.
                    ok("Unescape", {S("%zz%u12%")}, S("%zz%u12%")), ok("Unescape", {S("%41%u0042")}, S("AB"))));

// A skipped argument between others (Replace(s, a, b, , , 1)) arrives as
// Empty and takes the argument's default.
INSTANTIATE_TEST_SUITE_P(
    SkippedArguments, TextFunctions,
    testing::Values(ok("Mid", {S("abc"), I(2), kEmpty}, S("bc")),
                    ok("InStrRev", {S("abcABC"), S("b"), kEmpty, I(1)}, L(5)),
                    ok("Replace", {S("aXa"), S("x"), S("y"), kEmpty, kEmpty, I(1)}, S("aya")),
                    ok("Split", {S("a b c"), kEmpty, I(2)}, List({S("a"), S("b c")})),
                    ok("Join", {List({S("a"), S("b")}), kEmpty}, S("a b")),
                    ok("StrComp", {S("a"), S("A"), kEmpty}, I(1)),
                    ok("Filter", {List({S("an"), S("x")}), S("AN"), kEmpty, I(1)}, List({S("an")})),
                    ok("FormatNumber", {D(1.5), kEmpty, kEmpty, kEmpty, I(0)}, S("1.50")),
                    ok("WeekdayName", {I(2), kEmpty, I(2)}, S("星期二"))));

class ConversionFunctions : public TextFunctions {};

TEST_P(ConversionFunctions, GiveTheLanguagesResults)
{
    BuiltinContext context;
    expectCall(context, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, ConversionFunctions,
    testing::Values(ok("CStr", {I(5)}, S("5")), fails("CStr", {Null()}, 94), ok("CStr", {Variant(true)}, S("True")),
                    ok("CStr", {kEmpty}, S("")), ok("CInt", {D(2.5)}, I(2)), ok("CInt", {D(3.5)}, I(4)),
                    fails("CInt", {L(32768)}, 6), fails("CInt", {L(-32769)}, 6), ok("CInt", {D(-32768.5)}, I(-32768)),
                    fails("CInt", {S("12abc")}, 13), ok("CInt", {S(" 12 ")}, I(12)), fails("CInt", {Null()}, 94),
                    ok("CInt", {kEmpty}, I(0)), ok("CInt", {Variant(true)}, I(-1)), ok("CLng", {S("&H10")}, L(16)),
                    fails("CLng", {D(2147483648.0)}, 6), ok("CDbl", {S("1e3")}, D(1000)), fails("CDbl", {S("x")}, 13),
                    ok("CSng", {D(1.5)}, Variant::fromSingle(1.5f)), ok("CBool", {S("true")}, Variant(true)),
                    ok("CBool", {S("1")}, Variant(true)), ok("CBool", {I(0)}, Variant(false)),
                    fails("CBool", {S("abc")}, 13), fails("CBool", {Null()}, 94), ok("CByte", {D(254.5)}, Variant::fromByte(254)),
                    fails("CByte", {D(255.5)}, 6), fails("CByte", {I(-1)}, 6), ok("CDate", {S("2024-03-15")}, Dt(45366)),
                    ok("CDate", {D(45000.5)}, Dt(45000.5)), fails("CDate", {S("abc")}, 13),
                    fails("CDate", {Null()}, 94), fails("CDate", {D(1e10)}, 6), ok("CCur", {D(1.23456)}, Variant::fromCurrency(12346)),
                    fails("CCur", {D(1e20)}, 6)));

INSTANTIATE_TEST_SUITE_P(
    WholeNumbers, ConversionFunctions,
    testing::Values(ok("Int", {D(-2.5)}, D(-3)), ok("Fix", {D(-2.5)}, D(-2)), ok("Int", {I(5)}, I(5)),
                    ok("Int", {S("2.7")}, D(2)), ok("Int", {Null()}, Null()), ok("Int", {kEmpty}, I(0)),
                    ok("Fix", {Dt(1.5)}, Dt(1)), ok("Abs", {I(-32768)}, L(32768)), ok("Abs", {D(-2.5)}, D(2.5)),
                    ok("Abs", {Null()}, Null()), ok("Sgn", {D(-3)}, I(-1)), ok("Sgn", {I(0)}, I(0)),
                    ok("Sgn", {S("5")}, I(1)), fails("Sgn", {Null()}, 94), fails("Int", {S("x")}, 13)));

INSTANTIATE_TEST_SUITE_P(
    Rounding, ConversionFunctions,
    testing::Values(ok("Round", {D(2.5)}, D(2)), ok("Round", {D(3.5)}, D(4)), ok("Round", {D(-2.5)}, D(-2)),
                    ok("Round", {D(2.675), I(2)}, D(2.68)), ok("Round", {D(0.125), I(2)}, D(0.12)),
                    ok("Round", {D(1.23456), I(3)}, D(1.235)), ok("Round", {I(7)}, I(7)),
                    ok("Round", {L(5), I(2)}, L(5)), ok("Round", {S("2.5")}, D(2)), ok("Round", {Null()}, Null()),
                    fails("Round", {D(2.5), I(-1)}, 5), fails("Round", {S("x")}, 13)));

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, ConversionFunctions,
    testing::Values(ok("Sqr", {I(16)}, D(4)), fails("Sqr", {I(-1)}, 5), ok("Sqr", {Null()}, Null()),
                    ok("Exp", {I(0)}, D(1)), fails("Exp", {I(1000)}, 6), ok("Log", {I(1)}, D(0)),
                    fails("Log", {I(0)}, 5), ok("Sin", {I(0)}, D(0)), ok("Cos", {I(0)}, D(1)), ok("Tan", {I(0)}, D(0)),
                    ok("Atn", {I(0)}, D(0)), ok("RGB", {I(255), I(0), I(0)}, L(255)),
                    ok("RGB", {I(0), I(0), I(255)}, L(0xFF0000)), ok("RGB", {I(300), I(1), I(0)}, L(511)),
                    fails("RGB", {I(-1), I(0), I(0)}, 5)));

INSTANTIATE_TEST_SUITE_P(
    Tests, ConversionFunctions,
    testing::Values(ok("IsNumeric", {S("1e3")}, Variant(true)), ok("IsNumeric", {S("&H10")}, Variant(true)),
                    ok("IsNumeric", {S(" 12 ")}, Variant(true)), ok("IsNumeric", {S("12abc")}, Variant(false)),
                    ok("IsNumeric", {S("")}, Variant(false)), ok("IsNumeric", {kEmpty}, Variant(true)),
                    ok("IsNumeric", {Null()}, Variant(false)), ok("IsNumeric", {Dt(1)}, Variant(false)),
                    ok("IsNumeric", {Variant(true)}, Variant(true)), ok("IsNumeric", {List({})}, Variant(false)),
                    ok("IsDate", {S("2024-1-5")}, Variant(true)), ok("IsDate", {S("2024-13-5")}, Variant(false)),
                    ok("IsDate", {S("12:30")}, Variant(true)), ok("IsDate", {S("abc")}, Variant(false)),
                    ok("IsDate", {L(45000)}, Variant(false)), ok("IsDate", {Dt(45000)}, Variant(true)),
                    ok("IsEmpty", {kEmpty}, Variant(true)), ok("IsEmpty", {S("")}, Variant(false)),
                    ok("IsNull", {Null()}, Variant(true)), ok("IsNull", {kEmpty}, Variant(false)),
                    ok("IsObject", {Variant::nothing()}, Variant(true)), ok("IsObject", {S("x")}, Variant(false)),
                    ok("IsArray", {List({})}, Variant(true)), ok("IsArray", {S("x")}, Variant(false))));

INSTANTIATE_TEST_SUITE_P(
    Kinds, ConversionFunctions,
    testing::Values(ok("VarType", {kEmpty}, I(0)), ok("VarType", {Null()}, I(1)), ok("VarType", {I(1)}, I(2)),
                    ok("VarType", {L(1)}, I(3)), ok("VarType", {Variant::fromSingle(1)}, I(4)),
                    ok("VarType", {D(1)}, I(5)), ok("VarType", {Dt(1)}, I(7)), ok("VarType", {S("")}, I(8)),
                    ok("VarType", {Variant::nothing()}, I(9)), ok("VarType", {Variant(true)}, I(11)),
                    ok("VarType", {List({})}, I(8204)), ok("TypeName", {kEmpty}, S("Empty")),
                    ok("TypeName", {Null()}, S("Null")), ok("TypeName", {I(1)}, S("Integer")),
                    ok("TypeName", {L(1)}, S("Long")), ok("TypeName", {Variant::fromSingle(1)}, S("Single")),
                    ok("TypeName", {D(1)}, S("Double")), ok("TypeName", {Dt(1)}, S("Date")),
                    ok("TypeName", {S("")}, S("String")), ok("TypeName", {Variant(false)}, S("Boolean")),
                    ok("TypeName", {Variant::nothing()}, S("Nothing")), ok("TypeName", {List({})}, S("Variant()"))));

INSTANTIATE_TEST_SUITE_P(
    NumberFormats, ConversionFunctions,
    testing::Values(ok("FormatNumber", {D(1234.567)}, S("1,234.57")),
                    ok("FormatNumber", {D(-1234.5), I(0)}, S("-1,235")),
                    ok("FormatNumber", {D(0.5), I(2), I(0)}, S(".50")),
                    ok("FormatNumber", {I(-3), I(1), I(-2), I(-1)}, S("(3.0)")),
                    ok("FormatNumber", {L(1234), I(0), I(-2), I(-2), I(0)}, S("1234")),
                    ok("FormatNumber", {S("12.5"), I(1)}, S("12.5")), fails("FormatNumber", {S("abc")}, 13),
                    fails("FormatNumber", {Null()}, 13), fails("FormatNumber", {I(1), I(-2)}, 5),
                    ok("FormatPercent", {D(0.1234)}, S("12.34%")),
                    ok("FormatCurrency", {D(1234.5)}, S("¥1,234.50")), ok("FormatCurrency", {I(-2)}, S("¥-2.00"))));

class ArrayFunctions : public TextFunctions {};

TEST_P(ArrayFunctions, GiveTheLanguagesResults)
{
    BuiltinContext context;
    expectCall(context, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Arrays, ArrayFunctions,
    testing::Values(ok("Array", {}, List({})), ok("Array", {I(1), S("a")}, List({I(1), S("a")})),
                    ok("UBound", {List({I(1), I(2), I(3)})}, L(2)), ok("UBound", {List({})}, L(-1)),
                    ok("LBound", {List({I(1)})}, L(0)), fails("UBound", {S("x")}, 13),
                    fails("UBound", {List({I(1)}), I(2)}, 9), fails("LBound", {List({I(1)}), I(0)}, 9),
                    ok("UBound", {Variant::fromArray(bounded({{0, 2}, {1, 4}})), I(2)}, L(4)),
                    ok("LBound", {Variant::fromArray(bounded({{0, 2}, {1, 4}})), I(2)}, L(1)),
                    // An array never sized has no first dimension.
                    fails("UBound", {Variant::fromArray(VariantArray{})}, 9),
                    ok("Filter", {List({S("apple"), S("Banana"), S("cherry")}), S("an")}, List({S("Banana")})),
                    ok("Filter", {List({S("apple"), S("Banana")}), S("AN"), Variant(true), I(1)}, List({S("Banana")})),
                    ok("Filter", {List({S("apple"), S("Banana"), S("cherry")}), S("an"), Variant(false)},
                       List({S("apple"), S("cherry")})),
                    ok("Filter", {List({I(12), I(3)}), S("1")}, List({S("12")})),
                    ok("Filter", {List({S("a")}), S("z")}, List({})), fails("Filter", {S("x"), S("a")}, 13),
                    fails("Filter", {List({S("a")}), Null()}, 94)));

TEST(VbBuiltins, ArrayKeepsItsArgumentsForTheCaller)
{
    BuiltinContext context;
    QVector<Variant> args{I(1), S("a")};
    Result<Variant> array = findBuiltin(QStringLiteral("Array"))->function(context, args);
    ASSERT_TRUE(array.ok());
    EXPECT_EQ(args.size(), 2);
    array->arrayForWrite().items[0] = S("changed");
    EXPECT_EQ(args[0], I(1));
}

TEST(VbBuiltins, RndRepeatsTheLanguagesSequence)
{
    BuiltinContext context;
    const auto rnd = [&](QVector<Variant> args) { return callBuiltin(context, "Rnd", std::move(args))->toDouble().value(); };
    EXPECT_FLOAT_EQ(rnd({}), 0.7055475f);
    EXPECT_FLOAT_EQ(rnd({}), 0.533424f);
    EXPECT_FLOAT_EQ(rnd({I(0)}), 0.533424f); // Rnd(0) repeats the last number
    EXPECT_FLOAT_EQ(rnd({I(-1)}), 0.224007f);
    EXPECT_FLOAT_EQ(rnd({I(-1)}), 0.224007f); // a negative argument restarts the same way
    EXPECT_EQ(callBuiltin(context, "Rnd", {})->kind(), Variant::Kind::Single);
    EXPECT_EQ(callBuiltin(context, "Rnd", {Null()}).error().number, 94);
}

TEST(VbBuiltins, RandomizeWithASeedRepeatsAfterRndOfMinusOne)
{
    BuiltinContext context;
    QVector<double> first, second;
    for (QVector<double> *run : {&first, &second}) {
        callBuiltin(context, "Rnd", {I(-1)});
        ASSERT_TRUE(callBuiltin(context, "Randomize", {I(10)}).ok());
        for (int i = 0; i < 3; ++i)
            run->append(callBuiltin(context, "Rnd", {})->toDouble().value());
    }
    EXPECT_EQ(first, second);
    callBuiltin(context, "Rnd", {I(-1)});
    callBuiltin(context, "Randomize", {I(11)});
    EXPECT_NE(callBuiltin(context, "Rnd", {})->toDouble().value(), first[0]);
    for (double value : first) {
        EXPECT_GE(value, 0.0);
        EXPECT_LT(value, 1.0);
    }
}

TEST(VbBuiltins, RandomizeWithoutASeedUsesTheTimeOfDay)
{
    BuiltinContext a, b;
    a.now = [] { return 45000.25; };
    b.now = [] { return 45000.75; };
    callBuiltin(a, "Randomize", {});
    callBuiltin(b, "Randomize", {});
    EXPECT_NE(a.randomSeed, b.randomSeed);
}

TEST(VbBuiltins, FindsFunctionsWithoutRegardToCase)
{
    for (const char *name : {"mid", "MID", "Mid", "instrrev", "FORMATDATETIME"}) {
        const BuiltinInfo *info = findBuiltin(QString::fromLatin1(name));
        ASSERT_NE(info, nullptr) << name;
        EXPECT_EQ(QString::fromLatin1(info->name).compare(QString::fromLatin1(name), Qt::CaseInsensitive), 0);
    }
    EXPECT_EQ(findBuiltin(QStringLiteral("Mid"))->minArgs, 2);
    EXPECT_EQ(findBuiltin(QStringLiteral("Mid"))->maxArgs, 3);
    EXPECT_EQ(findBuiltin(QStringLiteral("Array"))->maxArgs, kAnyArgCount);
    for (const char *missing : {"", "Mi", "Midd", "Eval", "zzz", "MsgBoxB"})
        EXPECT_EQ(findBuiltin(QString::fromLatin1(missing)), nullptr) << missing;
}

TEST(VbBuiltins, HasEveryFunctionOfTheLanguagesLibrary)
{
    const QStringList names = languageFunctionNames();
    for (const QString &name : names) {
        const BuiltinInfo *info = findBuiltin(name);
        ASSERT_NE(info, nullptr) << name.toStdString();
        EXPECT_LE(info->minArgs, info->maxArgs) << name.toStdString();
        EXPECT_NE(info->function, nullptr);
    }
}

struct ConstantCase {
    const char *name;
    Variant value;
};

class VbConstants : public testing::TestWithParam<ConstantCase> {};

TEST_P(VbConstants, HaveTheLanguagesValues)
{
    const Variant *value = findConstant(QString::fromLatin1(GetParam().name));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Named, VbConstants,
    testing::Values(ConstantCase{"vbCrLf", S("\r\n")}, ConstantCase{"VBCRLF", S("\r\n")},
                    ConstantCase{"vbNewLine", S("\r\n")}, ConstantCase{"vbCr", S("\r")}, ConstantCase{"vbLf", S("\n")},
                    ConstantCase{"vbTab", S("\t")}, ConstantCase{"vbNullString", S("")},
                    ConstantCase{"vbNullChar", Variant(QString(QChar(0)))}, ConstantCase{"vbBack", S("\b")},
                    ConstantCase{"vbFormFeed", S("\f")}, ConstantCase{"vbVerticalTab", S("\v")},
                    ConstantCase{"vbTrue", I(-1)}, ConstantCase{"vbFalse", I(0)}, ConstantCase{"vbUseDefault", I(-2)},
                    ConstantCase{"vbOKOnly", L(0)}, ConstantCase{"vbOKCancel", L(1)},
                    ConstantCase{"vbAbortRetryIgnore", L(2)}, ConstantCase{"vbYesNoCancel", L(3)},
                    ConstantCase{"vbYesNo", L(4)}, ConstantCase{"vbRetryCancel", L(5)},
                    ConstantCase{"vbCritical", L(16)}, ConstantCase{"vbQuestion", L(32)},
                    ConstantCase{"vbExclamation", L(48)}, ConstantCase{"vbInformation", L(64)},
                    ConstantCase{"vbDefaultButton1", L(0)}, ConstantCase{"vbDefaultButton2", L(256)},
                    ConstantCase{"vbDefaultButton3", L(512)}, ConstantCase{"vbDefaultButton4", L(768)},
                    ConstantCase{"vbApplicationModal", L(0)}, ConstantCase{"vbSystemModal", L(4096)},
                    ConstantCase{"vbOK", I(1)}, ConstantCase{"vbCancel", I(2)}, ConstantCase{"vbAbort", I(3)},
                    ConstantCase{"vbRetry", I(4)}, ConstantCase{"vbIgnore", I(5)}, ConstantCase{"vbYes", I(6)},
                    ConstantCase{"vbNo", I(7)}, ConstantCase{"vbBinaryCompare", I(0)},
                    ConstantCase{"vbTextCompare", I(1)}, ConstantCase{"vbDatabaseCompare", I(2)},
                    ConstantCase{"vbSunday", I(1)}, ConstantCase{"vbSaturday", I(7)},
                    ConstantCase{"vbUseSystemDayOfWeek", I(0)}, ConstantCase{"vbFirstJan1", I(1)},
                    ConstantCase{"vbFirstFourDays", I(2)}, ConstantCase{"vbFirstFullWeek", I(3)},
                    ConstantCase{"vbGeneralDate", I(0)}, ConstantCase{"vbLongDate", I(1)},
                    ConstantCase{"vbShortDate", I(2)}, ConstantCase{"vbLongTime", I(3)},
                    ConstantCase{"vbShortTime", I(4)}, ConstantCase{"vbEmpty", I(0)}, ConstantCase{"vbString", I(8)},
                    ConstantCase{"vbBoolean", I(11)}, ConstantCase{"vbArray", I(8192)},
                    ConstantCase{"vbObjectError", L(-2147221504)}, ConstantCase{"vbBlack", L(0)},
                    ConstantCase{"vbRed", L(0xFF)}, ConstantCase{"vbBlue", L(0xFF0000)},
                    ConstantCase{"vbWhite", L(0xFFFFFF)}));

TEST(VbConstantsLookup, UnknownNamesHaveNoValue)
{
    for (const char *name : {"vbCrLff", "vb", "", "Len", "vbYesNoCancelX"})
        EXPECT_EQ(findConstant(QString::fromLatin1(name)), nullptr) << name;
}

} // namespace
