#include "scripting/vbscript/VbOperators.h"

#include <cmath>
#include <limits>

namespace sorvane::vb {
namespace {

using Kind = Variant::Kind;

// A number class for arithmetic: its rank decides the result's kind, from
// the least to the most precise.
enum class Rank : quint8 { Byte, Integer, Long, Single, Double, Currency };

struct Operand {
    Rank rank = Rank::Integer;
    bool isDate = false;
    double value = 0;
};

Result<Operand> numeric(const Variant &v)
{
    Operand o;
    switch (v.kind()) {
    case Kind::Empty:
        return o;
    case Kind::Boolean:
        o.value = v.boolValue() ? -1 : 0;
        return o;
    case Kind::Integer:
        o.value = *v.toDouble();
        return o;
    case Kind::Long:
        o.rank = Rank::Long;
        o.value = *v.toDouble();
        return o;
    case Kind::Single:
        o.rank = Rank::Single;
        o.value = *v.toDouble();
        return o;
    case Kind::Double:
        o.rank = Rank::Double;
        o.value = *v.toDouble();
        return o;
    case Kind::Byte:
        o.rank = Rank::Byte;
        o.value = v.byteValue();
        return o;
    case Kind::Currency:
        o.rank = Rank::Currency;
        o.value = *v.toDouble();
        return o;
    case Kind::Date:
        o.rank = Rank::Double;
        o.isDate = true;
        o.value = v.dateValue();
        return o;
    case Kind::String: {
        double d = 0;
        if (!parseNumericText(v.stringValue(), &d))
            return scriptError(ErrorNumber::TypeMismatch);
        o.rank = Rank::Double;
        o.value = d;
        return o;
    }
    case Kind::Null:
        return scriptError(ErrorNumber::InvalidUseOfNull);
    case Kind::Object:
    case Kind::Array:
        return scriptError(ErrorNumber::TypeMismatch);
    }
    return scriptError(ErrorNumber::TypeMismatch);
}

// A whole-number result of the smallest kind at or above `rank` that holds it.
Result<Variant> fitted(double value, Rank rank)
{
    if (!std::isfinite(value))
        return scriptError(ErrorNumber::Overflow);
    switch (rank) {
    case Rank::Byte:
        if (value >= 0 && value <= 255)
            return Variant::fromByte(quint8(value));
        [[fallthrough]];
    case Rank::Integer:
        if (value >= -32768 && value <= 32767)
            return Variant::fromInteger(qint16(value));
        [[fallthrough]];
    case Rank::Long:
        if (value >= -2147483648.0 && value <= 2147483647.0)
            return Variant::fromLong(qint32(value));
        return Variant::fromDouble(value);
    case Rank::Single:
        if (std::fabs(value) <= double(std::numeric_limits<float>::max()))
            return Variant::fromSingle(float(value));
        return Variant::fromDouble(value);
    case Rank::Double:
        return Variant::fromDouble(value);
    case Rank::Currency:
        return currencyOf(value);
    }
    return Variant::fromDouble(value);
}

// Currency amounts and whole numbers, which Currency holds exactly.
bool isExactForCurrency(const Variant &v)
{
    const Kind k = v.kind();
    return k == Kind::Currency || k == Kind::Long || k == Kind::Integer || k == Kind::Byte || k == Kind::Boolean ||
           k == Kind::Empty;
}

// In ten-thousandths; only for an operand isExactForCurrency() takes.
qint64 unitsOf(const Variant &v, const Operand &o)
{
    return v.kind() == Kind::Currency ? v.currencyValue() : qint64(o.value) * 10000;
}

// Sums and products of Currency amounts and whole numbers, in whole
// ten-thousandths so that no binary fraction creeps in; error 6 beyond the
// Currency range.
Result<Variant> currencyArithmetic(Op op, const Variant &left, const Operand &a, const Variant &right,
                                   const Operand &b)
{
    const qint64 x = unitsOf(left, a), y = unitsOf(right, b);
    qint64 r = 0;
    switch (op) {
    case Op::Add:
        if (__builtin_add_overflow(x, y, &r))
            return scriptError(ErrorNumber::Overflow);
        return Variant::fromCurrency(r);
    case Op::Sub:
        if (__builtin_sub_overflow(x, y, &r))
            return scriptError(ErrorNumber::Overflow);
        return Variant::fromCurrency(r);
    default: {
        // The product has eight decimals: back to four, half to even.
        const __int128 p = __int128(x) * y;
        __int128 q = p / 10000;
        const __int128 rest = p % 10000;
        const __int128 twice = (rest < 0 ? -rest : rest) * 2;
        if (twice > 10000 || (twice == 10000 && (q % 2) != 0))
            q += p < 0 ? -1 : 1;
        if (q > std::numeric_limits<qint64>::max() || q < std::numeric_limits<qint64>::min())
            return scriptError(ErrorNumber::Overflow);
        return Variant::fromCurrency(qint64(q));
    }
    }
}

Rank combined(Rank a, Rank b)
{
    // Long with Single gives Double, as on the scripts' platform.
    if ((a == Rank::Long && b == Rank::Single) || (a == Rank::Single && b == Rank::Long))
        return Rank::Double;
    return std::max(a, b);
}

Result<Variant> dateResult(double serial)
{
    if (!std::isfinite(serial) || serial < -657434.0 || serial >= 2958466.0)
        return scriptError(ErrorNumber::Overflow);
    return Variant::fromDate(serial);
}

Result<Variant> arithmetic(Op op, const Variant &left, const Variant &right)
{
    Result<Operand> a = numeric(left);
    if (!a)
        return a.error();
    Result<Operand> b = numeric(right);
    if (!b)
        return b.error();
    const Rank rank = combined(a->rank, b->rank);
    if (rank == Rank::Currency && isExactForCurrency(left) && isExactForCurrency(right) &&
        (op == Op::Add || op == Op::Sub || op == Op::Mul))
        return currencyArithmetic(op, left, *a, right, *b);
    switch (op) {
    case Op::Add:
        if (a->isDate || b->isDate)
            return dateResult(a->value + b->value);
        return fitted(a->value + b->value, rank);
    case Op::Sub:
        if (a->isDate && b->isDate)
            return Variant::fromDouble(a->value - b->value);
        if (a->isDate || b->isDate)
            return dateResult(a->value - b->value);
        return fitted(a->value - b->value, rank);
    case Op::Mul:
        return fitted(a->value * b->value, rank);
    case Op::Div:
        if (b->value == 0)
            return scriptError(a->value == 0 ? ErrorNumber::Overflow : ErrorNumber::DivisionByZero);
        if (!std::isfinite(a->value / b->value))
            return scriptError(ErrorNumber::Overflow);
        return Variant::fromDouble(a->value / b->value);
    case Op::Pow: {
        if (a->value == 0 && b->value < 0)
            return scriptError(ErrorNumber::InvalidProcedureCall);
        if (a->value < 0 && b->value != std::trunc(b->value))
            return scriptError(ErrorNumber::InvalidProcedureCall);
        const double r = std::pow(a->value, b->value);
        if (!std::isfinite(r))
            return scriptError(ErrorNumber::Overflow);
        return Variant::fromDouble(r);
    }
    case Op::IntDiv:
    case Op::Mod: {
        const double x = roundHalfEven(a->value), y = roundHalfEven(b->value);
        if (!(x >= -2147483648.0 && x <= 2147483647.0) || !(y >= -2147483648.0 && y <= 2147483647.0))
            return scriptError(ErrorNumber::Overflow);
        if (y == 0)
            return scriptError(ErrorNumber::DivisionByZero);
        const qint64 xi = qint64(x), yi = qint64(y);
        const qint64 r = op == Op::IntDiv ? xi / yi : xi % yi;
        const bool small = a->rank <= Rank::Integer && b->rank <= Rank::Integer && !a->isDate && !b->isDate;
        return fitted(double(r), small ? Rank::Integer : Rank::Long);
    }
    default:
        return scriptError(ErrorNumber::TypeMismatch);
    }
}

// A logical operand: Boolean stays Boolean, anything else becomes a whole number.
struct Bits {
    bool isBool = false;
    bool small = true; // Integer-sized
    qint32 value = 0;
};

Result<Bits> bitsOf(const Variant &v)
{
    Bits b;
    switch (v.kind()) {
    case Kind::Boolean:
        b.isBool = true;
        b.value = v.boolValue() ? -1 : 0;
        return b;
    case Kind::Empty:
        return b;
    case Kind::Integer:
        b.value = *v.toInteger();
        return b;
    case Kind::Byte:
        b.value = v.byteValue();
        return b;
    case Kind::String: {
        const QString t = v.stringValue().trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
            b.isBool = true;
            b.value = t.size() == 4 ? -1 : 0;
            return b;
        }
        break;
    }
    default:
        break;
    }
    Result<qint32> l = v.toLong();
    if (!l)
        return l.error();
    b.small = false;
    b.value = *l;
    return b;
}

Variant bitsResult(qint32 value, const Bits &a, const Bits &b)
{
    if (a.isBool && b.isBool)
        return Variant(value != 0);
    if (a.small && b.small)
        return Variant::fromInteger(qint16(value));
    return Variant::fromLong(value);
}

Result<Variant> logical(Op op, const Variant &left, const Variant &right)
{
    const bool ln = left.isNull(), rn = right.isNull();
    if (ln || rn) {
        if (ln && rn)
            return Variant::null();
        const Variant &other = ln ? right : left;
        Result<Bits> o = bitsOf(other);
        if (!o)
            return o.error();
        switch (op) {
        case Op::And:
            if (o->value == 0)
                return o->isBool ? Variant(false) : bitsResult(0, *o, *o);
            return Variant::null();
        case Op::Or:
            if (o->value == -1)
                return o->isBool ? Variant(true) : bitsResult(-1, *o, *o);
            return Variant::null();
        case Op::Imp:
            if (ln && o->value == -1)
                return o->isBool ? Variant(true) : bitsResult(-1, *o, *o);
            if (rn && o->value == 0)
                return o->isBool ? Variant(true) : bitsResult(-1, *o, *o);
            return Variant::null();
        default:
            return Variant::null();
        }
    }
    Result<Bits> a = bitsOf(left);
    if (!a)
        return a.error();
    Result<Bits> b = bitsOf(right);
    if (!b)
        return b.error();
    qint32 r = 0;
    switch (op) {
    case Op::And: r = a->value & b->value; break;
    case Op::Or: r = a->value | b->value; break;
    case Op::Xor: r = a->value ^ b->value; break;
    case Op::Eqv: r = ~(a->value ^ b->value); break;
    case Op::Imp: r = ~a->value | b->value; break;
    default: return scriptError(ErrorNumber::TypeMismatch);
    }
    return bitsResult(r, *a, *b);
}

Result<Variant> textOf(const Variant &v)
{
    if (v.isNull())
        return Variant(QString());
    Result<QString> s = v.toString();
    if (!s)
        return s.error();
    return Variant(std::move(*s));
}


} // namespace

Result<Variant> applyUnary(Op op, const Variant &value)
{
    if (value.isNull())
        return Variant::null();
    if (op == Op::Not) {
        Result<Bits> b = bitsOf(value);
        if (!b)
            return b.error();
        return bitsResult(~b->value, *b, *b);
    }
    switch (value.kind()) {
    case Kind::Empty:
        return Variant::fromInteger(0);
    case Kind::Date:
        return dateResult(-value.dateValue());
    case Kind::Single:
        return Variant::fromSingle(-*value.toSingle());
    case Kind::Currency:
        if (value.currencyValue() == std::numeric_limits<qint64>::min())
            return scriptError(ErrorNumber::Overflow);
        return Variant::fromCurrency(-value.currencyValue());
    default:
        break;
    }
    Result<Operand> o = numeric(value);
    if (!o)
        return o.error();
    return fitted(-o->value, o->rank);
}

Result<Variant> applyBinary(Op op, const Variant &left, const Variant &right)
{
    switch (op) {
    case Op::Concat: {
        if (left.isNull() && right.isNull())
            return Variant::null();
        Result<Variant> a = textOf(left);
        if (!a)
            return a;
        Result<Variant> b = textOf(right);
        if (!b)
            return b;
        if (a->stringValue().size() + b->stringValue().size() > kMaxTextLength)
            return scriptError(ErrorNumber::OutOfStringSpace);
        return Variant(a->stringValue() + b->stringValue());
    }
    case Op::And:
    case Op::Or:
    case Op::Xor:
    case Op::Eqv:
    case Op::Imp:
        return logical(op, left, right);
    default:
        break;
    }
    if (left.isNull() || right.isNull())
        return Variant::null();
    if (op == Op::Add) {
        const bool ls = left.isString(), rs = right.isString();
        if ((ls && rs) || (ls && right.isEmpty()) || (rs && left.isEmpty()))
            return applyBinary(Op::Concat, left, right);
    }
    return arithmetic(op, left, right);
}

Result<Variant> applyComparison(Op op, const Variant &left, const Variant &right, bool leftLiteral,
                                bool rightLiteral)
{
    if (left.isNull() || right.isNull())
        return Variant::null();
    if (left.isArray() || right.isArray() || left.isObject() || right.isObject())
        return scriptError(ErrorNumber::TypeMismatch);
    int order = 0;
    const Kind lk = left.kind(), rk = right.kind();
    auto compareNumbers = [](double a, double b) { return a < b ? -1 : a > b ? 1 : 0; };
    auto compareTexts = [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseSensitive);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    };
    if (lk == Kind::String && rk == Kind::String) {
        order = compareTexts(left.stringValue(), right.stringValue());
    } else if (lk == Kind::String || rk == Kind::String) {
        const bool textLeft = lk == Kind::String;
        const Variant &text = textLeft ? left : right;
        const Variant &other = textLeft ? right : left;
        if (other.isEmpty()) {
            order = textLeft ? compareTexts(text.stringValue(), QString()) : compareTexts(QString(), text.stringValue());
        } else {
            double number = 0;
            if ((leftLiteral || rightLiteral) && parseNumericText(text.stringValue(), &number)) {
                const double o = *other.toDouble();
                order = textLeft ? compareNumbers(number, o) : compareNumbers(o, number);
            } else {
                order = textLeft ? 1 : -1; // a number is less than any text
            }
        }
    } else {
        Result<double> a = left.toDouble();
        if (!a)
            return a.error();
        Result<double> b = right.toDouble();
        if (!b)
            return b.error();
        // A Single beside a Double is compared at the Single's precision.
        if ((lk == Kind::Single && rk == Kind::Double) || (lk == Kind::Double && rk == Kind::Single))
            order = compareNumbers(double(float(*a)), double(float(*b)));
        else
            order = compareNumbers(*a, *b);
    }
    switch (op) {
    case Op::Eq: return Variant(order == 0);
    case Op::Ne: return Variant(order != 0);
    case Op::Lt: return Variant(order < 0);
    case Op::Gt: return Variant(order > 0);
    case Op::Le: return Variant(order <= 0);
    case Op::Ge: return Variant(order >= 0);
    default: return scriptError(ErrorNumber::TypeMismatch);
    }
}

Result<bool> isTrue(const Variant &value)
{
    switch (value.kind()) {
    case Kind::Boolean:
        return value.boolValue();
    case Kind::Null:
    case Kind::Empty:
        return false;
    default:
        return value.toBool();
    }
}

} // namespace sorvane::vb
