#include "text/TextUtilities.h"

#include "text/RegExp.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace sorvane::TextUtilities {

namespace {

// White space as \s reads it, and NUL.
bool isTrimmed(char16_t c)
{
    if (c <= 0x20)
        return c == 0 || c == 0x20 || (c >= 0x09 && c <= 0x0D);
    switch (c) {
    case 0x00A0: case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000: case 0xFEFF:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

const QString kLiteralPattern = QStringLiteral("^/(.*?)/([igm]{0,3})$");

QString keyTextPattern(const QString &keyName)
{
    return QStringLiteral("(?:^|[\\r\\n]+)(\\[") + keyName + QStringLiteral("\\])(.*?[\\r\\n](?:[\\r\\n][^\\[].*)*)");
}

int digitValue(char16_t c, int base)
{
    int v = 99;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

bool isBlank(char16_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

QString TrimSpace(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    const char16_t *p = reinterpret_cast<const char16_t *>(text.utf16());
    while (begin < end && isTrimmed(p[begin]))
        ++begin;
    while (end > begin && isTrimmed(p[end - 1]))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

Result<QString> Trim(const Variant &cText)
{
    QString text = TRY(cText.toString());
    return TrimSpace(text);
}

QString CutAtNull(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

Result<bool> Test(const QString &pText, const QString &cText)
{
    RegExp re = TRY(RegExp::compile(pText, RegExp::IgnoreCase));
    return re.test(cText);
}

Result<QString> Replace(const QString &cText, const QString &pText, const QString &rText)
{
    RegExp re = TRY(RegExp::compile(pText));
    return re.replace(cText, rText, true);
}

Result<QString> RegExpText(const QString &cText, const QString &pText, const QString &rText)
{
    QString pattern = pText;
    unsigned options = RegExp::NoOptions;
    bool global = false;
    Result<RegExp> literal = RegExp::compile(kLiteralPattern);
    if (literal) {
        Result<std::optional<RegExp::Match>> parts = literal->match(pText);
        if (parts && parts->has_value()) {
            const RegExp::Match &m = **parts;
            pattern = m.group(pText, 1);
            const QString flags = m.group(pText, 2);
            if (flags.contains(QLatin1Char('i')))
                options |= RegExp::IgnoreCase;
            if (flags.contains(QLatin1Char('m')))
                options |= RegExp::Multiline;
            global = flags.contains(QLatin1Char('g'));
        }
    }
    Result<RegExp> re = RegExp::compile(pattern, options);
    if (re) {
        Result<QString> replaced = re->replace(cText, rText, global);
        if (replaced)
            return replaced;
    }
    return Replace(cText, pText, rText);
}

qint32 GetCount(const Variant &array)
{
    if (!array.isArray())
        return 0;
    const VariantArray &a = array.arrayValue();
    if (a.dimensions() == 0)
        return 0;
    const qint64 count = qint64(a.bounds[0].upper) + 1;
    return count > 0 && count <= std::numeric_limits<qint32>::max() ? qint32(count) : 0;
}

void Push(Variant &array, const Variant &value)
{
    if (!array.isArray())
        return;
    VariantArray &a = array.arrayForWrite();
    if (a.dimensions() == 0) {
        a.bounds = {ArrayBound{0, 0}};
        a.items = {value};
        return;
    }
    // Growing keeps the elements and makes the lower bound 0; only a
    // one-dimensional array that already starts at 0 can keep its contents so.
    if (a.dimensions() != 1 || a.bounds[0].lower != 0 || a.bounds[0].upper == std::numeric_limits<qint32>::max())
        return;
    a.bounds[0].upper += 1;
    a.items.resize(a.bounds[0].count());
    a.items.last() = value;
}

Result<Variant> GetKeyText(const QString &profile, const QString &keyName, const QString &sType)
{
    RegExp re = TRY(RegExp::compile(keyTextPattern(keyName), RegExp::IgnoreCase));
    std::optional<RegExp::Match> found = TRY(re.match(profile));
    const bool isArray = sType.compare(QLatin1String("Array"), Qt::CaseInsensitive) == 0;
    if (!found.has_value()) {
        if (isArray)
            return Variant::fromList({QString(), QString(), QString()});
        return Variant(QString());
    }
    const RegExp::Match &m = *found;
    const QString whole = TrimSpace(m.value(profile));
    const QString key = TrimSpace(m.group(profile, 1));
    const QString value = TrimSpace(m.group(profile, 2));
    if (isArray)
        return Variant::fromList({whole, key, value});
    if (sType.compare(QLatin1String("key"), Qt::CaseInsensitive) == 0)
        return Variant(key);
    if (sType.compare(QLatin1String("value"), Qt::CaseInsensitive) == 0)
        return Variant(value);
    return Variant(whole);
}

double parseCNumber(const char *text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, cLocale);
}

Result<double> numericPrefix(const QString &text)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(p[i]))
        ++i;

    if (i < n && p[i] == '&') {
        int base = 0;
        qsizetype j = i + 1;
        if (j < n && (p[j] == 'H' || p[j] == 'h')) {
            base = 16;
            ++j;
        } else if (j < n && (p[j] == 'O' || p[j] == 'o')) {
            base = 8;
            ++j;
        } else if (j < n && digitValue(p[j], 8) >= 0) {
            base = 8;
        }
        if (base == 0)
            return 0.0;
        quint64 raw = 0;
        int digits = 0;
        for (; j < n && digitValue(p[j], base) >= 0; ++j) {
            raw = raw * quint64(base) + quint64(digitValue(p[j], base));
            ++digits;
            if (raw > 0xFFFFFFFFull)
                return scriptError(ErrorNumber::Overflow);
        }
        // Up to 16 bits written in at most 4 hex or 6 octal digits read as a
        // 16-bit integer, anything longer as a 32-bit one (so &HFFFF is -1).
        if (raw <= 0xFFFF && digits <= (base == 16 ? 4 : 6))
            return double(qint16(quint16(raw)));
        return double(qint32(quint32(raw)));
    }

    QByteArray number;
    if (i < n && (p[i] == '+' || p[i] == '-'))
        number += char(p[i++]);
    bool anyDigit = false;
    while (i < n && p[i] >= '0' && p[i] <= '9') {
        number += char(p[i++]);
        anyDigit = true;
    }
    if (i < n && p[i] == '.') {
        number += char(p[i++]);
        while (i < n && p[i] >= '0' && p[i] <= '9') {
            number += char(p[i++]);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    if (i < n && (p[i] == 'e' || p[i] == 'E' || p[i] == 'd' || p[i] == 'D')) {
        qsizetype j = i + 1;
        QByteArray exponent("e");
        if (j < n && (p[j] == '+' || p[j] == '-'))
            exponent += char(p[j++]);
        const qsizetype digitsStart = j;
        while (j < n && p[j] >= '0' && p[j] <= '9')
            exponent += char(p[j++]);
        if (j > digitsStart)
            number += exponent;
    }
    const double value = parseCNumber(number.constData());
    if (!std::isfinite(value))
        return scriptError(ErrorNumber::Overflow);
    return value;
}

Result<qint32> vbVal(const Variant &value)
{
    QString text = TRY(value.toString());
    double number = TRY(numericPrefix(text));
    const double rounded = roundHalfEven(number);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return scriptError(ErrorNumber::Overflow);
    return qint32(rounded);
}

} // namespace sorvane::TextUtilities
