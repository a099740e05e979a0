#pragma once

#include "core/ScriptError.h"
#include "core/Variant.h"
#include "text/VbDateFormat.h"

#include <QString>

#include <optional>

namespace sorvane {

// A value written by the scripts' format-pattern rules (Chinese locale:
// dates "yyyy/m/d", "yyyy年m月d日", day and month names in Chinese).
//
// - Named formats (any case): General Number, Currency, Fixed, Standard,
//   Percent, Scientific, Yes/No, True/False, On/Off, General Date, Long Date,
//   Medium Date, Short Date, Long Time, Medium Time, Short Time.
// - Date and time patterns: d dd ddd dddd ddddd dddddd, w ww, m mm mmm mmmm
//   (m and mm right after an hour give minutes), q, y yy yyyy, h hh, n nn,
//   s ss, ttttt, c, AM/PM am/pm A/P a/p AMPM (12-hour clock); Sunday is the
//   first day of the week and the week of 1 January the first week.
// - Number patterns: 0 # . , (grouping, or scaling by 1000 before the
//   point) % E+ E- e+ e-, up to four sections split by ";" (positive,
//   negative, zero, and a fourth that is ignored), rounding half away from
//   zero on the value's 15 significant digits.
// - "\x" and "text in quotes" are literal in both kinds.
// Numbers and numeric texts take a number pattern; dates, and numbers as
// day serials, a date pattern; a text that reads as neither comes back as
// it is. Null fails (94); a date outside the years 100 to 9999 fails (6).
Result<QString> vbFormat(const Variant &value, const QString &format);

} // namespace sorvane
