#pragma once

#include "core/ScriptError.h"

namespace sorvane::vb {

// The one way the lexer, the parser and the resolver report a fault: the
// language's compile error with the line (1-based) and column (0-based)
// where it is. The caller that knows the source adds the line's text.
ScriptError compileError(ErrorNumber number, int line, int column);

// Thrown by the parser and the resolver to leave their recursion at the
// first fault; their entry points return the error it carries.
struct CompileFailure {
    ScriptError error;
};

} // namespace sorvane::vb
