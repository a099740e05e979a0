#pragma once

#include "core/ScriptError.h"
#include "scripting/vbscript/VbSyntax.h"

#include <memory>

namespace sorvane::vb {

// Reads a whole script into a syntax tree. A fault gives the language's
// compile error with its line and column (the line's text is added by the
// caller, which knows the source). `expression` reads one expression, as
// Eval does.
Result<std::shared_ptr<Program>> parseProgram(const QString &source);
Result<std::shared_ptr<Program>> parseExpression(const QString &source);

} // namespace sorvane::vb
