#include "scripting/vbscript/VbBuiltins.h"

#include "scripting/vbscript/VbFunctions.h"

#include <QLatin1StringView>

#include <algorithm>
#include <cstring>
#include <vector>

namespace sorvane::vb {
namespace {

namespace f = functions;

// Every built-in function with its argument counts. Looked up by binary
// search over a copy sorted by name, so the order here is free.
constexpr BuiltinInfo kBuiltins[] = {
    // Texts
    {"Len", 1, 1, f::Len}, {"LenB", 1, 1, f::LenB}, {"Left", 2, 2, f::Left}, {"Right", 2, 2, f::Right},
    {"Mid", 2, 3, f::Mid}, {"InStr", 2, 4, f::InStr}, {"InStrRev", 2, 4, f::InStrRev},
    {"Replace", 3, 6, f::Replace}, {"Split", 1, 4, f::Split}, {"Join", 1, 2, f::Join}, {"UCase", 1, 1, f::UCase},
    {"LCase", 1, 1, f::LCase}, {"Trim", 1, 1, f::Trim}, {"LTrim", 1, 1, f::LTrim}, {"RTrim", 1, 1, f::RTrim},
    {"Space", 1, 1, f::Space}, {"String", 2, 2, f::String}, {"StrComp", 2, 3, f::StrComp},
    {"StrReverse", 1, 1, f::StrReverse}, {"Asc", 1, 1, f::Asc}, {"AscW", 1, 1, f::AscW}, {"Chr", 1, 1, f::Chr},
    {"ChrW", 1, 1, f::ChrW}, {"Hex", 1, 1, f::Hex}, {"Oct", 1, 1, f::Oct}, {"Escape", 1, 1, f::Escape},
    {"Unescape", 1, 1, f::Unescape},
    // Conversions, tests and arithmetic
    {"CStr", 1, 1, f::CStr}, {"CInt", 1, 1, f::CInt}, {"CLng", 1, 1, f::CLng}, {"CDbl", 1, 1, f::CDbl},
    {"CSng", 1, 1, f::CSng}, {"CBool", 1, 1, f::CBool}, {"CByte", 1, 1, f::CByte}, {"CDate", 1, 1, f::CDate},
    {"CCur", 1, 1, f::CCur}, {"Int", 1, 1, f::Int}, {"Fix", 1, 1, f::Fix}, {"Abs", 1, 1, f::Abs},
    {"Sgn", 1, 1, f::Sgn}, {"Round", 1, 2, f::Round}, {"Sqr", 1, 1, f::Sqr}, {"Exp", 1, 1, f::Exp},
    {"Log", 1, 1, f::Log}, {"Sin", 1, 1, f::Sin}, {"Cos", 1, 1, f::Cos}, {"Tan", 1, 1, f::Tan},
    {"Atn", 1, 1, f::Atn}, {"Rnd", 0, 1, f::Rnd}, {"Randomize", 0, 1, f::Randomize},
    {"IsNumeric", 1, 1, f::IsNumeric}, {"IsDate", 1, 1, f::IsDate}, {"IsEmpty", 1, 1, f::IsEmpty},
    {"IsNull", 1, 1, f::IsNull}, {"IsObject", 1, 1, f::IsObject}, {"IsArray", 1, 1, f::IsArray},
    {"VarType", 1, 1, f::VarType}, {"TypeName", 1, 1, f::TypeName}, {"RGB", 3, 3, f::RGB},
    {"FormatNumber", 1, 5, f::FormatNumber}, {"FormatPercent", 1, 5, f::FormatPercent},
    {"FormatCurrency", 1, 5, f::FormatCurrency},
    // Arrays
    {"Array", 0, kAnyArgCount, f::Array}, {"UBound", 1, 2, f::UBound}, {"LBound", 1, 2, f::LBound},
    {"Filter", 2, 4, f::Filter},
    // Dates and times
    {"Now", 0, 0, f::Now}, {"Date", 0, 0, f::Date}, {"Time", 0, 0, f::Time}, {"Timer", 0, 0, f::Timer},
    {"Year", 1, 1, f::Year}, {"Month", 1, 1, f::Month}, {"Day", 1, 1, f::Day}, {"Hour", 1, 1, f::Hour},
    {"Minute", 1, 1, f::Minute}, {"Second", 1, 1, f::Second}, {"Weekday", 1, 2, f::Weekday},
    {"WeekdayName", 1, 3, f::WeekdayName}, {"MonthName", 1, 2, f::MonthName}, {"DateAdd", 3, 3, f::DateAdd},
    {"DateDiff", 3, 5, f::DateDiff}, {"DatePart", 2, 4, f::DatePart}, {"DateSerial", 3, 3, f::DateSerial},
    {"TimeSerial", 3, 3, f::TimeSerial}, {"DateValue", 1, 1, f::DateValue}, {"TimeValue", 1, 1, f::TimeValue},
    {"FormatDateTime", 1, 2, f::FormatDateTime},
    // The program and the script engine
    {"MsgBox", 1, 5, f::MsgBox}, {"InputBox", 1, 7, f::InputBox}, {"CreateObject", 1, 2, f::CreateObject},
    {"ScriptEngine", 0, 0, f::ScriptEngine}, {"ScriptEngineMajorVersion", 0, 0, f::ScriptEngineMajorVersion},
    {"ScriptEngineMinorVersion", 0, 0, f::ScriptEngineMinorVersion},
    {"ScriptEngineBuildVersion", 0, 0, f::ScriptEngineBuildVersion}, {"GetLocale", 0, 0, f::GetLocale},
};

struct NamedConstant {
    const char *name;
    Variant value;
};

std::vector<NamedConstant> makeConstants()
{
    const auto text = [](const char16_t *s, qsizetype n) { return Variant(QString::fromUtf16(s, n)); };
    // Flags and colours are Longs; the small enumerations are Integers.
    const auto number = [](qint32 n) { return Variant::fromLong(n); };
    const auto small = [](qint16 n) { return Variant::fromInteger(n); };
    return {
        // Texts
        {"vbCrLf", text(u"\r\n", 2)}, {"vbCr", text(u"\r", 1)}, {"vbLf", text(u"\n", 1)},
        {"vbNewLine", text(u"\r\n", 2)}, {"vbTab", text(u"\t", 1)}, {"vbNullString", Variant(QString())},
        {"vbNullChar", text(u"\0", 1)}, {"vbBack", text(u"\b", 1)}, {"vbFormFeed", text(u"\f", 1)},
        {"vbVerticalTab", text(u"\v", 1)},
        // Tristate
        {"vbTrue", small(-1)}, {"vbFalse", small(0)}, {"vbUseDefault", small(-2)},
        // Message box buttons, icons, defaults and modality
        {"vbOKOnly", number(0)}, {"vbOKCancel", number(1)}, {"vbAbortRetryIgnore", number(2)},
        {"vbYesNoCancel", number(3)}, {"vbYesNo", number(4)}, {"vbRetryCancel", number(5)},
        {"vbCritical", number(16)}, {"vbQuestion", number(32)}, {"vbExclamation", number(48)},
        {"vbInformation", number(64)}, {"vbDefaultButton1", number(0)}, {"vbDefaultButton2", number(256)},
        {"vbDefaultButton3", number(512)}, {"vbDefaultButton4", number(768)}, {"vbApplicationModal", number(0)},
        {"vbSystemModal", number(4096)}, {"vbMsgBoxHelpButton", number(16384)},
        {"vbMsgBoxSetForeground", number(65536)}, {"vbMsgBoxRight", number(524288)},
        {"vbMsgBoxRtlReading", number(1048576)},
        // Message box results
        {"vbOK", small(1)}, {"vbCancel", small(2)}, {"vbAbort", small(3)}, {"vbRetry", small(4)},
        {"vbIgnore", small(5)}, {"vbYes", small(6)}, {"vbNo", small(7)},
        // Comparison
        {"vbBinaryCompare", small(0)}, {"vbTextCompare", small(1)}, {"vbDatabaseCompare", small(2)},
        // Days and weeks
        {"vbUseSystemDayOfWeek", small(0)}, {"vbSunday", small(1)}, {"vbMonday", small(2)},
        {"vbTuesday", small(3)}, {"vbWednesday", small(4)}, {"vbThursday", small(5)}, {"vbFriday", small(6)},
        {"vbSaturday", small(7)}, {"vbUseSystem", small(0)}, {"vbFirstJan1", small(1)},
        {"vbFirstFourDays", small(2)}, {"vbFirstFullWeek", small(3)},
        // Date formats
        {"vbGeneralDate", small(0)}, {"vbLongDate", small(1)}, {"vbShortDate", small(2)},
        {"vbLongTime", small(3)}, {"vbShortTime", small(4)},
        // VarType values
        {"vbEmpty", small(0)}, {"vbNull", small(1)}, {"vbInteger", small(2)}, {"vbLong", small(3)},
        {"vbSingle", small(4)}, {"vbDouble", small(5)}, {"vbCurrency", small(6)}, {"vbDate", small(7)},
        {"vbString", small(8)}, {"vbObject", small(9)}, {"vbError", small(10)}, {"vbBoolean", small(11)},
        {"vbVariant", small(12)}, {"vbDataObject", small(13)}, {"vbDecimal", small(14)},
        {"vbByte", small(17)}, {"vbArray", small(8192)},
        // Errors
        {"vbObjectError", number(-2147221504)},
        // Colours (red in the low byte)
        {"vbBlack", number(0x000000)}, {"vbRed", number(0x0000FF)}, {"vbGreen", number(0x00FF00)},
        {"vbYellow", number(0x00FFFF)}, {"vbBlue", number(0xFF0000)}, {"vbMagenta", number(0xFF00FF)},
        {"vbCyan", number(0xFFFF00)}, {"vbWhite", number(0xFFFFFF)},
    };
}

bool nameLess(const char *a, const char *b)
{
    return QLatin1StringView(a).compare(QLatin1StringView(b), Qt::CaseInsensitive) < 0;
}

// Binary search of a table sorted by name without regard to case.
template <typename Entry>
const Entry *findByName(const std::vector<Entry> &table, const QString &name)
{
    auto it = std::lower_bound(table.begin(), table.end(), name, [](const Entry &entry, const QString &key) {
        return key.compare(QLatin1StringView(entry.name), Qt::CaseInsensitive) > 0;
    });
    if (it == table.end() || name.compare(QLatin1StringView(it->name), Qt::CaseInsensitive) != 0)
        return nullptr;
    return &*it;
}

const std::vector<BuiltinInfo> &builtins()
{
    static const std::vector<BuiltinInfo> table = [] {
        std::vector<BuiltinInfo> sorted(std::begin(kBuiltins), std::end(kBuiltins));
        std::sort(sorted.begin(), sorted.end(),
                  [](const BuiltinInfo &a, const BuiltinInfo &b) { return nameLess(a.name, b.name); });
        return sorted;
    }();
    return table;
}

const std::vector<NamedConstant> &constants()
{
    static const std::vector<NamedConstant> table = [] {
        std::vector<NamedConstant> sorted = makeConstants();
        std::sort(sorted.begin(), sorted.end(),
                  [](const NamedConstant &a, const NamedConstant &b) { return nameLess(a.name, b.name); });
        return sorted;
    }();
    return table;
}

} // namespace

const BuiltinInfo *findBuiltin(const QString &name)
{
    return findByName(builtins(), name);
}

const Variant *findConstant(const QString &name)
{
    const NamedConstant *constant = findByName(constants(), name);
    return constant ? &constant->value : nullptr;
}

} // namespace sorvane::vb
