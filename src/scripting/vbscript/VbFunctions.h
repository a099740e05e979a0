#pragma once

#include "scripting/vbscript/VbBuiltins.h"

// The language's built-in functions, one entry point each, by group. The
// table in VbBuiltins.cpp names them and their argument counts.
namespace sorvane::vb::functions {

#define VB_BUILTIN(name) Result<Variant> name(BuiltinContext &context, QVector<Variant> &args)

// Texts (VbStringFunctions.cpp)
VB_BUILTIN(Len); VB_BUILTIN(Left); VB_BUILTIN(Right); VB_BUILTIN(Mid); VB_BUILTIN(InStr); VB_BUILTIN(InStrRev);
VB_BUILTIN(Replace); VB_BUILTIN(Split); VB_BUILTIN(Join); VB_BUILTIN(UCase); VB_BUILTIN(LCase); VB_BUILTIN(Trim);
VB_BUILTIN(LTrim); VB_BUILTIN(RTrim); VB_BUILTIN(Space); VB_BUILTIN(String); VB_BUILTIN(StrComp);
VB_BUILTIN(StrReverse); VB_BUILTIN(Asc); VB_BUILTIN(AscW); VB_BUILTIN(Chr); VB_BUILTIN(ChrW); VB_BUILTIN(Hex);
VB_BUILTIN(Oct); VB_BUILTIN(Escape); VB_BUILTIN(Unescape); VB_BUILTIN(LenB);

// Conversions, tests and arithmetic (VbConversionFunctions.cpp)
VB_BUILTIN(CStr); VB_BUILTIN(CInt); VB_BUILTIN(CLng); VB_BUILTIN(CDbl); VB_BUILTIN(CSng); VB_BUILTIN(CBool);
VB_BUILTIN(CByte); VB_BUILTIN(CDate); VB_BUILTIN(CCur); VB_BUILTIN(Int); VB_BUILTIN(Fix); VB_BUILTIN(Abs);
VB_BUILTIN(Sgn); VB_BUILTIN(Round); VB_BUILTIN(Sqr); VB_BUILTIN(Exp); VB_BUILTIN(Log); VB_BUILTIN(Sin);
VB_BUILTIN(Cos); VB_BUILTIN(Tan); VB_BUILTIN(Atn); VB_BUILTIN(Rnd); VB_BUILTIN(Randomize); VB_BUILTIN(IsNumeric);
VB_BUILTIN(IsDate); VB_BUILTIN(IsEmpty); VB_BUILTIN(IsNull); VB_BUILTIN(IsObject); VB_BUILTIN(IsArray);
VB_BUILTIN(VarType); VB_BUILTIN(TypeName); VB_BUILTIN(RGB); VB_BUILTIN(FormatNumber); VB_BUILTIN(FormatPercent);
VB_BUILTIN(FormatCurrency);

// Arrays (VbArrayFunctions.cpp)
VB_BUILTIN(Array); VB_BUILTIN(UBound); VB_BUILTIN(LBound); VB_BUILTIN(Filter);

// Dates and times (VbDateFunctions.cpp)
VB_BUILTIN(Now); VB_BUILTIN(Date); VB_BUILTIN(Time); VB_BUILTIN(Timer); VB_BUILTIN(Year); VB_BUILTIN(Month);
VB_BUILTIN(Day); VB_BUILTIN(Hour); VB_BUILTIN(Minute); VB_BUILTIN(Second); VB_BUILTIN(Weekday);
VB_BUILTIN(WeekdayName); VB_BUILTIN(MonthName); VB_BUILTIN(DateAdd); VB_BUILTIN(DateDiff); VB_BUILTIN(DatePart);
VB_BUILTIN(DateSerial); VB_BUILTIN(TimeSerial); VB_BUILTIN(DateValue); VB_BUILTIN(TimeValue);
VB_BUILTIN(FormatDateTime);

// The program and the script engine (VbInteractionFunctions.cpp)
VB_BUILTIN(MsgBox); VB_BUILTIN(InputBox); VB_BUILTIN(CreateObject); VB_BUILTIN(ScriptEngine);
VB_BUILTIN(ScriptEngineMajorVersion); VB_BUILTIN(ScriptEngineMinorVersion); VB_BUILTIN(ScriptEngineBuildVersion);
VB_BUILTIN(GetLocale);

#undef VB_BUILTIN

} // namespace sorvane::vb::functions
