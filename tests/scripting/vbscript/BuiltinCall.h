#pragma once

#include "VariantPrinter.h"
#include "scripting/vbscript/VbBuiltins.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

namespace sorvane::vb::testing_support {

// One call of a built-in and what it must give: a value of a kind, or an
// error number.
struct Call {
    const char *function;
    QVector<Variant> args;
    Variant expected;
    int error = 0;
};

inline void PrintTo(const Call &call, std::ostream *out)
{
    QStringList args;
    for (const Variant &a : call.args)
        args << a.typeName() + QLatin1Char(':') + a.text();
    *out << call.function << "(" << args.join(QStringLiteral(", ")).toStdString() << ")";
}

// Calls a built-in the way the interpreter does: looked up by name, with
// the argument count checked against the table.
inline Result<Variant> callBuiltin(BuiltinContext &context, const char *name, QVector<Variant> args)
{
    const BuiltinInfo *info = findBuiltin(QString::fromLatin1(name));
    if (!info) {
        ADD_FAILURE() << "no built-in " << name;
        return scriptError(ErrorNumber::ProcedureNotDefined);
    }
    if (args.size() < info->minArgs || args.size() > info->maxArgs) {
        ADD_FAILURE() << name << " does not take " << args.size() << " arguments";
        return scriptError(ErrorNumber::WrongArgumentCount);
    }
    return info->function(context, args);
}

// Checks one row: the exact value and kind, or the error number.
inline void expectCall(BuiltinContext &context, const Call &call)
{
    Result<Variant> result = callBuiltin(context, call.function, call.args);
    if (call.error) {
        ASSERT_FALSE(result.ok()) << "gave " << result->typeName().toStdString() << " " << result->text().toStdString();
        EXPECT_EQ(result.error().number, call.error);
    } else {
        ASSERT_TRUE(result.ok()) << "error " << result.error().number << " "
                                 << result.error().description.toStdString();
        EXPECT_EQ(*result, call.expected);
    }
}

// Every function of the language's library that the table must hold.
inline QStringList languageFunctionNames()
{
    return QStringLiteral(
               "Len Left Right Mid InStr InStrRev Replace Split Join UCase LCase Trim LTrim RTrim Space String "
               "StrComp StrReverse Asc AscW Chr ChrW Hex Oct Escape Unescape CStr CInt CLng CDbl CSng CBool CByte "
               "CDate CCur Int Fix Abs Sgn Round Sqr Exp Log Sin Cos Tan Atn Rnd Randomize IsNumeric IsDate IsEmpty "
               "IsNull IsObject IsArray VarType TypeName Array UBound LBound Filter Now Date Time Timer Year Month "
               "Day Hour Minute Second Weekday WeekdayName MonthName DateAdd DateDiff DatePart DateSerial TimeSerial "
               "DateValue TimeValue FormatDateTime FormatNumber FormatPercent FormatCurrency MsgBox InputBox "
               "CreateObject")
        .split(QLatin1Char(' '));
}

// Row shorthands.
inline Call ok(const char *function, QVector<Variant> args, Variant expected)
{
    return Call{function, std::move(args), std::move(expected), 0};
}
inline Call fails(const char *function, QVector<Variant> args, int error)
{
    return Call{function, std::move(args), Variant(), error};
}

inline Variant I(int n) { return Variant::fromInteger(qint16(n)); }
inline Variant L(qint32 n) { return Variant::fromLong(n); }
inline Variant D(double n) { return Variant::fromDouble(n); }
inline Variant S(const char *text) { return Variant(QString::fromUtf8(text)); }
inline Variant Null() { return Variant::null(); }
inline Variant Dt(double serial) { return Variant::fromDate(serial); }
inline Variant List(QVector<Variant> items) { return Variant::fromList(std::move(items)); }

} // namespace sorvane::vb::testing_support
