#include "scripting/vbscript/VbArguments.h"
#include "scripting/vbscript/VbFunctions.h"

#include "text/VbFormat.h"

#include <QDate>
#include <QDateTime>

#include <cmath>

namespace sorvane::vb::functions {
namespace {

const QDate kEpoch(1899, 12, 30);
constexpr qint64 kSecondsPerDay = 86400;

// A Date serial counts whole days from the epoch and adds the time of day as
// the fraction, forwards from midnight even for days before the epoch
// (-1.25 is 29 December 1899, 06:00). "Linear" seconds count straight
// through instead, so that arithmetic across the epoch works.
qint64 linearSeconds(double serial)
{
    const double whole = std::trunc(serial);
    const double fraction = std::fabs(serial - whole);
    return qint64(whole) * kSecondsPerDay + std::llround(fraction * kSecondsPerDay);
}

double serialOfLinear(qint64 seconds)
{
    qint64 day = seconds / kSecondsPerDay;
    qint64 rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --day;
    }
    const double fraction = double(rest) / kSecondsPerDay;
    return day >= 0 ? double(day) + fraction : double(day) - fraction;
}

struct DateParts {
    qint64 day = 0;      // days from the epoch
    int seconds = 0;     // of the day
    QDate date;
};

DateParts partsOf(double serial)
{
    const qint64 linear = linearSeconds(serial);
    DateParts p;
    p.day = linear / kSecondsPerDay;
    qint64 rest = linear % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --p.day;
    }
    p.seconds = int(rest);
    p.date = kEpoch.addDays(p.day);
    return p;
}

double serialOf(const QDate &date, qint64 secondsOfDay)
{
    return serialOfLinear(kEpoch.daysTo(date) * kSecondsPerDay + secondsOfDay);
}

Result<Variant> checkedDate(double serial)
{
    if (!(serial >= kFirstDateSerial && serial <= kLastDateSerial))
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return Variant::fromDate(serial);
}

// The local date and time as a serial, to the millisecond.
double nowSerial(const BuiltinContext &context)
{
    if (context.now)
        return context.now();
    const QDateTime now = QDateTime::currentDateTime();
    return double(kEpoch.daysTo(now.date())) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

// Sunday 1 ... Saturday 7.
int sundayWeekday(const QDate &date)
{
    return date.dayOfWeek() % 7 + 1;
}

// The first day of the week argument: 0 (the locale's: Sunday) or 1 to 7.
Result<int> firstDayArg(const QVector<Variant> &args, int index)
{
    auto day = TRY(longArg(args, index, 1));
    if (day < 0 || day > 7)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return day == 0 ? 1 : int(day);
}

// The first week of the year argument: 0 (the locale's: the week of
// 1 January), 1 (vbFirstJan1), 2 (vbFirstFourDays), 3 (vbFirstFullWeek).
Result<int> firstWeekArg(const QVector<Variant> &args, int index)
{
    auto rule = TRY(longArg(args, index, 1));
    if (rule < 0 || rule > 3)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return rule == 0 ? 1 : int(rule);
}

// Position of a day within its week (0 = the first day of the week).
int dayInWeek(const QDate &date, int firstDay)
{
    return (sundayWeekday(date) - firstDay + 7) % 7;
}

// The day (from the epoch) on which week 1 of `year` starts.
qint64 firstWeekStart(int year, int firstDay, int rule)
{
    const QDate jan1(year, 1, 1);
    const qint64 day = kEpoch.daysTo(jan1);
    const int offset = dayInWeek(jan1, firstDay);
    qint64 start = day - offset;
    if ((rule == 2 && offset > 3) || (rule == 3 && offset > 0))
        start += 7;
    return start;
}

int weekOfYear(const DateParts &p, int firstDay, int rule)
{
    qint64 start = firstWeekStart(p.date.year(), firstDay, rule);
    if (p.day < start)
        start = firstWeekStart(p.date.year() - 1, firstDay, rule);
    return int((p.day - start) / 7 + 1);
}

int quarterOf(const QDate &date)
{
    return (date.month() - 1) / 3 + 1;
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

struct IntervalName {
    const char *name;
    Interval interval;
};

constexpr IntervalName kIntervals[] = {
    {"yyyy", Interval::Year}, {"q", Interval::Quarter}, {"m", Interval::Month},  {"y", Interval::DayOfYear},
    {"d", Interval::Day},     {"w", Interval::Weekday}, {"ww", Interval::Week},  {"h", Interval::Hour},
    {"n", Interval::Minute},  {"s", Interval::Second},
};

Result<Interval> intervalArg(const Variant &value)
{
    auto text = TRY(TextArg::of(value));
    for (const IntervalName &known : kIntervals)
        if (text->compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0)
            return known.interval;
    return scriptError(ErrorNumber::InvalidProcedureCall);
}

// Year, Month, ... Second: one part of a date, Null for Null.
Result<Variant> datePartOf(QVector<Variant> &args, int (*part)(const DateParts &))
{
    if (args[0].isNull())
        return Variant::null();
    auto serial = TRY(dateArg(args[0]));
    return Variant::fromInteger(qint16(part(partsOf(serial))));
}

} // namespace

Result<Variant> Now(BuiltinContext &context, QVector<Variant> &)
{
    return Variant::fromDate(serialOfLinear(linearSeconds(nowSerial(context))));
}

Result<Variant> Date(BuiltinContext &context, QVector<Variant> &)
{
    return Variant::fromDate(double(partsOf(nowSerial(context)).day));
}

Result<Variant> Time(BuiltinContext &context, QVector<Variant> &)
{
    return Variant::fromDate(partsOf(nowSerial(context)).seconds / double(kSecondsPerDay));
}

// Seconds since midnight, to the hundredth.
Result<Variant> Timer(BuiltinContext &context, QVector<Variant> &)
{
    const double serial = nowSerial(context);
    const double fraction = std::fabs(serial - std::trunc(serial));
    return Variant::fromSingle(float(std::round(fraction * kSecondsPerDay * 100.0) / 100.0));
}

Result<Variant> Year(BuiltinContext &, QVector<Variant> &args)
{
    return datePartOf(args, [](const DateParts &p) { return p.date.year(); });
}

Result<Variant> Month(BuiltinContext &, QVector<Variant> &args)
{
    return datePartOf(args, [](const DateParts &p) { return p.date.month(); });
}

Result<Variant> Day(BuiltinContext &, QVector<Variant> &args)
{
    return datePartOf(args, [](const DateParts &p) { return p.date.day(); });
}

Result<Variant> Hour(BuiltinContext &, QVector<Variant> &args)
{
    return datePartOf(args, [](const DateParts &p) { return p.seconds / 3600; });
}

Result<Variant> Minute(BuiltinContext &, QVector<Variant> &args)
{
    return datePartOf(args, [](const DateParts &p) { return p.seconds / 60 % 60; });
}

Result<Variant> Second(BuiltinContext &, QVector<Variant> &args)
{
    return datePartOf(args, [](const DateParts &p) { return p.seconds % 60; });
}

Result<Variant> Weekday(BuiltinContext &, QVector<Variant> &args)
{
    auto firstDay = TRY(firstDayArg(args, 1));
    if (args[0].isNull())
        return Variant::null();
    auto serial = TRY(dateArg(args[0]));
    return Variant::fromInteger(qint16(dayInWeek(partsOf(serial).date, firstDay) + 1));
}

Result<Variant> WeekdayName(BuiltinContext &, QVector<Variant> &args)
{
    auto weekday = TRY(args[0].toLong());
    bool abbreviated = false;
    if (hasArg(args, 1)) {
        auto b = TRY(args[1].toBool());
        abbreviated = b;
    }
    auto firstDay = TRY(firstDayArg(args, 2));
    if (weekday < 1 || weekday > 7)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return Variant(localeDayName((weekday - 1 + firstDay - 1) % 7 + 1, abbreviated));
}

Result<Variant> MonthName(BuiltinContext &, QVector<Variant> &args)
{
    auto month = TRY(args[0].toLong());
    bool abbreviated = false;
    if (hasArg(args, 1)) {
        auto b = TRY(args[1].toBool());
        abbreviated = b;
    }
    if (month < 1 || month > 12)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return Variant(localeMonthName(month, abbreviated));
}

Result<Variant> DateAdd(BuiltinContext &, QVector<Variant> &args)
{
    auto interval = TRY(intervalArg(args[0]));
    auto number = TRY(args[1].toDouble());
    if (args[2].isNull())
        return Variant::null();
    auto serial = TRY(dateArg(args[2]));
    const double whole = std::trunc(number);
    if (!(std::fabs(whole) < 1e13))
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const qint64 n = qint64(whole);
    const DateParts p = partsOf(serial);

    qint64 months = 0, days = 0, seconds = 0;
    switch (interval) {
    case Interval::Year: months = n * 12; break;
    case Interval::Quarter: months = n * 3; break;
    case Interval::Month: months = n; break;
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday: days = n; break;
    case Interval::Week: days = n * 7; break;
    case Interval::Hour: seconds = n * 3600; break;
    case Interval::Minute: seconds = n * 60; break;
    case Interval::Second: seconds = n; break;
    }
    if (months != 0) {
        // QDate::addMonths keeps the day, or the month's last day when the
        // target month is shorter (31 January + 1 month = 29 February).
        if (std::llabs(months) > 12 * 10000)
            return scriptError(ErrorNumber::InvalidProcedureCall);
        const QDate moved = p.date.addMonths(int(months));
        if (!moved.isValid())
            return scriptError(ErrorNumber::InvalidProcedureCall);
        return checkedDate(serialOf(moved, p.seconds));
    }
    const qint64 linear = p.day * kSecondsPerDay + p.seconds + days * kSecondsPerDay + seconds;
    if (std::llabs(linear) > qint64(kLastDateSerial + 1) * kSecondsPerDay * 2)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return checkedDate(serialOfLinear(linear));
}

Result<Variant> DateDiff(BuiltinContext &, QVector<Variant> &args)
{
    auto interval = TRY(intervalArg(args[0]));
    auto firstDay = TRY(firstDayArg(args, 3));
    auto rule = TRY(firstWeekArg(args, 4));
    Q_UNUSED(rule); // week counts cross first days of weeks, whatever week 1 is
    if (anyNull(args, {1, 2}))
        return Variant::null();
    auto from = TRY(dateArg(args[1]));
    auto to = TRY(dateArg(args[2]));
    const DateParts a = partsOf(from), b = partsOf(to);
    const qint64 la = a.day * kSecondsPerDay + a.seconds, lb = b.day * kSecondsPerDay + b.seconds;
    const auto floorDiv = [](qint64 x, qint64 d) { return x / d - ((x % d != 0) && ((x < 0) != (d < 0))); };

    qint64 diff = 0;
    switch (interval) {
    case Interval::Year: diff = b.date.year() - a.date.year(); break;
    case Interval::Quarter:
        diff = (b.date.year() * 4 + quarterOf(b.date)) - (a.date.year() * 4 + quarterOf(a.date));
        break;
    case Interval::Month: diff = (b.date.year() * 12 + b.date.month()) - (a.date.year() * 12 + a.date.month()); break;
    case Interval::DayOfYear:
    case Interval::Day: diff = b.day - a.day; break;
    case Interval::Weekday: diff = (b.day - a.day) / 7; break;
    case Interval::Week:
        diff = ((b.day - dayInWeek(b.date, firstDay)) - (a.day - dayInWeek(a.date, firstDay))) / 7;
        break;
    case Interval::Hour: diff = floorDiv(lb, 3600) - floorDiv(la, 3600); break;
    case Interval::Minute: diff = floorDiv(lb, 60) - floorDiv(la, 60); break;
    case Interval::Second: diff = lb - la; break;
    }
    if (diff < -2147483648LL || diff > 2147483647LL)
        return scriptError(ErrorNumber::Overflow);
    return Variant::fromLong(qint32(diff));
}

Result<Variant> DatePart(BuiltinContext &, QVector<Variant> &args)
{
    auto interval = TRY(intervalArg(args[0]));
    auto firstDay = TRY(firstDayArg(args, 2));
    auto rule = TRY(firstWeekArg(args, 3));
    if (args[1].isNull())
        return Variant::null();
    auto serial = TRY(dateArg(args[1]));
    const DateParts p = partsOf(serial);
    int part = 0;
    switch (interval) {
    case Interval::Year: part = p.date.year(); break;
    case Interval::Quarter: part = quarterOf(p.date); break;
    case Interval::Month: part = p.date.month(); break;
    case Interval::DayOfYear: part = p.date.dayOfYear(); break;
    case Interval::Day: part = p.date.day(); break;
    case Interval::Weekday: part = dayInWeek(p.date, firstDay) + 1; break;
    case Interval::Week: part = weekOfYear(p, firstDay, rule); break;
    case Interval::Hour: part = p.seconds / 3600; break;
    case Interval::Minute: part = p.seconds / 60 % 60; break;
    case Interval::Second: part = p.seconds % 60; break;
    }
    return Variant::fromInteger(qint16(part));
}

// DateSerial(year, month, day): months and days past their range carry into
// the year and month (month 14 is February of the next year, day 0 the last
// day of the month before). Years 0 to 29 are 2000 to 2029, 30 to 99 are
// 1930 to 1999.
Result<Variant> DateSerial(BuiltinContext &, QVector<Variant> &args)
{
    auto year = TRY(args[0].toInteger());
    auto month = TRY(args[1].toInteger());
    auto day = TRY(args[2].toInteger());
    int fullYear = year;
    if (fullYear >= 0 && fullYear < 30)
        fullYear += 2000;
    else if (fullYear >= 30 && fullYear < 100)
        fullYear += 1900;
    const int months = fullYear * 12 + (month - 1);
    const int y = months >= 0 ? months / 12 : -((-months + 11) / 12);
    const int m = months - y * 12 + 1;
    if (y < 100 || y > 9999)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const QDate date = QDate(y, m, 1).addDays(day - 1);
    return checkedDate(serialOf(date, 0));
}

Result<Variant> TimeSerial(BuiltinContext &, QVector<Variant> &args)
{
    auto hour = TRY(args[0].toInteger());
    auto minute = TRY(args[1].toInteger());
    auto second = TRY(args[2].toInteger());
    return checkedDate(serialOfLinear(qint64(hour) * 3600 + qint64(minute) * 60 + second));
}

Result<Variant> DateValue(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return Variant::null();
    auto serial = TRY(dateArg(args[0]));
    return Variant::fromDate(double(partsOf(serial).day));
}

Result<Variant> TimeValue(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return Variant::null();
    auto serial = TRY(dateArg(args[0]));
    return Variant::fromDate(partsOf(serial).seconds / double(kSecondsPerDay));
}

Result<Variant> FormatDateTime(BuiltinContext &, QVector<Variant> &args)
{
    static const char *const kNamedFormats[] = {"General Date", "Long Date", "Short Date", "Long Time",
                                                "Short Time"};
    auto format = TRY(longArg(args, 1, 0));
    if (format < 0 || format > 4)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    if (args[0].isNull())
        return scriptError(ErrorNumber::TypeMismatch);
    auto serial = TRY(dateArg(args[0]));
    auto text = TRY(vbFormat(Variant::fromDate(serial), QLatin1String(kNamedFormats[format])));
    return Variant(std::move(text));
}

} // namespace sorvane::vb::functions
