#include "core/Variant.h"

#include "core/DispatchObject.h"

#include <QDate>
#include <QTime>

#include <cmath>
#include <limits>

namespace sorvane {
namespace {

const QDate kDateEpoch(1899, 12, 30);

Result<double> parsedOrMismatch(const QString &text)
{
    double value = 0;
    if (parseNumericText(text, &value))
        return value;
    return scriptError(ErrorNumber::TypeMismatch);
}

// The date part and the time of day of a serial; the fraction counts
// forwards from midnight even for days before the epoch.
void splitSerial(double serial, qint64 *days, qint64 *msecs)
{
    double whole = std::trunc(serial);
    double fraction = std::fabs(serial - whole);
    qint64 ms = qint64(std::llround(fraction * 86400000.0));
    if (ms >= 86400000) {
        ms -= 86400000;
        whole += serial < 0 ? -1 : 1;
    }
    *days = qint64(whole);
    *msecs = ms;
}

// An amount in ten-thousandths as its shortest decimal text.
QString currencyText(qint64 units)
{
    const bool negative = units < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(units) : quint64(units);
    QString text = QString::number(magnitude / 10000u);
    if (const quint64 fraction = magnitude % 10000u) {
        QString decimals = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        text += QLatin1Char('.') + decimals;
    }
    return negative ? QLatin1Char('-') + text : text;
}

QString formatDate(double serial)
{
    qint64 days = 0, ms = 0;
    splitSerial(serial, &days, &ms);
    const QTime time = QTime(0, 0).addMSecs(int(ms));
    const QString timeText = QStringLiteral("%1:%2:%3")
                                 .arg(time.hour())
                                 .arg(time.minute(), 2, 10, QLatin1Char('0'))
                                 .arg(time.second(), 2, 10, QLatin1Char('0'));
    // Day 0 is written as its time alone, midnight included.
    if (days == 0)
        return timeText;
    const QDate date = kDateEpoch.addDays(days);
    const QString dateText = QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day());
    return ms == 0 ? dateText : dateText + QLatin1Char(' ') + timeText;
}

} // namespace

qsizetype VariantArray::offsetOf(const QVector<qint32> &indexes) const
{
    if (indexes.size() != bounds.size())
        return -1;
    qsizetype offset = 0;
    qsizetype stride = 1;
    for (int i = 0; i < bounds.size(); ++i) {
        const ArrayBound &b = bounds[i];
        if (indexes[i] < b.lower || indexes[i] > b.upper)
            return -1;
        offset += qsizetype(indexes[i] - b.lower) * stride;
        stride *= b.count();
    }
    return offset;
}

void Variant::copyOwned(const Variant &other)
{
    switch (other.m_kind) {
    case Kind::String:
        new (&m_string) QString(other.m_string);
        break;
    case Kind::Object:
        new (&m_object) ObjectRef(other.m_object);
        break;
    case Kind::Array:
        new (&m_array) ArrayRef(other.m_array);
        break;
    default:
        copyBits(other);
        return;
    }
    m_kind = other.m_kind;
}

void Variant::destroyOwned() noexcept
{
    switch (m_kind) {
    case Kind::String:
        m_string.~QString();
        break;
    case Kind::Object:
        m_object.~ObjectRef();
        break;
    case Kind::Array:
        m_array.~ArrayRef();
        break;
    default:
        break;
    }
}

Variant Variant::null()
{
    Variant v;
    v.m_kind = Kind::Null;
    return v;
}

Variant Variant::fromDate(double serial)
{
    Variant v;
    v.m_double = serial;
    v.m_kind = Kind::Date;
    return v;
}

Variant Variant::fromObject(std::shared_ptr<DispatchObject> object)
{
    Variant v;
    new (&v.m_object) ObjectRef(std::move(object));
    v.m_kind = Kind::Object;
    return v;
}

Variant Variant::fromArray(VariantArray array)
{
    Variant v;
    new (&v.m_array) ArrayRef(std::make_shared<VariantArray>(std::move(array)));
    v.m_kind = Kind::Array;
    return v;
}

Variant Variant::fromList(QVector<Variant> items)
{
    VariantArray array;
    array.bounds = {ArrayBound{0, qint32(items.size()) - 1}};
    array.items = std::move(items);
    return fromArray(std::move(array));
}

bool Variant::isNumber() const
{
    switch (kind()) {
    case Kind::Byte:
    case Kind::Currency:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Single:
    case Kind::Double:
        return true;
    default:
        return false;
    }
}

VariantArray &Variant::arrayForWrite()
{
    Q_ASSERT(m_kind == Kind::Array);
    ArrayRef &ref = m_array;
    if (ref.use_count() > 1)
        ref = std::make_shared<VariantArray>(*ref);
    return *ref;
}

Result<double> Variant::toDouble() const
{
    switch (kind()) {
    case Kind::Empty:
        return 0.0;
    case Kind::Null:
        return scriptError(ErrorNumber::InvalidUseOfNull);
    case Kind::Boolean:
        return boolValue() ? -1.0 : 0.0;
    case Kind::Integer:
        return double(m_integer);
    case Kind::Long:
        return double(m_long);
    case Kind::Single:
        return double(m_single);
    case Kind::Double:
        return m_double;
    case Kind::Byte:
        return double(m_byte);
    case Kind::Currency:
        return double(m_currency) / 10000.0;
    case Kind::Date:
        return dateValue();
    case Kind::String:
        return parsedOrMismatch(stringValue());
    case Kind::Object:
        return scriptError(isNothing() ? ErrorNumber::ObjectVariableNotSet : ErrorNumber::NoSuchPropertyOrMethod);
    case Kind::Array:
        return scriptError(ErrorNumber::TypeMismatch);
    }
    return scriptError(ErrorNumber::TypeMismatch);
}

Result<bool> Variant::toBool() const
{
    switch (kind()) {
    case Kind::Boolean:
        return boolValue();
    case Kind::String: {
        // #TRUE# and #FALSE# are how the platform writes Booleans to files.
        const QString t = stringValue().trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("#True#"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("#False#"), Qt::CaseInsensitive) == 0)
            return false;
        break;
    }
    default:
        break;
    }
    double number = TRY(toDouble());
    return number != 0.0;
}

Result<qint16> Variant::toInteger() const
{
    if (kind() == Kind::Integer)
        return m_integer;
    if (kind() == Kind::Long) {
        if (m_long < -32768 || m_long > 32767)
            return scriptError(ErrorNumber::Overflow);
        return qint16(m_long);
    }
    double number = TRY(toDouble());
    const double rounded = roundHalfEven(number);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return scriptError(ErrorNumber::Overflow);
    return qint16(rounded);
}

Result<qint32> Variant::toLong() const
{
    if (kind() == Kind::Long)
        return m_long;
    if (kind() == Kind::Integer)
        return qint32(m_integer);
    double number = TRY(toDouble());
    const double rounded = roundHalfEven(number);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return scriptError(ErrorNumber::Overflow);
    return qint32(rounded);
}

Result<float> Variant::toSingle() const
{
    double number = TRY(toDouble());
    if (std::isfinite(number) && std::fabs(number) > double(std::numeric_limits<float>::max()))
        return scriptError(ErrorNumber::Overflow);
    return float(number);
}

Result<double> Variant::toDate() const
{
    if (kind() == Kind::Date)
        return dateValue();
    if (kind() == Kind::String)
        return scriptError(ErrorNumber::TypeMismatch); // date texts are read by the date functions
    return toDouble();
}

Result<QString> Variant::toString() const
{
    switch (kind()) {
    case Kind::Empty:
        return QString();
    case Kind::Null:
        return scriptError(ErrorNumber::InvalidUseOfNull);
    case Kind::Boolean:
        return boolValue() ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Integer:
        return QString::number(m_integer);
    case Kind::Long:
        return QString::number(m_long);
    case Kind::Single:
        return formatNumber(double(m_single), 7);
    case Kind::Double:
        return formatNumber(m_double, 15);
    case Kind::Byte:
        return QString::number(m_byte);
    case Kind::Currency:
        return currencyText(m_currency);
    case Kind::Date:
        return formatDate(dateValue());
    case Kind::String:
        return stringValue();
    case Kind::Object:
        return scriptError(isNothing() ? ErrorNumber::ObjectVariableNotSet : ErrorNumber::NoSuchPropertyOrMethod);
    case Kind::Array:
        return scriptError(ErrorNumber::TypeMismatch);
    }
    return scriptError(ErrorNumber::TypeMismatch);
}

QString Variant::text() const
{
    Result<QString> s = toString();
    return s ? *s : QString();
}

QString Variant::typeName() const
{
    switch (kind()) {
    case Kind::Empty: return QStringLiteral("Empty");
    case Kind::Null: return QStringLiteral("Null");
    case Kind::Boolean: return QStringLiteral("Boolean");
    case Kind::Integer: return QStringLiteral("Integer");
    case Kind::Long: return QStringLiteral("Long");
    case Kind::Single: return QStringLiteral("Single");
    case Kind::Double: return QStringLiteral("Double");
    case Kind::Byte: return QStringLiteral("Byte");
    case Kind::Currency: return QStringLiteral("Currency");
    case Kind::Date: return QStringLiteral("Date");
    case Kind::String: return QStringLiteral("String");
    case Kind::Object: return isNothing() ? QStringLiteral("Nothing") : objectValue()->typeName();
    case Kind::Array: return QStringLiteral("Variant()");
    }
    return QString();
}

int Variant::varType() const
{
    static constexpr int kVarTypes[] = {0, 1, 11, 2, 3, 4, 5, 7, 17, 6, 8, 9, 8204};
    return kVarTypes[int(kind())];
}

bool Variant::operator==(const Variant &other) const
{
    if (isArray() && other.isArray()) {
        const VariantArray &a = arrayValue(), &b = other.arrayValue();
        if (&a == &b)
            return true;
        if (a.items != b.items || a.bounds.size() != b.bounds.size())
            return false;
        for (int i = 0; i < a.bounds.size(); ++i)
            if (a.bounds[i].lower != b.bounds[i].lower || a.bounds[i].upper != b.bounds[i].upper)
                return false;
        return true;
    }
    if (m_kind != other.m_kind)
        return false;
    switch (m_kind) {
    case Kind::Empty:
    case Kind::Null:
        return true;
    case Kind::Boolean: return m_bool == other.m_bool;
    case Kind::Integer: return m_integer == other.m_integer;
    case Kind::Long: return m_long == other.m_long;
    case Kind::Single: return m_single == other.m_single;
    case Kind::Byte: return m_byte == other.m_byte;
    case Kind::Currency: return m_currency == other.m_currency;
    case Kind::Double:
    case Kind::Date: return m_double == other.m_double;
    case Kind::String: return m_string == other.m_string;
    case Kind::Object: return m_object == other.m_object;
    case Kind::Array: return m_array == other.m_array;
    }
    return false;
}

bool parseNumericText(const QString &text, double *value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    int i = 0;
    bool negative = false;
    if (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i + 1 < t.size() && t[i] == QLatin1Char('&')) {
        const QChar prefix = t[i + 1].toUpper();
        const int base = prefix == QLatin1Char('H') ? 16 : prefix == QLatin1Char('O') ? 8 : 0;
        if (base == 0 || i + 2 >= t.size())
            return false;
        bool ok = false;
        const QString digits = t.mid(i + 2);
        const quint64 raw = digits.toULongLong(&ok, base);
        if (!ok || raw > 0xFFFFFFFFull)
            return false;
        // Like the platform's literals: up to 16 bits read as Integer, else as Long.
        double result = raw <= 0xFFFF && digits.size() <= (base == 16 ? 4 : 6) ? double(qint16(quint16(raw)))
                                                                                 : double(qint32(quint32(raw)));
        *value = negative ? -result : result;
        return true;
    }
    int digits = 0;
    const int start = i;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E') || t[i] == QLatin1Char('d') ||
                         t[i] == QLatin1Char('D'))) {
        int j = i + 1;
        if (j < t.size() && (t[j] == QLatin1Char('+') || t[j] == QLatin1Char('-')))
            ++j;
        const int expStart = j;
        while (j < t.size() && t[j].isDigit() && t[j].unicode() < 128)
            ++j;
        if (j == expStart)
            return false;
        i = j;
    }
    if (i != t.size())
        return false;
    QString number = t.mid(start, i - start);
    number.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double result = number.toDouble(&ok);
    if (!ok && !std::isinf(result))
        return false;
    *value = negative ? -result : result;
    return true;
}

QString formatNumber(double value, int digits)
{
    if (value == 0.0)
        return QStringLiteral("0");
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    QString s = QString::number(value, 'g', digits);
    return s.toUpper();
}

double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

Result<Variant> currencyOf(double value)
{
    // The range is +-922337203685477.5807; the last steps of a double there
    // are coarser than a unit, so the bound is checked on the scaled value.
    const double units = roundHalfEven(value * 10000.0);
    if (!(units >= -9223372036854775808.0 && units < 9223372036854775808.0))
        return scriptError(ErrorNumber::Overflow);
    return Variant::fromCurrency(qint64(units));
}

} // namespace sorvane
