#pragma once

#include "core/ScriptError.h"
#include "core/Variant.h"

#include <QString>
#include <QVector>

#include <optional>

namespace sorvane::vb {

// Optional arguments: one left out at the end is absent from `args`; one
// skipped between others (MsgBox "text", , "title") arrives as Empty. Both
// take the argument's default.
inline bool hasArg(const QVector<Variant> &args, int index)
{
    return index < args.size() && !args[index].isEmpty();
}

// True when any of the arguments is Null: the functions that pass Null on
// return it at once.
bool anyNull(const QVector<Variant> &args, std::initializer_list<int> indexes);

// A whole-number argument (banker's rounding to a 32-bit Long); `fallback`
// when it is left out.
Result<qint32> longArg(const QVector<Variant> &args, int index, qint32 fallback);

// How texts compare: 0 (vbBinaryCompare) by code unit, 1 (vbTextCompare)
// without case; any other number fails with 5. Left out: binary.
Result<Qt::CaseSensitivity> compareArg(const QVector<Variant> &args, int index);

// The text of an argument without copying it when it already is one.
class TextArg {
public:
    static Result<TextArg> of(const Variant &value);
    const QString &operator*() const { return m_owned ? *m_owned : *m_borrowed; }
    const QString *operator->() const { return &**this; }

private:
    const QString *m_borrowed = nullptr;
    std::optional<QString> m_owned;
};

// A value as a Date serial: dates, numbers, and texts the locale reads as a
// date (13 otherwise). Serials outside the years 100 to 9999 fail with 6.
Result<double> dateArg(const Variant &value);

// The longest text a built-in makes; longer ones fail with 14 (Out of
// string space) instead of exhausting memory.
constexpr qsizetype kMaxTextLength = qsizetype(1) << 27;

// The first and last serials of the dates the language can hold.
constexpr double kFirstDateSerial = -657434.0;     // 100-01-01
constexpr double kLastDateSerial = 2958465.99999;  // 9999-12-31 23:59:59

} // namespace sorvane::vb
