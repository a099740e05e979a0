#pragma once

#include "platform/Platform.h"
#include "core/ScriptError.h"
#include "core/Variant.h"

#include <QString>

#include <functional>

namespace sorvane {

class Registry;
class TextCodec;

// What the objects scripts create take from the program: the platform's
// services, the text codec for named character sets, the per-user registry
// (the platform's when not given), and the folder relative paths start from
// (the process's when empty).
struct ObjectContext {
    PlatformServices platform;
    TextCodec *codec = nullptr;
    Registry *registry = nullptr;
    QString currentFolder;
    // Told when a script starts (true) and ends (false) waiting on a program
    // it ran: a wait for the user, as a box's is.
    std::function<void(bool waiting)> onWait;
};

// The objects scripts create by name (`new ActiveXObject(progId)`,
// `CreateObject(progId)`). Names compare without regard to case; an unknown
// name is error 429.
Result<Variant> createObject(const QString &progId, const ObjectContext &context);

// The names createObject knows, in table order.
QStringList creatableObjects();

} // namespace sorvane
