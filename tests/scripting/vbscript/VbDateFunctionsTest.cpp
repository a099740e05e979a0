#include "BuiltinCall.h"

using namespace sorvane;
using namespace sorvane::vb;
using namespace sorvane::vb::testing_support;

namespace {

// Serials of the days the rows use (days since 30 December 1899).
constexpr double k2024Mar15 = 45366; // a Friday
constexpr double k2024Feb29 = 45351;
constexpr double k2024Jan31 = 45322;
constexpr double k2024Jan1 = 45292;
constexpr double k2023Dec1 = 45261;
constexpr double k2023Nov1 = 45231;
constexpr double k2024Nov30 = 45626;
constexpr double k2025Feb28 = 45716;

// A time of day as the fraction of a serial.
double at(int h, int m, int s)
{
    return (h * 3600 + m * 60 + s) / 86400.0;
}

// A serial before the epoch: the day counted back, the time forward from
// midnight, as the platform stores it.
double before(double day, double timeOfDay)
{
    return day - timeOfDay;
}

class DateFunctions : public testing::TestWithParam<Call> {};

TEST_P(DateFunctions, GiveTheLanguagesResults)
{
    BuiltinContext context;
    context.now = [] { return 45366.5; };
    expectCall(context, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Parts, DateFunctions,
    testing::Values(ok("Year", {Dt(k2024Mar15 + 0.5)}, I(2024)), ok("Month", {Dt(k2024Mar15)}, I(3)),
                    ok("Day", {Dt(k2024Mar15)}, I(15)), ok("Hour", {Dt(k2024Mar15 + 0.5)}, I(12)),
                    ok("Minute", {Dt(k2024Mar15 + at(12, 34, 56))}, I(34)),
                    ok("Second", {Dt(k2024Mar15 + at(12, 34, 56))}, I(56)), ok("Year", {S("2024-03-15")}, I(2024)),
                    ok("Hour", {S("13:05")}, I(13)), ok("Year", {Null()}, Null()), fails("Year", {S("abc")}, 13),
                    fails("Year", {D(1e10)}, 6), ok("Day", {L(1)}, I(31)),
                    // Before the epoch the time still runs forward from midnight.
                    ok("Day", {Dt(-1.25)}, I(29)), ok("Hour", {Dt(-1.25)}, I(6)), ok("Year", {Dt(-1.25)}, I(1899)),
                    ok("Weekday", {Dt(k2024Mar15)}, I(6)), ok("Weekday", {Dt(k2024Mar15), I(2)}, I(5)),
                    ok("Weekday", {Dt(k2024Mar15), I(0)}, I(6)), ok("Weekday", {Dt(k2024Mar15), I(7)}, I(7)),
                    fails("Weekday", {Dt(k2024Mar15), I(8)}, 5), ok("Weekday", {Null()}, Null())));

INSTANTIATE_TEST_SUITE_P(
    Names, DateFunctions,
    testing::Values(ok("WeekdayName", {I(1)}, S("星期日")), ok("WeekdayName", {I(1), Variant(true)}, S("周日")),
                    ok("WeekdayName", {I(1), Variant(false), I(2)}, S("星期一")),
                    ok("WeekdayName", {I(7), Variant(false), I(2)}, S("星期日")), fails("WeekdayName", {I(8)}, 5),
                    fails("WeekdayName", {I(1), Variant(false), I(9)}, 5), ok("MonthName", {I(12)}, S("十二月")),
                    ok("MonthName", {I(1), Variant(true)}, S("1月")), fails("MonthName", {I(13)}, 5),
                    fails("MonthName", {I(0)}, 5)));

INSTANTIATE_TEST_SUITE_P(
    Adding, DateFunctions,
    testing::Values(
        // A month on from the 31st lands on the last day of a shorter month.
        ok("DateAdd", {S("m"), I(1), Dt(k2024Jan31)}, Dt(k2024Feb29)),
        ok("DateAdd", {S("yyyy"), I(1), Dt(k2024Feb29)}, Dt(k2025Feb28)),
        ok("DateAdd", {S("q"), I(1), Dt(k2024Nov30)}, Dt(k2025Feb28)),
        ok("DateAdd", {S("m"), I(-3), S("2024-03-15 06:00")}, Dt(k2023Dec1 + 14 + at(6, 0, 0))),
        ok("DateAdd", {S("d"), I(-1), Dt(0.25)}, Dt(before(-1, 0.25))),
        ok("DateAdd", {S("h"), I(-7), Dt(0.25)}, Dt(before(-1, at(23, 0, 0)))),
        ok("DateAdd", {S("ww"), I(2), Dt(k2024Mar15)}, Dt(k2024Mar15 + 14)),
        ok("DateAdd", {S("w"), I(2), Dt(k2024Mar15)}, Dt(k2024Mar15 + 2)),
        ok("DateAdd", {S("n"), I(90), Dt(k2024Mar15)}, Dt(k2024Mar15 + at(1, 30, 0))),
        ok("DateAdd", {S("s"), L(86400), Dt(k2024Mar15)}, Dt(k2024Mar15 + 1)),
        ok("DateAdd", {S("D"), D(1.9), Dt(k2024Mar15)}, Dt(k2024Mar15 + 1)),
        ok("DateAdd", {S("d"), I(1), Null()}, Null()), fails("DateAdd", {S("x"), I(1), Dt(0)}, 5),
        fails("DateAdd", {S("yyyy"), I(10000), Dt(0)}, 5), fails("DateAdd", {S("d"), Null(), Dt(0)}, 94),
        fails("DateAdd", {S("d"), D(1e300), Dt(0)}, 5)));

INSTANTIATE_TEST_SUITE_P(
    Differences, DateFunctions,
    testing::Values(ok("DateDiff", {S("d"), S("2024-03-15"), S("2024-03-20")}, L(5)),
                    ok("DateDiff", {S("d"), S("2024-03-20"), S("2024-03-15")}, L(-5)),
                    // "ww" counts the first days of weeks crossed, "w" whole weeks.
                    ok("DateDiff", {S("ww"), Dt(k2024Mar15), Dt(k2024Mar15 + 2)}, L(1)),
                    ok("DateDiff", {S("w"), Dt(k2024Mar15), Dt(k2024Mar15 + 2)}, L(0)),
                    ok("DateDiff", {S("ww"), Dt(k2024Mar15), Dt(k2024Mar15 + 2), I(2)}, L(0)),
                    ok("DateDiff", {S("ww"), Dt(k2024Mar15), Dt(k2024Mar15 + 14)}, L(2)),
                    ok("DateDiff", {S("w"), Dt(k2024Mar15), Dt(k2024Mar15 + 13)}, L(1)),
                    ok("DateDiff", {S("ww"), Dt(k2024Mar15 + 9), Dt(k2024Mar15 + 2)}, L(-1)),
                    ok("DateDiff", {S("yyyy"), S("2023-12-31"), S("2024-01-01")}, L(1)),
                    ok("DateDiff", {S("q"), S("2024-03-31"), S("2024-04-01")}, L(1)),
                    ok("DateDiff", {S("m"), Dt(k2024Jan31), S("2024-02-01")}, L(1)),
                    ok("DateDiff", {S("h"), S("2024-03-15 10:59"), S("2024-03-15 11:00")}, L(1)),
                    ok("DateDiff", {S("n"), S("2024-03-15 11:00"), S("2024-03-15 10:59:59")}, L(-1)),
                    ok("DateDiff", {S("s"), Dt(0), Dt(1)}, L(86400)),
                    ok("DateDiff", {S("h"), Dt(before(-1, 0.75)), Dt(0.25)}, L(12)),
                    ok("DateDiff", {S("d"), Null(), Dt(0)}, Null()), fails("DateDiff", {S("x"), Dt(0), Dt(1)}, 5),
                    fails("DateDiff", {S("s"), Dt(-600000), Dt(2900000)}, 6)));

INSTANTIATE_TEST_SUITE_P(
    PartsByInterval, DateFunctions,
    testing::Values(ok("DatePart", {S("ww"), S("2024-01-01")}, I(1)), ok("DatePart", {S("ww"), S("2024-12-31")}, I(53)),
                    // 1 January 2021, a Friday: week 53 of 2020 by the four-day rule.
                    ok("DatePart", {S("ww"), S("2021-01-01"), I(2), I(2)}, I(53)),
                    ok("DatePart", {S("ww"), S("2021-01-04"), I(2), I(2)}, I(1)),
                    ok("DatePart", {S("ww"), S("2021-01-01"), I(1), I(3)}, I(52)),
                    ok("DatePart", {S("ww"), S("2021-01-03"), I(1), I(3)}, I(1)),
                    ok("DatePart", {S("q"), S("2024-08-01")}, I(3)), ok("DatePart", {S("y"), S("2024-03-01")}, I(61)),
                    ok("DatePart", {S("w"), Dt(k2024Mar15)}, I(6)), ok("DatePart", {S("w"), Dt(k2024Mar15), I(2)}, I(5)),
                    ok("DatePart", {S("h"), S("2024-03-15 13:05:09")}, I(13)),
                    ok("DatePart", {S("n"), S("2024-03-15 13:05:09")}, I(5)),
                    ok("DatePart", {S("s"), S("2024-03-15 13:05:09")}, I(9)),
                    ok("DatePart", {S("yyyy"), Null()}, Null()), fails("DatePart", {S("x"), Dt(0)}, 5),
                    fails("DatePart", {S("ww"), Dt(0), I(1), I(4)}, 5)));

INSTANTIATE_TEST_SUITE_P(
    Building, DateFunctions,
    testing::Values(
        // Months and days past their range carry over.
        ok("DateSerial", {I(2024), I(14), I(35)}, Dt(k2025Feb28 + 7)),
        ok("DateSerial", {I(2024), I(3), I(0)}, Dt(k2024Feb29)), ok("DateSerial", {I(2024), I(0), I(1)}, Dt(k2023Dec1)),
        ok("DateSerial", {I(2024), I(-1), I(1)}, Dt(k2023Nov1)), ok("DateSerial", {I(24), I(1), I(1)}, Dt(k2024Jan1)),
        ok("DateSerial", {I(99), I(1), I(1)}, Dt(36161)), ok("DateSerial", {I(1899), I(12), I(29)}, Dt(-1)),
        fails("DateSerial", {L(10000), I(1), I(1)}, 5), fails("DateSerial", {Null(), I(1), I(1)}, 94),
        fails("DateSerial", {I(2024), I(1), L(40000)}, 6), ok("TimeSerial", {I(12), I(30), I(0)}, Dt(at(12, 30, 0))),
        ok("TimeSerial", {I(0), I(-1), I(0)}, Dt(before(-1, at(23, 59, 0)))),
        ok("TimeSerial", {I(25), I(0), I(0)}, Dt(1 + at(1, 0, 0))),
        ok("TimeSerial", {I(0), I(0), I(90)}, Dt(at(0, 1, 30))), fails("TimeSerial", {Null(), I(0), I(0)}, 94),
        ok("DateValue", {S("2024-03-15 12:00")}, Dt(k2024Mar15)),
        ok("TimeValue", {S("2024-03-15 12:00")}, Dt(0.5)), ok("TimeValue", {S("1:30 PM")}, Dt(at(13, 30, 0))),
        ok("DateValue", {Dt(before(-1, 0.25))}, Dt(-1)), ok("TimeValue", {Dt(before(-1, 0.25))}, Dt(0.25)),
        ok("DateValue", {Null()}, Null()), fails("DateValue", {S("x")}, 13),
        // The locale's long date reads back.
        ok("DateValue", {S("2024年3月15日")}, Dt(k2024Mar15)),
        ok("CDate", {S("2024年3月15日 12:00")}, Dt(k2024Mar15 + 0.5)), fails("CDate", {S("2024年3月15")}, 13),
        ok("IsDate", {S("2024年2月30日")}, Variant(false))));

INSTANTIATE_TEST_SUITE_P(
    Formatting, DateFunctions,
    testing::Values(ok("FormatDateTime", {Dt(k2024Mar15 + 0.5)}, S("2024/3/15 12:00:00")),
                    ok("FormatDateTime", {Dt(k2024Mar15 + 0.5), I(1)}, S("2024年3月15日")),
                    ok("FormatDateTime", {Dt(k2024Mar15 + 0.5), I(2)}, S("2024/3/15")),
                    ok("FormatDateTime", {Dt(k2024Mar15 + at(9, 5, 7)), I(3)}, S("9:05:07")),
                    ok("FormatDateTime", {Dt(k2024Mar15 + at(9, 5, 7)), I(4)}, S("09:05")),
                    ok("FormatDateTime", {S("2024-03-15"), I(2)}, S("2024/3/15")),
                    fails("FormatDateTime", {Dt(0), I(5)}, 5), fails("FormatDateTime", {Null()}, 13)));

TEST(VbDateFunctions, ClockFunctionsReadTheGivenTime)
{
    BuiltinContext context;
    context.now = [] { return k2024Mar15 + (12 * 3600 + 30.257) / 86400.0; };
    EXPECT_EQ(*callBuiltin(context, "Now", {}), Dt(k2024Mar15 + at(12, 0, 30)));
    EXPECT_EQ(*callBuiltin(context, "Date", {}), Dt(k2024Mar15));
    EXPECT_EQ(*callBuiltin(context, "Time", {}), Dt(at(12, 0, 30)));
    EXPECT_EQ(*callBuiltin(context, "Timer", {}), Variant::fromSingle(43230.26f));
}

TEST(VbDateFunctions, ClockFunctionsFallBackToTheSystemClock)
{
    BuiltinContext context;
    const Result<Variant> now = callBuiltin(context, "Now", {});
    ASSERT_TRUE(now.ok());
    EXPECT_EQ(now->kind(), Variant::Kind::Date);
    EXPECT_GT(now->dateValue(), 45000); // later than 2023
}

} // namespace
