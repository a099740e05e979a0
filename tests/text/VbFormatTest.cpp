#include "text/VbFormat.h"

#include <QDate>

#include <gtest/gtest.h>

namespace sorvane {
namespace {

// 2024-03-05 (a Tuesday) 14:07:09 as a day serial.
Variant sampleDate()
{
    const double day = double(QDate(1899, 12, 30).daysTo(QDate(2024, 3, 5)));
    return Variant::fromDate(day + (14 * 3600 + 7 * 60 + 9) / 86400.0);
}

struct FormatCase {
    Variant value;
    const char *format;
    QString expected;
};

class VbFormatCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(VbFormatCases, Formats)
{
    const FormatCase &c = GetParam();
    Result<QString> out = vbFormat(c.value, QString::fromUtf8(c.format));
    ASSERT_TRUE(out.ok()) << out.error().description.toStdString();
    EXPECT_EQ(*out, c.expected) << c.format;
}

INSTANTIATE_TEST_SUITE_P(DateAndTime, VbFormatCases, ::testing::Values(
    FormatCase{sampleDate(), "hh:mm:ss", QStringLiteral("14:07:09")},
    FormatCase{sampleDate(), "h:n:s", QStringLiteral("14:7:9")},
    FormatCase{sampleDate(), "hh:nn", QStringLiteral("14:07")},
    FormatCase{sampleDate(), "HH:MM:SS", QStringLiteral("14:07:09")},
    FormatCase{sampleDate(), "yyyy-mm-dd", QStringLiteral("2024-03-05")},
    FormatCase{sampleDate(), "yy/m/d", QStringLiteral("24/3/5")},
    FormatCase{sampleDate(), "ddd dddd", QString::fromUtf16(u"周二 星期二")},
    FormatCase{sampleDate(), "mmm mmmm", QString::fromUtf16(u"3月 三月")},
    FormatCase{sampleDate(), "h:mm AM/PM", QStringLiteral("2:07 PM")},
    FormatCase{sampleDate(), "hh:mm am/pm", QStringLiteral("02:07 pm")},
    FormatCase{sampleDate(), "h A/P", QStringLiteral("2 P")},
    FormatCase{sampleDate(), "h a/p", QStringLiteral("2 p")},
    FormatCase{sampleDate(), "w ww q y", QStringLiteral("3 10 1 65")},
    FormatCase{sampleDate(), "\"at\" hh\\h", QStringLiteral("at 14h")},
    FormatCase{sampleDate(), "ddddd", QStringLiteral("2024/3/5")},
    FormatCase{sampleDate(), "dddddd", QString::fromUtf16(u"2024年3月5日")},
    FormatCase{sampleDate(), "ttttt", QStringLiteral("14:07:09")},
    FormatCase{sampleDate(), "c", QStringLiteral("2024/3/5 14:07:09")},
    FormatCase{Variant(0.5), "hh:mm:ss", QStringLiteral("12:00:00")},
    FormatCase{Variant(0.0), "h AM/PM", QStringLiteral("12 AM")},
    FormatCase{Variant(QStringLiteral("1:02:03")), "hh:mm:ss", QStringLiteral("01:02:03")},
    FormatCase{Variant(QStringLiteral("2024-1-2 3:04 PM")), "yyyy/mm/dd hh:nn", QStringLiteral("2024/01/02 15:04")},
    FormatCase{Variant(QStringLiteral("23:59:59")), "hh:mm:ss", QStringLiteral("23:59:59")},
    FormatCase{Variant(1.0 / 86400 * 59.6), "hh:mm:ss", QStringLiteral("00:01:00")},
    FormatCase{Variant(-1.5), "yyyy/mm/dd hh:mm", QStringLiteral("1899/12/29 12:00")}));

INSTANTIATE_TEST_SUITE_P(NamedDates, VbFormatCases, ::testing::Values(
    FormatCase{sampleDate(), "Short Time", QStringLiteral("14:07")},
    FormatCase{sampleDate(), "long time", QStringLiteral("14:07:09")},
    FormatCase{sampleDate(), "Short Date", QStringLiteral("2024/3/5")},
    FormatCase{sampleDate(), "Long Date", QString::fromUtf16(u"2024年3月5日")},
    FormatCase{sampleDate(), "General Date", QStringLiteral("2024/3/5 14:07:09")},
    FormatCase{sampleDate(), "", QStringLiteral("2024/3/5 14:07:09")}));

INSTANTIATE_TEST_SUITE_P(Numbers, VbFormatCases, ::testing::Values(
    FormatCase{Variant(7), "000", QStringLiteral("007")},
    FormatCase{Variant(1234), "000", QStringLiteral("1234")},
    FormatCase{Variant(1234567.891), "#,##0.00", QStringLiteral("1,234,567.89")},
    FormatCase{Variant(0.5), "#.##", QStringLiteral(".5")},
    FormatCase{Variant(5), "#.##", QStringLiteral("5.")},
    FormatCase{Variant(0.5), "0.00", QStringLiteral("0.50")},
    FormatCase{Variant(2.5), "0", QStringLiteral("3")},
    FormatCase{Variant(-2.5), "0", QStringLiteral("-3")},
    FormatCase{Variant(1.005), "0.00", QStringLiteral("1.01")},
    FormatCase{Variant(0.125), "0.00", QStringLiteral("0.13")},
    FormatCase{Variant(9.996), "0.00", QStringLiteral("10.00")},
    FormatCase{Variant(0.256), "0%", QStringLiteral("26%")},
    FormatCase{Variant(0.5), "0.0 %", QStringLiteral("50.0 %")},
    FormatCase{Variant(1234567), "#,##0,", QStringLiteral("1,235")},
    FormatCase{Variant(1234567), "0,,", QStringLiteral("1")},
    FormatCase{Variant(5551234), "000-0000", QStringLiteral("555-1234")},
    FormatCase{Variant(-5), "0;(0)", QStringLiteral("(5)")},
    FormatCase{Variant(-5), "0;;\"zero\"", QStringLiteral("-5")},
    FormatCase{Variant(0), "0;(0);\"zero\"", QStringLiteral("zero")},
    FormatCase{Variant(-0.001), "0.00", QStringLiteral("0.00")},
    FormatCase{Variant(12345.678), "0.00E+00", QStringLiteral("1.23E+04")},
    FormatCase{Variant(0.000123), "0.0E-0", QStringLiteral("1.2E-4")},
    FormatCase{Variant(9.999), "0.0E+0", QStringLiteral("1.0E+1")},
    FormatCase{Variant(42), "\"No. \"0", QStringLiteral("No. 42")},
    FormatCase{Variant(12345), "0E+0.0", QStringLiteral("1E+04.")},   // placeholders after the exponent are its digits
    FormatCase{Variant(12.5), "#,E-0.00;(0)", QStringLiteral("1E001.")},
    FormatCase{Variant(QStringLiteral("12.5")), "000.0", QStringLiteral("012.5")},
    FormatCase{Variant(QStringLiteral("abc")), "000", QStringLiteral("abc")},
    FormatCase{Variant(true), "0", QStringLiteral("-1")}));

INSTANTIATE_TEST_SUITE_P(NamedNumbers, VbFormatCases, ::testing::Values(
    FormatCase{Variant(1234.5), "General Number", QStringLiteral("1234.5")},
    FormatCase{Variant(1234.5), "Fixed", QStringLiteral("1234.50")},
    FormatCase{Variant(1234.5), "Standard", QStringLiteral("1,234.50")},
    FormatCase{Variant(0.1234), "Percent", QStringLiteral("12.34%")},
    FormatCase{Variant(1234.5), "Scientific", QStringLiteral("1.23E+03")},
    FormatCase{Variant(-1234.5), "Currency", QString::fromUtf16(u"¥-1,234.50")},
    FormatCase{Variant(0), "Yes/No", QStringLiteral("No")},
    FormatCase{Variant(-3), "Yes/No", QStringLiteral("Yes")},
    FormatCase{Variant(1), "On/Off", QStringLiteral("On")},
    FormatCase{Variant(0), "True/False", QStringLiteral("False")},
    FormatCase{Variant(12.5), "", QStringLiteral("12.5")}));

TEST(VbFormat, FailuresReachTheCaller)
{
    EXPECT_EQ(vbFormat(Variant::null(), QStringLiteral("0")).error().number, 94);
    EXPECT_EQ(vbFormat(Variant(1e9), QStringLiteral("yyyy")).error().number, 6);
    EXPECT_EQ(vbFormat(Variant::fromList({}), QStringLiteral("0")).error().number, 13);
    EXPECT_EQ(*vbFormat(Variant(), QStringLiteral("0")), QString());
}

} // namespace
} // namespace sorvane
