#include "text/VbFormat.h"

#include "text/RegExp.h"

#include <QDate>
#include <QStringList>

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

struct NamedFormat {
    const char *name;
    const char16_t *pattern; // nullptr: the general form of the kind
    bool date;
};

// The named formats and the patterns they stand for.
constexpr NamedFormat kNamedFormats[] = {
    {"General Number", nullptr, false},
    {"Currency", u"¥#,##0.00;¥-#,##0.00", false},
    {"Fixed", u"0.00", false},
    {"Standard", u"#,##0.00", false},
    {"Percent", u"0.00%", false},
    {"Scientific", u"0.00E+00", false},
    {"Yes/No", u"\"Yes\";\"Yes\";\"No\"", false},
    {"True/False", u"\"True\";\"True\";\"False\"", false},
    {"On/Off", u"\"On\";\"On\";\"Off\"", false},
    {"General Date", nullptr, true},
    {"Long Date", u"yyyy年m月d日", true},
    {"Medium Date", u"yyyy-mm-dd", true},
    {"Short Date", u"yyyy/m/d", true},
    {"Long Time", u"h:mm:ss", true},
    {"Medium Time", u"hh:mm AMPM", true},
    {"Short Time", u"hh:mm", true},
};

// ---------------------------------------------------------------- dates

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

namespace {

// ---------------------------------------------------------------- numbers

QStringList splitSections(const QString &f)
{
    QStringList sections;
    QString current;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = f.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? f.size() - 1 : close;
            current += f.mid(i, end - i + 1);
            i = end;
        } else if (c == QLatin1Char('\\') && i + 1 < f.size()) {
            current += c;
            current += f[++i];
        } else if (c == QLatin1Char(';')) {
            sections.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    sections.append(current);
    return sections;
}

enum class NumKind { Literal, Digit0, DigitHash, Point, Percent, Exponent };

struct NumItem {
    NumKind kind;
    QString text; // literal text; for Exponent the sign mode "+" or "-" and the letter
};

struct NumPattern {
    QVector<NumItem> items;
    int intPlaceholders = 0, intMinDigits = 0, fracPlaceholders = 0, percent = 0, scale = 0;
    bool grouping = false, point = false;
    int expIndex = -1, expMinDigits = 0;
};

NumPattern parseNumberPattern(const QString &f)
{
    NumPattern p;
    auto literal = [&p](const QString &s) {
        if (!p.items.isEmpty() && p.items.last().kind == NumKind::Literal)
            p.items.last().text += s;
        else
            p.items.append({NumKind::Literal, s});
    };
    int pendingCommas = 0; // commas since the last integer placeholder
    bool seenZero = false;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        const bool inInteger = !p.point && p.expIndex < 0;
        if (c == QLatin1Char('"')) {
            const qsizetype close = f.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? f.size() : close;
            literal(f.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 < f.size())
                literal(QString(f[++i]));
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            const NumKind kind = c == QLatin1Char('0') ? NumKind::Digit0 : NumKind::DigitHash;
            if (p.expIndex >= 0) {
                ++p.expMinDigits; // written with the exponent, not in place
                continue;
            }
            if (inInteger) {
                if (pendingCommas > 0 && p.intPlaceholders > 0)
                    p.grouping = true;
                pendingCommas = 0;
                ++p.intPlaceholders;
                seenZero = seenZero || kind == NumKind::Digit0;
                if (seenZero)
                    ++p.intMinDigits;
            } else {
                ++p.fracPlaceholders;
            }
            p.items.append({kind, {}});
        } else if (c == QLatin1Char('.') && !p.point && p.expIndex < 0) {
            p.scale += pendingCommas;
            pendingCommas = 0;
            p.point = true;
            p.items.append({NumKind::Point, {}});
        } else if (c == QLatin1Char(',') && inInteger) {
            if (p.intPlaceholders > 0)
                ++pendingCommas;
        } else if (c == QLatin1Char('%')) {
            ++p.percent;
            p.items.append({NumKind::Percent, {}});
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && p.expIndex < 0 && i + 1 < f.size() &&
                   (f[i + 1] == QLatin1Char('+') || f[i + 1] == QLatin1Char('-')) && p.intPlaceholders > 0) {
            pendingCommas = 0;
            p.expIndex = int(p.items.size());
            p.items.append({NumKind::Exponent, QString(f[i + 1]) + c});
            ++i;
        } else {
            literal(QString(c));
        }
    }
    if (!p.point && p.expIndex < 0)
        p.scale += pendingCommas;
    return p;
}

// Digits of v >= 0 rounded half away from zero to `decimals` places, taken
// from its 15 significant digits: the integer digits without leading zeros
// (empty for zero) and exactly `decimals` fraction digits.
void decimalDigits(double v, int decimals, QString *integer, QString *fraction)
{
    QString digits;
    qsizetype point = 0;
    if (v != 0) {
        const QString e = QString::number(v, 'e', 14); // d.ddddddddddddddde±x
        const qsizetype ePos = e.indexOf(QLatin1Char('e'));
        digits = e.left(1) + e.mid(2, ePos - 2);
        point = e.mid(ePos + 1).toInt() + 1;
    } else {
        digits = QStringLiteral("0");
        point = 1;
    }
    if (point < 0) {
        digits = QString(-point, QLatin1Char('0')) + digits;
        point = 0;
    }
    if (point > digits.size())
        digits += QString(point - digits.size(), QLatin1Char('0'));
    const qsizetype keep = point + decimals;
    if (keep < digits.size()) {
        const bool up = digits[keep] >= QLatin1Char('5');
        digits.truncate(keep);
        if (up) {
            qsizetype k = keep - 1;
            for (; k >= 0; --k) {
                if (digits[k] == QLatin1Char('9')) {
                    digits[k] = QLatin1Char('0');
                } else {
                    digits[k] = QChar(digits[k].unicode() + 1);
                    break;
                }
            }
            if (k < 0) {
                digits.prepend(QLatin1Char('1'));
                ++point;
            }
        }
    } else {
        digits += QString(keep - digits.size(), QLatin1Char('0'));
    }
    QString in = digits.left(point);
    qsizetype lead = 0;
    while (lead < in.size() && in[lead] == QLatin1Char('0'))
        ++lead;
    *integer = in.mid(lead);
    *fraction = digits.mid(point, decimals);
}

// The pattern applied to v >= 0; `shownNonZero` tells whether a digit other
// than 0 was written.
QString renderNumber(double v, const NumPattern &p, bool *shownNonZero)
{
    v *= std::pow(100.0, p.percent);
    v /= std::pow(1000.0, p.scale);

    int exponent = 0;
    if (p.expIndex >= 0 && v != 0) {
        const int intDigits = std::max(1, p.intPlaceholders);
        exponent = int(std::floor(std::log10(v))) - (intDigits - 1);
        double mantissa = v / std::pow(10.0, exponent);
        QString in, fr;
        decimalDigits(mantissa, p.fracPlaceholders, &in, &fr);
        if (in.size() > intDigits) { // rounding carried into a new digit
            ++exponent;
            mantissa = v / std::pow(10.0, exponent);
        }
        v = mantissa;
    }

    QString integer, fraction;
    decimalDigits(v, p.fracPlaceholders, &integer, &fraction);
    if (integer.size() < p.intMinDigits)
        integer = QString(p.intMinDigits - integer.size(), QLatin1Char('0')) + integer;
    // Trailing fraction zeros go where the placeholder is "#".
    QVector<NumKind> fracKinds;
    {
        bool afterPoint = false;
        for (qsizetype k = 0; k < p.items.size(); ++k) {
            if (int(k) == p.expIndex)
                break;
            if (p.items[k].kind == NumKind::Point)
                afterPoint = true;
            else if (afterPoint && (p.items[k].kind == NumKind::Digit0 || p.items[k].kind == NumKind::DigitHash))
                fracKinds.append(p.items[k].kind);
        }
    }
    qsizetype fracLength = fraction.size();
    while (fracLength > 0 && fracKinds[fracLength - 1] == NumKind::DigitHash &&
           fraction[fracLength - 1] == QLatin1Char('0'))
        --fracLength;

    *shownNonZero = false;
    for (QChar d : integer + fraction.left(fracLength))
        *shownNonZero = *shownNonZero || d != QLatin1Char('0');

    QString out;
    int intSeen = 0;
    qsizetype intEmitted = 0, fracEmitted = 0;
    bool afterPoint = false;
    const qsizetype intTotal = integer.size();
    auto emitInteger = [&](qsizetype count) {
        count = std::min(count, intTotal - intEmitted);
        for (qsizetype k = 0; k < count; ++k) {
            out += integer[intEmitted];
            ++intEmitted;
            const qsizetype fromRight = intTotal - intEmitted;
            if (p.grouping && fromRight > 0 && fromRight % 3 == 0)
                out += QLatin1Char(',');
        }
    };
    for (qsizetype k = 0; k < p.items.size(); ++k) {
        const NumItem &item = p.items[k];
        if (int(k) == p.expIndex) {
            const bool negative = exponent < 0;
            out += item.text[1];
            if (negative)
                out += QLatin1Char('-');
            else if (item.text[0] == QLatin1Char('+'))
                out += QLatin1Char('+');
            out += QString::number(std::abs(exponent)).rightJustified(p.expMinDigits, QLatin1Char('0'));
            continue;
        }
        switch (item.kind) {
        case NumKind::Literal: out += item.text; break;
        case NumKind::Percent: out += QLatin1Char('%'); break;
        case NumKind::Point:
            if (!afterPoint)
                emitInteger(intTotal - intEmitted);
            afterPoint = true;
            out += QLatin1Char('.');
            break;
        case NumKind::Digit0:
        case NumKind::DigitHash:
            if (!afterPoint) {
                ++intSeen;
                // The first placeholder takes every digit the others cannot hold.
                const qsizetype remainingPlaceholders = p.intPlaceholders - intSeen;
                const qsizetype available = intTotal - intEmitted - remainingPlaceholders;
                if (available > 0)
                    emitInteger(available);
            } else if (fracEmitted < fracLength) {
                out += fraction[fracEmitted++];
            } else {
                ++fracEmitted;
            }
            break;
        case NumKind::Exponent: break;
        }
    }
    return out;
}

QString formatWithSections(double value, const QString &format)
{
    const QStringList sections = splitSections(format);
    QString section = sections[0];
    bool sign = value < 0;
    double magnitude = std::fabs(value);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty()) {
        section = sections[2];
    } else if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty()) {
        section = sections[1];
        sign = false;
    }
    bool nonZero = false;
    const QString body = renderNumber(magnitude, parseNumberPattern(section), &nonZero);
    return sign && nonZero ? QLatin1Char('-') + body : body;
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

// The value as a number for a number pattern, or nothing when it has none.
std::optional<double> numberOf(const Variant &value)
{
    if (value.isString()) {
        double v = 0;
        if (parseNumericText(value.stringValue(), &v))
            return v;
        return std::nullopt;
    }
    Result<double> d = value.toDouble();
    if (!d)
        return std::nullopt;
    return *d;
}

std::optional<double> serialOf(const Variant &value)
{
    if (value.isString()) {
        double v = 0;
        if (parseNumericText(value.stringValue(), &v))
            return v;
        return parseDateText(value.stringValue());
    }
    Result<double> d = value.toDouble();
    if (!d)
        return std::nullopt;
    return *d;
}

} // namespace

Result<QString> vbFormat(const Variant &value, const QString &format)
{
    if (value.isNull())
        return scriptError(ErrorNumber::InvalidUseOfNull);
    if (value.isEmpty())
        return QString();
    if (value.isObject() || value.isArray())
        return scriptError(ErrorNumber::TypeMismatch);

    QString pattern = format;
    std::optional<bool> namedDate;
    for (const NamedFormat &named : kNamedFormats) {
        if (format.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0) {
            namedDate = named.date;
            pattern = named.pattern ? QString::fromUtf16(named.pattern) : QString();
            break;
        }
    }

    if (pattern.isEmpty()) {
        if (namedDate.value_or(false) || (!namedDate && value.kind() == Variant::Kind::Date)) {
            const std::optional<double> serial = serialOf(value);
            if (!serial)
                return value.toString();
            DateParts parts = TRY(partsOf(*serial));
            return generalDate(parts);
        }
        if (namedDate) { // General Number
            const std::optional<double> number = numberOf(value);
            return number ? formatNumber(*number, 15) : value.toString();
        }
        return value.toString();
    }

    if (namedDate.value_or(isDatePattern(pattern))) {
        const std::optional<double> serial = serialOf(value);
        if (!serial)
            return value.toString();
        DateParts parts = TRY(partsOf(*serial));
        return renderDate(parts, parseDatePattern(pattern));
    }

    const std::optional<double> number = numberOf(value);
    if (!number)
        return value.toString();
    if (!std::isfinite(*number))
        return formatNumber(*number, 15);
    return formatWithSections(*number, pattern);
}

} // namespace sorvane
