#include "scripting/vbscript/VbCompileError.h"

namespace sorvane::vb {

ScriptError compileError(ErrorNumber number, int line, int column)
{
    ScriptError e = scriptError(number);
    e.line = line;
    e.column = column;
    return e;
}

} // namespace sorvane::vb
