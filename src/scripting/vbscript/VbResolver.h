#pragma once

#include "core/ScriptError.h"
#include "scripting/vbscript/VbGlobals.h"

#include <memory>

namespace sorvane::vb {

// Binds every name of a parsed program to what it stands for (a slot, a
// procedure, a constant, a function) before it runs, and registers the
// program's procedures, classes, constants and variables as globals.
// `scope` is the procedure whose frame the code runs in (Execute and Eval
// inside a procedure); new names made there become globals, as its frame
// is already laid out.
Status bindProgram(const std::shared_ptr<Program> &program, Globals &globals, Procedure *scope = nullptr);

} // namespace sorvane::vb
