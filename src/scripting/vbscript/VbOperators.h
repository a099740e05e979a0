#pragma once

#include "core/ScriptError.h"
#include "core/Variant.h"
#include "scripting/vbscript/VbSyntax.h"

namespace sorvane::vb {

// The language's operators on values that are no objects (the interpreter
// reads an object's default member first): Integer results that overflow
// become Long, Long ones Double; Null propagates; Empty counts as 0 or "".
Result<Variant> applyUnary(Op op, const Variant &value);
Result<Variant> applyBinary(Op op, const Variant &left, const Variant &right);

// A comparison operator. A text compared with a number compares as a
// number when either side is written as a literal in the program, else the
// number is the lesser.
Result<Variant> applyComparison(Op op, const Variant &left, const Variant &right, bool leftLiteral,
                                bool rightLiteral);

// The longest text an operator builds; longer is error 14, so a script that
// doubles a text in a loop fails instead of exhausting memory.
constexpr qsizetype kMaxTextLength = qsizetype(1) << 27;

// Whether a condition holds: Null counts as False.
Result<bool> isTrue(const Variant &value);

} // namespace sorvane::vb
