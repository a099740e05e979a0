#include "text/VbFormat.h"

#include "text/VbDateFormat.h"
#include "text/VbNumberFormat.h"

#include <cmath>

namespace sorvane {

namespace {

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
            return formatGeneralDate(*serial);
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
        return formatDatePattern(*serial, pattern);
    }

    const std::optional<double> number = numberOf(value);
    if (!number)
        return value.toString();
    if (!std::isfinite(*number))
        return formatNumber(*number, 15);
    return formatNumberPattern(*number, pattern);
}

} // namespace sorvane
