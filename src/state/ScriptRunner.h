#pragma once

#include <QString>

namespace sorvane {

// Runs a script in a fresh engine of `language` with the program's objects
// exposed; a failure is reported when `showErrors`.
class ScriptRunner {
public:
    virtual ~ScriptRunner() = default;
    virtual void RunScript(const QString &code, const QString &language, bool showErrors) = 0;
};

} // namespace sorvane
