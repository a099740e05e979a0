#pragma once

#include "core/ScriptError.h"
#include "core/Variant.h"
#include "scripting/objects/ObjectFactory.h"

#include <QString>
#include <QVector>

#include <functional>

namespace sorvane {

class Dialogs;

namespace vb {

// What the language's built-in functions take from the program. Every
// field may be left empty in tests; a function that needs a missing one
// fails with error 429 instead of crashing.
struct BuiltinContext {
    Dialogs *dialogs = nullptr;          // MsgBox and InputBox
    ObjectContext objects;               // CreateObject
    std::function<double()> now;         // local date and time as a Date serial; the system clock when empty
    quint32 randomSeed = 0x50000;        // Rnd's state, kept per run
    float lastRandom = 0;                // what Rnd(0) repeats
};

// A built-in function: its arguments as passed (missing optional ones are
// simply absent; one skipped between others, as in MsgBox "text", , "title",
// is passed as Empty and takes its default), its result or the language's
// error. It reads the arguments and changes none of them in the list (the
// interpreter may lend it values it does not own); it may keep a copy of
// the whole list.
using BuiltinFunction = Result<Variant> (*)(BuiltinContext &context, QVector<Variant> &args);

struct BuiltinInfo {
    const char *name;
    int minArgs;
    int maxArgs; // kAnyArgCount for Array
    BuiltinFunction function;
};

inline constexpr int kAnyArgCount = 0x7FFFFFFF;

// The function of that name, compared without regard to case; nullptr when
// the language has none.
const BuiltinInfo *findBuiltin(const QString &name);

// The language's named constants (vbCrLf, vbOKOnly, ...); nullptr when there
// is none of that name.
const Variant *findConstant(const QString &name);

} // namespace vb
} // namespace sorvane
