#include "scripting/vbscript/VbBuiltins.h"

namespace sorvane::vb {

const BuiltinInfo *findBuiltin(const QString &)
{
    return nullptr;
}

const Variant *findConstant(const QString &)
{
    return nullptr;
}

} // namespace sorvane::vb
