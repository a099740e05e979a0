#pragma once

#include "core/ScriptError.h"

#include <QString>
#include <QVector>

#include <algorithm>
#include <cstring>
#include <memory>

namespace sorvane {

class DispatchObject;
class Variant;

// One dimension of an array: indexes lower..upper inclusive.
struct ArrayBound {
    qint32 lower = 0;
    qint32 upper = -1;
    qint32 count() const { return upper - lower + 1; }
};

// The scripts' array: one or more dimensions, the first index varying fastest.
// An array never sized has no bounds.
struct VariantArray {
    QVector<ArrayBound> bounds;
    QVector<Variant> items;

    int dimensions() const { return int(bounds.size()); }
    // The position of an element in items, or -1 when an index is out of range.
    qsizetype offsetOf(const QVector<qint32> &indexes) const;
};

// The one value type of the program: settings, host objects and both script
// engines exchange values as Variants, with the kinds and conversions of the
// scripts' platform.
class Variant {
public:
    // Every kind before String is held as plain bits.
    enum class Kind : quint8 {
        Empty, Null, Boolean, Integer, Long, Single, Double, Date, Byte, Currency, String, Object, Array
    };

    Variant() noexcept : m_bits{} {}
    Variant(bool value) noexcept : m_bits{}, m_kind(Kind::Boolean) { m_bool = value; }
    Variant(short value) noexcept : m_bits{}, m_kind(Kind::Integer) { m_integer = qint16(value); }
    Variant(int value) noexcept : m_bits{}, m_kind(Kind::Long) { m_long = qint32(value); }
    Variant(float value) noexcept : m_bits{}, m_kind(Kind::Single) { m_single = value; }
    Variant(double value) noexcept : m_bits{}, m_kind(Kind::Double) { m_double = value; }
    Variant(const QString &value) : m_kind(Kind::String) { new (&m_string) QString(value); }
    Variant(QString &&value) noexcept : m_kind(Kind::String) { new (&m_string) QString(std::move(value)); }
    Variant(const char *utf8) : Variant(QString::fromUtf8(utf8)) {}
    Variant(const char16_t *text) : Variant(QString::fromUtf16(text)) {}

    // Numbers, dates and the like are copied as bits; only texts, objects
    // and arrays have owners to tell.
    Variant(const Variant &other)
    {
        if (other.m_kind < Kind::String)
            copyBits(other);
        else
            copyOwned(other);
    }
    Variant(Variant &&other) noexcept
    {
        copyBits(other); // texts and shared pointers move as bits (relocatable)
        other.m_kind = Kind::Empty;
    }
    ~Variant()
    {
        if (m_kind >= Kind::String)
            destroyOwned();
    }
    Variant &operator=(const Variant &other)
    {
        if (m_kind < Kind::String && other.m_kind < Kind::String) {
            copyBits(other);
            return *this;
        }
        if (this != &other) {
            Variant copy(other); // before the old value goes: `other` may live inside it
            *this = std::move(copy);
        }
        return *this;
    }
    Variant &operator=(Variant &&other) noexcept
    {
        if (this == &other)
            return *this;
        if (m_kind < Kind::String) {
            copyBits(other);
            other.m_kind = Kind::Empty;
            return *this;
        }
        Variant old;
        old.copyBits(*this);
        copyBits(other);
        other.m_kind = Kind::Empty;
        return *this; // the old value goes once this holds the new one
    }

    // The same value without a reference of its own, for code that only
    // reads it while its owner keeps it unchanged. It must end through
    // forget(), never be destroyed or assigned to; copying it gives a
    // value with a reference of its own.
    static Variant borrowed(const Variant &value) noexcept
    {
        Variant v;
        v.copyBits(value);
        return v;
    }
    // Becomes Empty without letting go of what it held: the end of a
    // borrowed value.
    void forget() noexcept { m_kind = Kind::Empty; }

    static Variant null();
    static Variant fromInteger(qint16 value) { return Variant(short(value)); }
    static Variant fromLong(qint32 value) { return Variant(int(value)); }
    static Variant fromSingle(float value) { return Variant(value); }
    static Variant fromDouble(double value) { return Variant(value); }
    static Variant fromByte(quint8 value) noexcept
    {
        Variant v;
        v.m_byte = value;
        v.m_kind = Kind::Byte;
        return v;
    }
    // A Currency amount in ten-thousandths: it keeps four decimals exactly.
    static Variant fromCurrency(qint64 tenThousandths) noexcept
    {
        Variant v;
        v.m_currency = tenThousandths;
        v.m_kind = Kind::Currency;
        return v;
    }
    // A date is a day number counted from 30 December 1899, the time of day
    // as the fraction (the scripts' platform's representation).
    static Variant fromDate(double serial);
    static Variant fromObject(std::shared_ptr<DispatchObject> object);
    static Variant nothing() { return fromObject(nullptr); }
    static Variant fromArray(VariantArray array);
    // A one-dimensional array indexed from 0.
    static Variant fromList(QVector<Variant> items);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isNull() const { return kind() == Kind::Null; }
    bool isString() const { return kind() == Kind::String; }
    bool isObject() const { return kind() == Kind::Object; }
    bool isNothing() const { return isObject() && !m_object; }
    bool isArray() const { return kind() == Kind::Array; }
    bool isNumber() const; // Byte, Integer, Long, Single, Double or Currency

    // Conversions with the scripts' platform's rules and errors
    // (13 Type mismatch, 6 Overflow, 94 Invalid use of Null).
    Result<bool> toBool() const;
    Result<qint16> toInteger() const;
    Result<qint32> toLong() const;
    Result<float> toSingle() const;
    Result<double> toDouble() const;
    Result<double> toDate() const;
    Result<QString> toString() const;

    // The text a display shows: like toString(), but Empty, Null, objects
    // and arrays give the empty text instead of an error.
    QString text() const;

    // The stored value of a kind, without conversion; only valid for that kind.
    bool boolValue() const { return Q_ASSERT(m_kind == Kind::Boolean), m_bool; }
    qint16 integerValue() const { return Q_ASSERT(m_kind == Kind::Integer), m_integer; }
    qint32 longValue() const { return Q_ASSERT(m_kind == Kind::Long), m_long; }
    double doubleValue() const { return Q_ASSERT(m_kind == Kind::Double), m_double; }
    quint8 byteValue() const { return Q_ASSERT(m_kind == Kind::Byte), m_byte; }
    qint64 currencyValue() const { return Q_ASSERT(m_kind == Kind::Currency), m_currency; } // ten-thousandths
    const QString &stringValue() const { return Q_ASSERT(m_kind == Kind::String), m_string; }
    // The text for changing in place (a growing text keeps its buffer).
    QString &stringForWrite() { return Q_ASSERT(m_kind == Kind::String), m_string; }
    double dateValue() const { return Q_ASSERT(m_kind == Kind::Date), m_double; }
    const std::shared_ptr<DispatchObject> &objectValue() const { return Q_ASSERT(m_kind == Kind::Object), m_object; }
    const VariantArray &arrayValue() const { return Q_ASSERT(m_kind == Kind::Array), *m_array; }
    // The array for changing in place; an array shared with another Variant
    // is copied first, since arrays are values in the scripts' languages.
    VariantArray &arrayForWrite();

    // The name the scripts' TypeName function gives.
    QString typeName() const;
    // The number the scripts' VarType function gives.
    int varType() const;

    // Same kind and same value (objects: same object). Used by tests and
    // for dictionary keys; script comparison follows the languages' rules.
    bool operator==(const Variant &other) const;
    bool operator!=(const Variant &other) const { return !(*this == other); }

private:
    using ObjectRef = std::shared_ptr<DispatchObject>;
    using ArrayRef = std::shared_ptr<VariantArray>;

    void copyBits(const Variant &other) noexcept
    {
        std::memcpy(static_cast<void *>(&m_bits), static_cast<const void *>(&other.m_bits), sizeof m_bits);
        m_kind = other.m_kind;
    }
    void copyOwned(const Variant &other);
    void destroyOwned() noexcept;

    // One value of the kind m_kind; QString and std::shared_ptr hold no
    // pointers into themselves, so a value moves by copying its bits.
    union {
        bool m_bool;
        quint8 m_byte;
        qint16 m_integer;
        qint64 m_currency;
        qint32 m_long;
        float m_single;
        double m_double; // also a Date's serial
        QString m_string;
        ObjectRef m_object;
        ArrayRef m_array;
        struct {
            alignas(QString) unsigned char bytes[std::max(sizeof(QString), sizeof(ObjectRef))];
        } m_bits;
    };
    Kind m_kind = Kind::Empty;
};

// Reads a whole text as a number by the scripts' rules: surrounding blanks,
// a sign, digits with a decimal point and exponent, or &H / &O prefixes.
bool parseNumericText(const QString &text, double *value);

// Number to text as the scripts' platform writes it: up to `digits`
// significant digits, exponent form as 1E+20 / 1E-05.
QString formatNumber(double value, int digits = 15);

// Rounds half to even, as the platform's integer conversions do.
double roundHalfEven(double value);

// A number as a Currency amount, rounded half to even at four decimals;
// error 6 outside the range a Currency holds.
Result<Variant> currencyOf(double value);

} // namespace sorvane

Q_DECLARE_TYPEINFO(sorvane::Variant, Q_RELOCATABLE_TYPE);
