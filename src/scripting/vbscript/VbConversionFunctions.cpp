#include "scripting/vbscript/VbArguments.h"
#include "scripting/vbscript/VbFunctions.h"

#include "text/VbFormat.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace sorvane::vb::functions {
namespace {

using Kind = Variant::Kind;

// The value of a number-preserving function (Int, Fix, Abs, Round) in the
// kind the language gives it: whole-number kinds stay, Boolean and Empty
// become Integer, texts become Double, a result too big for its kind widens.
Result<Variant> sameKind(const Variant &original, double value)
{
    switch (original.kind()) {
    case Kind::Byte:
        if (value >= 0 && value <= 255)
            return Variant::fromByte(quint8(value));
        [[fallthrough]];
    case Kind::Empty:
    case Kind::Boolean:
    case Kind::Integer:
        if (value >= -32768.0 && value <= 32767.0)
            return Variant::fromInteger(qint16(value));
        [[fallthrough]];
    case Kind::Long:
        if (value >= -2147483648.0 && value <= 2147483647.0)
            return Variant::fromLong(qint32(value));
        return Variant::fromDouble(value);
    case Kind::Single:
        return Variant::fromSingle(float(value));
    case Kind::Date:
        return Variant::fromDate(value);
    case Kind::Currency:
        return currencyOf(value);
    default:
        return Variant::fromDouble(value);
    }
}

// A decimal text read into ten-thousandths without passing through a
// double, so that the whole Currency range is reached exactly; nullopt for
// any other text.
std::optional<Result<Variant>> currencyFromText(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^\\s*([+-]?)(\\d+)(?:\\.(\\d*))?\\s*$"));
    const QRegularExpressionMatch m = decimal.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString fraction = m.captured(3);
    const QString digits = m.captured(2) + fraction.left(4).leftJustified(4, QLatin1Char('0'));
    if (digits.size() > 19)
        return std::nullopt;
    bool ok = false;
    const quint64 magnitude = digits.toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    // Past the fourth decimal: half to even, as every rounding to Currency.
    bool roundUp = false;
    if (fraction.size() > 4) {
        const QChar first = fraction.at(4);
        const bool moreAfter = std::any_of(fraction.cbegin() + 5, fraction.cend(),
                                           [](QChar c) { return c != QLatin1Char('0'); });
        roundUp = first > QLatin1Char('5') || (first == QLatin1Char('5') && (moreAfter || magnitude % 2 == 1));
    }
    const bool negative = m.captured(1) == QLatin1String("-");
    const quint64 limit = negative ? quint64(1) << 63 : (quint64(1) << 63) - 1;
    const quint64 rounded = magnitude + (roundUp ? 1 : 0);
    if (rounded > limit)
        return Result<Variant>(scriptError(ErrorNumber::Overflow));
    return Result<Variant>(Variant::fromCurrency(negative ? qint64(quint64(0) - rounded) : qint64(rounded)));
}

using NumberFunction = double (*)(double);

Result<Variant> numberPreserving(QVector<Variant> &args, NumberFunction f)
{
    if (args[0].isNull())
        return Variant::null();
    auto value = TRY(args[0].toDouble());
    return sameKind(args[0], f(value));
}

// A function of a Double giving a Double; Null passes through, and
// `domain` rejects arguments outside the function's range with 5.
Result<Variant> mathFunction(QVector<Variant> &args, NumberFunction f, bool (*domain)(double) = nullptr)
{
    if (args[0].isNull())
        return Variant::null();
    auto value = TRY(args[0].toDouble());
    if (domain && !domain(value))
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const double result = f(value);
    if (std::isinf(result) && std::isfinite(value))
        return scriptError(ErrorNumber::Overflow);
    if (std::isnan(result) && !std::isnan(value)) // the sine of infinity
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return Variant::fromDouble(result);
}

// Half to even at `digits` decimals. A value whose decimal form ends in
// exactly 5 at that place counts as a half even when the binary double lies
// a hair below or above it (2.675 is stored as 2.67499999...).
double roundToDigits(double value, int digits)
{
    if (digits == 0)
        return roundHalfEven(value);
    const double scale = std::pow(10.0, digits);
    const double scaled = value * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0)
        return value;
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;
    double rounded;
    if (std::fabs(fraction - 0.5) < 1e-9 * std::max(1.0, std::fabs(scaled)))
        rounded = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    else
        rounded = std::round(scaled);
    return rounded / scale;
}

// The 24-bit linear congruential generator behind Rnd.
quint32 nextSeed(quint32 seed)
{
    return (seed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
}

float seedValue(quint32 seed)
{
    return float(seed) / 16777216.0f;
}

// The tristate arguments of the Format functions: -1 (vbTrue) on, 0
// (vbFalse) off, -2 (vbUseDefault) or absent the locale's choice.
Result<bool> tristateArg(const QVector<Variant> &args, int index, bool fallback)
{
    auto value = TRY(longArg(args, index, -2));
    if (value == -2)
        return fallback;
    return value != 0;
}

// FormatNumber, FormatPercent and FormatCurrency: a number pattern built
// from the arguments, written by the format-pattern rules.
Result<Variant> formatWith(QVector<Variant> &args, const QString &prefix, const QString &suffix)
{
    if (args[0].isNull())
        return scriptError(ErrorNumber::TypeMismatch);
    auto digits = TRY(longArg(args, 1, -1));
    if (digits < -1 || digits > 255)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    auto leadingDigit = TRY(tristateArg(args, 2, true));
    auto parentheses = TRY(tristateArg(args, 3, false));
    auto grouping = TRY(tristateArg(args, 4, true));
    auto value = TRY(args[0].toDouble());
    QString body = grouping ? QStringLiteral("#,##") : QString();
    body += leadingDigit ? QStringLiteral("0") : QStringLiteral("#");
    const int decimals = digits == -1 ? 2 : digits;
    if (decimals > 0)
        body += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    const QString positive = prefix + body + suffix;
    const QString negative = parentheses ? QLatin1Char('(') + positive + QLatin1Char(')')
                                         : prefix + QLatin1Char('-') + body + suffix;
    auto text = TRY(vbFormat(Variant::fromDouble(value), positive + QLatin1Char(';') + negative));
    return Variant(std::move(text));
}

} // namespace

Result<Variant> CStr(BuiltinContext &, QVector<Variant> &args)
{
    auto text = TRY(args[0].toString());
    return Variant(std::move(text));
}

Result<Variant> CInt(BuiltinContext &, QVector<Variant> &args)
{
    auto n = TRY(args[0].toInteger());
    return Variant::fromInteger(n);
}

Result<Variant> CLng(BuiltinContext &, QVector<Variant> &args)
{
    auto n = TRY(args[0].toLong());
    return Variant::fromLong(n);
}

Result<Variant> CDbl(BuiltinContext &, QVector<Variant> &args)
{
    auto n = TRY(args[0].toDouble());
    return Variant::fromDouble(n);
}

Result<Variant> CSng(BuiltinContext &, QVector<Variant> &args)
{
    auto n = TRY(args[0].toSingle());
    return Variant::fromSingle(n);
}

Result<Variant> CBool(BuiltinContext &, QVector<Variant> &args)
{
    auto b = TRY(args[0].toBool());
    return Variant(b);
}

// True is all bits set: 255 as a Byte.
Result<Variant> CByte(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].kind() == Kind::Boolean)
        return Variant::fromByte(args[0].boolValue() ? 255 : 0);
    auto n = TRY(args[0].toDouble());
    const double rounded = roundHalfEven(n);
    if (!(rounded >= 0 && rounded <= 255))
        return scriptError(ErrorNumber::Overflow);
    return Variant::fromByte(quint8(rounded));
}

// A text that is a number is a count of days, as a number would be.
Result<Variant> CDate(BuiltinContext &, QVector<Variant> &args)
{
    double days = 0;
    const bool count = args[0].isString() && parseNumericText(args[0].stringValue(), &days);
    auto serial = TRY(dateArg(count ? Variant::fromDouble(days) : args[0]));
    return Variant::fromDate(serial);
}

Result<Variant> CCur(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].kind() == Kind::Currency)
        return args[0];
    if (args[0].isString())
        if (std::optional<Result<Variant>> exact = currencyFromText(args[0].stringValue()))
            return *exact;
    auto n = TRY(args[0].toDouble());
    return currencyOf(n);
}

Result<Variant> Int(BuiltinContext &, QVector<Variant> &args)
{
    return numberPreserving(args, [](double v) { return std::floor(v); });
}

Result<Variant> Fix(BuiltinContext &, QVector<Variant> &args)
{
    return numberPreserving(args, [](double v) { return std::trunc(v); });
}

Result<Variant> Abs(BuiltinContext &, QVector<Variant> &args)
{
    return numberPreserving(args, [](double v) { return std::fabs(v); });
}

Result<Variant> Sgn(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return scriptError(ErrorNumber::InvalidUseOfNull);
    auto value = TRY(args[0].toDouble());
    if (std::isnan(value))
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return Variant::fromInteger(value > 0 ? 1 : value < 0 ? -1 : 0);
}

Result<Variant> Round(BuiltinContext &, QVector<Variant> &args)
{
    auto digits = TRY(longArg(args, 1, 0));
    if (args[0].isNull())
        return Variant::null();
    if (digits < 0)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    auto value = TRY(args[0].toDouble());
    if (args[0].kind() == Kind::Boolean) // a Boolean is already whole
        return args[0];
    return sameKind(args[0], roundToDigits(value, std::min(digits, 308)));
}

Result<Variant> Sqr(BuiltinContext &, QVector<Variant> &args)
{
    return mathFunction(args, [](double v) { return std::sqrt(v); }, [](double v) { return v >= 0; });
}

Result<Variant> Exp(BuiltinContext &, QVector<Variant> &args)
{
    return mathFunction(args, [](double v) { return std::exp(v); });
}

Result<Variant> Log(BuiltinContext &, QVector<Variant> &args)
{
    return mathFunction(args, [](double v) { return std::log(v); }, [](double v) { return v > 0; });
}

Result<Variant> Sin(BuiltinContext &, QVector<Variant> &args)
{
    return mathFunction(args, [](double v) { return std::sin(v); });
}

Result<Variant> Cos(BuiltinContext &, QVector<Variant> &args)
{
    return mathFunction(args, [](double v) { return std::cos(v); });
}

Result<Variant> Tan(BuiltinContext &, QVector<Variant> &args)
{
    return mathFunction(args, [](double v) { return std::tan(v); });
}

Result<Variant> Atn(BuiltinContext &, QVector<Variant> &args)
{
    return mathFunction(args, [](double v) { return std::atan(v); });
}

// Rnd: above 0 or absent, the next number; 0, the last one again; below 0,
// a number fixed by the argument (the generator restarts from it).
Result<Variant> Rnd(BuiltinContext &context, QVector<Variant> &args)
{
    float n = 1;
    if (!args.isEmpty()) {
        auto value = TRY(args[0].toSingle());
        n = value;
    }
    if (n == 0)
        return Variant::fromSingle(seedValue(context.randomSeed));
    if (n < 0) {
        quint32 bits = 0;
        std::memcpy(&bits, &n, sizeof bits);
        context.randomSeed = (bits + (bits >> 24)) & 0xFFFFFFu;
    }
    context.randomSeed = nextSeed(context.randomSeed);
    context.lastRandom = seedValue(context.randomSeed);
    return Variant::fromSingle(context.lastRandom);
}

// Randomize mixes the high half of the seed number (the time of day in
// seconds when absent) into the middle bits of the generator's state.
Result<Variant> Randomize(BuiltinContext &context, QVector<Variant> &args)
{
    double seed = 0;
    if (!args.isEmpty()) {
        auto value = TRY(args[0].toDouble());
        seed = value;
    } else {
        QVector<Variant> none;
        auto seconds = TRY(Timer(context, none));
        seed = seconds.toDouble().valueOr(0);
    }
    quint64 bits = 0;
    std::memcpy(&bits, &seed, sizeof bits);
    const quint32 high = quint32(bits >> 32);
    const quint32 mixed = ((high & 0xFFFFu) ^ (high >> 16)) << 8;
    context.randomSeed = ((context.randomSeed & 0xFF0000FFu) | mixed) & 0xFFFFFFu;
    return Variant();
}

Result<Variant> IsNumeric(BuiltinContext &, QVector<Variant> &args)
{
    const Variant &v = args[0];
    switch (v.kind()) {
    case Kind::Empty:
    case Kind::Boolean:
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Single:
    case Kind::Double:
    case Kind::Currency:
        return Variant(true);
    case Kind::String: {
        double ignored = 0;
        return Variant(parseNumericText(v.stringValue(), &ignored));
    }
    default:
        return Variant(false);
    }
}

Result<Variant> IsDate(BuiltinContext &, QVector<Variant> &args)
{
    const Variant &v = args[0];
    if (v.kind() == Kind::Date)
        return Variant(true);
    if (!v.isString())
        return Variant(false);
    return Variant(dateArg(v).ok());
}

Result<Variant> IsEmpty(BuiltinContext &, QVector<Variant> &args)
{
    return Variant(args[0].isEmpty());
}

Result<Variant> IsNull(BuiltinContext &, QVector<Variant> &args)
{
    return Variant(args[0].isNull());
}

Result<Variant> IsObject(BuiltinContext &, QVector<Variant> &args)
{
    return Variant(args[0].isObject());
}

Result<Variant> IsArray(BuiltinContext &, QVector<Variant> &args)
{
    return Variant(args[0].isArray());
}

Result<Variant> VarType(BuiltinContext &, QVector<Variant> &args)
{
    return Variant::fromInteger(qint16(args[0].varType()));
}

Result<Variant> TypeName(BuiltinContext &, QVector<Variant> &args)
{
    return Variant(args[0].typeName());
}

Result<Variant> RGB(BuiltinContext &, QVector<Variant> &args)
{
    qint32 colour = 0;
    for (int i = 2; i >= 0; --i) {
        auto part = TRY(args[i].toLong());
        if (part < 0)
            return scriptError(ErrorNumber::InvalidProcedureCall);
        colour = colour * 256 + std::min(part, 255);
    }
    return Variant::fromLong(colour);
}

Result<Variant> FormatNumber(BuiltinContext &, QVector<Variant> &args)
{
    return formatWith(args, QString(), QString());
}

Result<Variant> FormatPercent(BuiltinContext &, QVector<Variant> &args)
{
    return formatWith(args, QString(), QStringLiteral("%"));
}

Result<Variant> FormatCurrency(BuiltinContext &, QVector<Variant> &args)
{
    return formatWith(args, QString(QChar(0xA5)), QString());
}

} // namespace sorvane::vb::functions
