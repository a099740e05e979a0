#include "text/VbDateFormat.h"

#include "text/RegExp.h"

#include <QDate>
#include <QVector>

#include <cmath>

namespace sorvane {

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kFirstSerial = -657434.0;      // 100-01-01
constexpr double kLastSerial = 2958465.999999;  // 9999-12-31 23:59:59

// The locale's words, Sunday first, January first.
const char16_t *const kDayNames[] = {u"星期日", u"星期一", u"星期二", u"星期三", u"星期四", u"星期五", u"星期六"};
const char16_t *const kDayAbbreviations[] = {u"周日", u"周一", u"周二", u"周三", u"周四", u"周五", u"周六"};
const char16_t *const kMonthNames[] = {u"一月", u"二月", u"三月", u"四月",  u"五月",   u"六月",
                                        u"七月", u"八月", u"九月", u"十月", u"十一月", u"十二月"};
const char16_t *const kMonthAbbreviations[] = {u"1月", u"2月", u"3月", u"4月",  u"5月",  u"6月",
                                                u"7月", u"8月", u"9月", u"10月", u"11月", u"12月"};
const char16_t kAm[] = u"上午";
const char16_t kPm[] = u"下午";

struct DateParts {
    QDate date;
    int hour = 0, minute = 0, second = 0;
    qint64 days = 0;     // serial day
    int seconds = 0;     // of the day
};

Result<DateParts> partsOf(double serial)
{
    if (!std::isfinite(serial) || serial < kFirstSerial || serial > kLastSerial)
        return scriptError(ErrorNumber::Overflow);
    double whole = std::trunc(serial);
    qint64 secs = std::llround(std::fabs(serial - whole) * 86400.0);
    if (secs >= 86400) {
        secs -= 86400;
        whole += serial < 0 ? -1 : 1;
    }
    DateParts p;
    p.days = qint64(whole);
    p.seconds = int(secs);
    p.date = kEpoch.addDays(p.days);
    p.hour = int(secs / 3600);
    p.minute = int(secs / 60 % 60);
    p.second = int(secs % 60);
    return p;
}

QString two(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }

QString shortDate(const DateParts &p)
{
    return QStringLiteral("%1/%2/%3").arg(p.date.year()).arg(p.date.month()).arg(p.date.day());
}
QString longDate(const DateParts &p)
{
    return QStringLiteral("%1年%2月%3日").arg(p.date.year()).arg(p.date.month()).arg(p.date.day());
}
QString longTime(const DateParts &p) { return QStringLiteral("%1:%2:%3").arg(p.hour).arg(two(p.minute), two(p.second)); }

QString generalDate(const DateParts &p)
{
    // Day 0 is written as its time alone, midnight included.
    if (p.days == 0)
        return longTime(p);
    return p.seconds == 0 ? shortDate(p) : shortDate(p) + QLatin1Char(' ') + longTime(p);
}

enum class DateToken { Literal, Day, Day2, DayAbbr, DayName, ShortDate, LongDate, Weekday, Week, Month, Month2,
                       MonthAbbr, MonthName, Quarter, DayOfYear, Year2, Year4, Hour, Hour2, Minute, Minute2,
                       Second, Second2, LongTime, General, AmPm, AmPmLocale };

struct DateItem {
    DateToken token;
    QString text; // literal text, or the AM and PM texts joined by "/"
};

int runOf(const QString &f, qsizetype i, char16_t lower)
{
    int n = 0;
    while (i + n < f.size() && f[i + n].toLower().unicode() == lower)
        ++n;
    return n;
}

bool startsWithCi(const QString &f, qsizetype i, const char *word)
{
    const QLatin1String w(word);
    return QStringView(f).mid(i, w.size()).compare(w, Qt::CaseInsensitive) == 0;
}

QVector<DateItem> parseDatePattern(const QString &f)
{
    QVector<DateItem> items;
    auto literal = [&items](const QString &s) {
        if (!items.isEmpty() && items.last().token == DateToken::Literal)
            items.last().text += s;
        else
            items.append({DateToken::Literal, s});
    };
    auto lastTimeToken = [&items]() {
        for (qsizetype k = items.size() - 1; k >= 0; --k)
            if (items[k].token != DateToken::Literal)
                return items[k].token;
        return DateToken::Literal;
    };
    for (qsizetype i = 0; i < f.size();) {
        const QChar c = f[i];
        const char16_t l = c.toLower().unicode();
        if (c == QLatin1Char('"')) {
            const qsizetype close = f.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? f.size() : close;
            literal(f.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (c == QLatin1Char('\\')) {
            if (i + 1 < f.size())
                literal(QString(f[i + 1]));
            i += 2;
            continue;
        }
        int n = runOf(f, i, l);
        switch (l) {
        case 'd': {
            static const DateToken byCount[] = {DateToken::Day, DateToken::Day2, DateToken::DayAbbr,
                                                DateToken::DayName, DateToken::ShortDate, DateToken::LongDate};
            n = std::min(n, 6);
            items.append({byCount[n - 1], {}});
            break;
        }
        case 'm': {
            const DateToken before = lastTimeToken();
            if (n <= 2 && (before == DateToken::Hour || before == DateToken::Hour2)) {
                items.append({n == 1 ? DateToken::Minute : DateToken::Minute2, {}});
            } else {
                static const DateToken byCount[] = {DateToken::Month, DateToken::Month2, DateToken::MonthAbbr,
                                                    DateToken::MonthName};
                n = std::min(n, 4);
                items.append({byCount[n - 1], {}});
            }
            break;
        }
        case 'y':
            if (n >= 4) {
                n = 4;
                items.append({DateToken::Year4, {}});
            } else if (n >= 2) {
                n = 2;
                items.append({DateToken::Year2, {}});
            } else {
                items.append({DateToken::DayOfYear, {}});
            }
            break;
        case 'h': n = std::min(n, 2); items.append({n == 1 ? DateToken::Hour : DateToken::Hour2, {}}); break;
        case 'n': n = std::min(n, 2); items.append({n == 1 ? DateToken::Minute : DateToken::Minute2, {}}); break;
        case 's': n = std::min(n, 2); items.append({n == 1 ? DateToken::Second : DateToken::Second2, {}}); break;
        case 'w': n = std::min(n, 2); items.append({n == 1 ? DateToken::Weekday : DateToken::Week, {}}); break;
        case 'q': n = 1; items.append({DateToken::Quarter, {}}); break;
        case 'c': n = 1; items.append({DateToken::General, {}}); break;
        case 't':
            if (n >= 5) {
                n = 5;
                items.append({DateToken::LongTime, {}});
            } else {
                n = 1;
                literal(QString(c));
            }
            break;
        case 'a':
            if (startsWithCi(f, i, "am/pm")) {
                n = 5;
                items.append({DateToken::AmPm, f.mid(i, 5)});
            } else if (startsWithCi(f, i, "a/p")) {
                n = 3;
                items.append({DateToken::AmPm, f.mid(i, 3)});
            } else if (startsWithCi(f, i, "ampm")) {
                n = 4;
                items.append({DateToken::AmPmLocale, {}});
            } else {
                n = 1;
                literal(QString(c));
            }
            break;
        default:
            n = 1;
            literal(QString(c));
            break;
        }
        i += n;
    }
    return items;
}

QString renderDate(const DateParts &p, const QVector<DateItem> &items)
{
    bool twelveHour = false;
    for (const DateItem &item : items)
        twelveHour = twelveHour || item.token == DateToken::AmPm || item.token == DateToken::AmPmLocale;
    const int hour = twelveHour ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
    const int weekday = p.date.dayOfWeek() % 7; // 0 = Sunday
    const int dayOfYear = p.date.dayOfYear();
    const int jan1 = QDate(p.date.year(), 1, 1).dayOfWeek() % 7;

    QString out;
    for (const DateItem &item : items) {
        switch (item.token) {
        case DateToken::Literal: out += item.text; break;
        case DateToken::Day: out += QString::number(p.date.day()); break;
        case DateToken::Day2: out += two(p.date.day()); break;
        case DateToken::DayAbbr: out += QString::fromUtf16(kDayAbbreviations[weekday]); break;
        case DateToken::DayName: out += QString::fromUtf16(kDayNames[weekday]); break;
        case DateToken::ShortDate: out += shortDate(p); break;
        case DateToken::LongDate: out += longDate(p); break;
        case DateToken::Weekday: out += QString::number(weekday + 1); break;
        case DateToken::Week: out += QString::number((dayOfYear - 1 + jan1) / 7 + 1); break;
        case DateToken::Month: out += QString::number(p.date.month()); break;
        case DateToken::Month2: out += two(p.date.month()); break;
        case DateToken::MonthAbbr: out += QString::fromUtf16(kMonthAbbreviations[p.date.month() - 1]); break;
        case DateToken::MonthName: out += QString::fromUtf16(kMonthNames[p.date.month() - 1]); break;
        case DateToken::Quarter: out += QString::number((p.date.month() - 1) / 3 + 1); break;
        case DateToken::DayOfYear: out += QString::number(dayOfYear); break;
        case DateToken::Year2: out += two(p.date.year() % 100); break;
        case DateToken::Year4: out += QString::number(p.date.year()).rightJustified(4, QLatin1Char('0')); break;
        case DateToken::Hour: out += QString::number(hour); break;
        case DateToken::Hour2: out += two(hour); break;
        case DateToken::Minute: out += QString::number(p.minute); break;
        case DateToken::Minute2: out += two(p.minute); break;
        case DateToken::Second: out += QString::number(p.second); break;
        case DateToken::Second2: out += two(p.second); break;
        case DateToken::LongTime: out += longTime(p); break;
        case DateToken::General: out += generalDate(p); break;
        case DateToken::AmPm: {
            const qsizetype slash = item.text.indexOf(QLatin1Char('/'));
            out += p.hour < 12 ? item.text.left(slash) : item.text.mid(slash + 1);
            break;
        }
        case DateToken::AmPmLocale: out += QString::fromUtf16(p.hour < 12 ? kAm : kPm); break;
        }
    }
    return out;
}

} // namespace

Result<QString> formatGeneralDate(double serial)
{
    DateParts parts = TRY(partsOf(serial));
    return generalDate(parts);
}

Result<QString> formatDatePattern(double serial, const QString &pattern)
{
    DateParts parts = TRY(partsOf(serial));
    return renderDate(parts, parseDatePattern(pattern));
}

bool isDatePattern(const QString &f)
{
    bool dateLetter = false;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = f.indexOf(QLatin1Char('"'), i + 1);
            i = close < 0 ? f.size() : close;
            continue;
        }
        if (c == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('0') || c == QLatin1Char('#'))
            return false;
        switch (c.toLower().unicode()) {
        case 'd': case 'm': case 'y': case 'h': case 'n': case 's': case 'w': case 'q': case 'c': case 't':
            dateLetter = true;
            break;
        case 'a':
            dateLetter = dateLetter || startsWithCi(f, i, "am/pm") || startsWithCi(f, i, "a/p") ||
                         startsWithCi(f, i, "ampm");
            break;
        default:
            break;
        }
    }
    return dateLetter;
}

std::optional<double> parseDateText(const QString &text)
{
    static const QString pattern = QStringLiteral(
        "^\\s*(?:(\\d{1,4})[-/](\\d{1,2})[-/](\\d{1,2})|(\\d{1,4})\u5E74(\\d{1,2})\u6708(\\d{1,2})\u65E5)?"
        "\\s*(?:(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*([ap])?m?)?\\s*$");
    Result<RegExp> re = RegExp::compile(pattern, RegExp::IgnoreCase);
    if (!re)
        return std::nullopt;
    Result<std::optional<RegExp::Match>> m = re->match(text);
    if (!m || !m->has_value())
        return std::nullopt;
    const RegExp::Match &match = **m;
    // Groups 1 to 3: y/m/d or y-m-d; 4 to 6: the long form y年m月d日; 7 to 10: the time.
    const int d = match.groups[0].matched() ? 1 : 4;
    const bool hasDate = match.groups[d - 1].matched();
    const bool hasTime = match.groups[6].matched();
    if (!hasDate && !hasTime)
        return std::nullopt;
    double serial = 0;
    if (hasDate) {
        int year = match.group(text, d).toInt();
        if (match.groups[d - 1].length <= 2)
            year += year < 30 ? 2000 : 1900;
        const QDate date(year, match.group(text, d + 1).toInt(), match.group(text, d + 2).toInt());
        if (!date.isValid())
            return std::nullopt;
        serial = double(kEpoch.daysTo(date));
    }
    if (hasTime) {
        int hour = match.group(text, 7).toInt();
        const int minute = match.group(text, 8).toInt();
        const int second = match.group(text, 9).toInt();
        const QString half = match.group(text, 10).toLower();
        if (!half.isEmpty()) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (half == QLatin1String("p") ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59)
            return std::nullopt;
        const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
        serial += serial < 0 ? -fraction : fraction;
    }
    return serial;
}

QString localeDayName(int weekday, bool abbreviated)
{
    if (weekday < 1 || weekday > 7)
        return QString();
    return QString::fromUtf16(abbreviated ? kDayAbbreviations[weekday - 1] : kDayNames[weekday - 1]);
}

QString localeMonthName(int month, bool abbreviated)
{
    if (month < 1 || month > 12)
        return QString();
    return QString::fromUtf16(abbreviated ? kMonthAbbreviations[month - 1] : kMonthNames[month - 1]);
}

} // namespace sorvane
