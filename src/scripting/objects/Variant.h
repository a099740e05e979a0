#pragma once

#include "scripting/objects/ScriptError.h"

#include <QString>
#include <QVector>

#include <memory>
#include <variant>

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
    enum class Kind : quint8 { Empty, Null, Boolean, Integer, Long, Single, Double, Date, String, Object, Array };

    Variant() = default;
    Variant(bool value) : m_value(value) {}
    Variant(short value) : m_value(qint16(value)) {}
    Variant(int value) : m_value(qint32(value)) {}
    Variant(float value) : m_value(value) {}
    Variant(double value) : m_value(value) {}
    Variant(const QString &value) : m_value(value) {}
    Variant(QString &&value) : m_value(std::move(value)) {}
    Variant(const char *utf8) : m_value(QString::fromUtf8(utf8)) {}
    Variant(const char16_t *text) : m_value(QString::fromUtf16(text)) {}

    static Variant null();
    static Variant fromInteger(qint16 value) { return Variant(short(value)); }
    static Variant fromLong(qint32 value) { return Variant(int(value)); }
    static Variant fromSingle(float value) { return Variant(value); }
    static Variant fromDouble(double value) { return Variant(value); }
    // A date is a day number counted from 30 December 1899, the time of day
    // as the fraction (the scripts' platform's representation).
    static Variant fromDate(double serial);
    static Variant fromObject(std::shared_ptr<DispatchObject> object);
    static Variant nothing() { return fromObject(nullptr); }
    static Variant fromArray(VariantArray array);
    // A one-dimensional array indexed from 0.
    static Variant fromList(QVector<Variant> items);

    Kind kind() const { return Kind(m_value.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isNull() const { return kind() == Kind::Null; }
    bool isString() const { return kind() == Kind::String; }
    bool isObject() const { return kind() == Kind::Object; }
    bool isNothing() const;
    bool isArray() const { return kind() == Kind::Array; }
    bool isNumber() const; // Integer, Long, Single or Double

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
    bool boolValue() const { return std::get<bool>(m_value); }
    qint16 integerValue() const { return std::get<qint16>(m_value); }
    qint32 longValue() const { return std::get<qint32>(m_value); }
    double doubleValue() const { return std::get<double>(m_value); }
    const QString &stringValue() const { return std::get<QString>(m_value); }
    // The text for changing in place (a growing text keeps its buffer).
    QString &stringForWrite() { return std::get<QString>(m_value); }
    double dateValue() const;
    const std::shared_ptr<DispatchObject> &objectValue() const;
    const VariantArray &arrayValue() const;
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
    struct NullTag {
        bool operator==(const NullTag &) const { return true; }
    };
    struct DateTag {
        double serial;
        bool operator==(const DateTag &) const = default;
    };
    using ObjectRef = std::shared_ptr<DispatchObject>;
    using ArrayRef = std::shared_ptr<VariantArray>;

    std::variant<std::monostate, NullTag, bool, qint16, qint32, float, double, DateTag, QString, ObjectRef, ArrayRef>
        m_value;
};

// Reads a whole text as a number by the scripts' rules: surrounding blanks,
// a sign, digits with a decimal point and exponent, or &H / &O prefixes.
bool parseNumericText(const QString &text, double *value);

// Number to text as the scripts' platform writes it: up to `digits`
// significant digits, exponent form as 1E+20 / 1E-05.
QString formatNumber(double value, int digits = 15);

// Rounds half to even, as the platform's integer conversions do.
double roundHalfEven(double value);

} // namespace sorvane
