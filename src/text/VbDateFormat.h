#pragma once

#include "core/ScriptError.h"

#include <QString>

#include <optional>

namespace sorvane {

// The date half of vbFormat (VbFormat.h states the patterns).

// A Date serial in the general form: the short date, then the long time
// unless it is midnight; day 0 as its time alone. A serial outside the
// years 100 to 9999 fails (6), as in formatDatePattern.
Result<QString> formatGeneralDate(double serial);
Result<QString> formatDatePattern(double serial, const QString &pattern);

// True when a pattern is one for dates: a date letter, and no 0 or #,
// outside quotes and escapes.
bool isDatePattern(const QString &pattern);

// A date or time written as this locale writes them: y/m/d or y-m-d, a time
// h:m or h:m:s with an optional AM or PM, or both; two-digit years below 30
// are in the 2000s. The Date serial, or nothing when the text is no date.
std::optional<double> parseDateText(const QString &text);

// The locale's name of a weekday (1 Sunday ... 7 Saturday) or a month
// (1 ... 12); empty outside those ranges.
QString localeDayName(int weekday, bool abbreviated);
QString localeMonthName(int month, bool abbreviated);

} // namespace sorvane
