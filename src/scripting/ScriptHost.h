#pragma once

#include "core/ScriptError.h"
#include "platform/Platform.h"
#include "state/ScriptRunner.h"

#include <QString>

#include <chrono>
#include <functional>

namespace sorvane {

class Dialogs;
class TextCodec;
class Variant;
struct ObjectContext;
struct WindowState;

// The one way any script runs: a fresh engine per run, the program's
// objects exposed under fixed names, and a failure shown in the six-line
// report.
class ScriptHost : public ScriptRunner {
public:
    // Hands one program object to the engine under its name.
    using Expose = std::function<void(const QString &name, const Variant &value)>;
    // Exposes the window's objects (the window, its controls, the
    // application objects) through `expose`, in the order scripts see them.
    using ProgramObjects = std::function<void(const Expose &expose)>;

    ScriptHost(WindowState &state, PlatformServices platform, TextCodec &codec, Dialogs &dialogs,
               ProgramObjects programObjects)
        : m_state(state), m_platform(platform), m_codec(codec), m_dialogs(dialogs),
          m_programObjects(std::move(programObjects))
    {
    }

    void RunScript(const QString &code, const QString &language, bool showErrors) override;

    // How long a script may run without returning to the host.
    std::chrono::milliseconds budget{30000};

    // The six lines of the report, joined by CR LF.
    static QString errorReport(const ScriptError &error);

private:
    Status runJavaScript(const QString &code, const QString &language);
    Status runVBScript(const QString &code);
    void report(const ScriptError &error);
    ObjectContext objectContext() const;

    WindowState &m_state;
    PlatformServices m_platform;
    TextCodec &m_codec;
    Dialogs &m_dialogs;
    ProgramObjects m_programObjects;
};

} // namespace sorvane
