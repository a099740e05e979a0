#pragma once

#include "core/ScriptError.h"
#include "core/Variant.h"

#include <QString>

namespace sorvane {

// The small text, pattern, array and number operations that the parser and
// the scripts share. Every pattern is read in the dialect of RegExp; an
// invalid one is error 5017, returned to the caller like a script error.
namespace TextUtilities {

// Leading and trailing runs of white space (as \s reads it) and NULs removed;
// inner text untouched. Fails only when the value has no text (Null, objects).
Result<QString> Trim(const Variant &cText);
// The same cut, for a text.
QString TrimSpace(const QString &text);
// The part before the first NUL, or the whole text.
QString CutAtNull(const QString &text);

// Whether `pText`, with case ignored, matches anywhere in `cText`.
Result<bool> Test(const QString &pText, const QString &cText);
// Every match of `pText` replaced by `rText` (with $1..$9, $&, $$).
Result<QString> Replace(const QString &cText, const QString &pText, const QString &rText);
// `pText` is a plain pattern (first match only, no options) or a literal
// "/pattern/flags" with flags from i, g, m. An invalid pattern falls back to
// Replace(cText, pText, rText), whose failure goes to the caller.
Result<QString> RegExpText(const QString &cText, const QString &pText, const QString &rText);

// Upper bound of the first dimension plus one; 0 for anything else.
qint32 GetCount(const Variant &array);
// Grows a one-dimensional array by one element holding `value`; a never-sized
// array becomes a one-element array. Anything else is left as it was.
void Push(Variant &array, const Variant &value);
// The section headed "[KeyName]" of an INI-like text: by `sType` (any case)
// "Text" (the default), "key", "value", or "Array" of the three.
Result<Variant> GetKeyText(const QString &profile, const QString &keyName, const QString &sType);

// The leading number of the value's text, rounded half to even to a 32-bit
// integer; error 6 when it does not fit.
Result<qint32> vbVal(const Variant &value);
// The numeric prefix of a text by the same rule, unrounded (0 when none).
// Fails (error 6) only for a hexadecimal or octal prefix beyond 32 bits.
Result<double> numericPrefix(const QString &text);

// strtod with "." as the decimal point whatever the process locale says
// (the GUI takes the user's, where it may be ",").
double parseCNumber(const char *text);

} // namespace TextUtilities

} // namespace sorvane
