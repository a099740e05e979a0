#pragma once

#include "core/ScriptError.h"
#include "platform/Platform.h"
#include "scripting/ScriptWatchdog.h"
#include "state/ScriptRunner.h"

#include <QString>

#include <chrono>
#include <functional>
#include <vector>

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

    // How long a script may run; only its time waiting for the user (a box
    // open) is not counted.
    std::chrono::milliseconds budget{30000};
    // The time the budget is measured in, and how its watching thread starts.
    ScriptWatchdog::Now now = ScriptWatchdog::steadyNow;
    ScriptWatchdog::ThreadStarter startWatchdog = ScriptWatchdog::startThread;
    // How many runs may be nested (a script that loads a file whose
    // transform script runs, a script taking itself in again): a run
    // deeper than this is refused with "Out of stack space".
    static constexpr int kMaxNesting = 16;

    // A box opens (true) or is answered (false): the running scripts wait
    // for the user meanwhile.
    void userWait(bool waiting);
    // Whether a running script's time is used up; each one whose time is up
    // is stopped.
    bool timeIsUp();

    // The six lines of the report, joined by CR LF.
    static QString errorReport(const ScriptError &error);

private:
    Status run(const QString &code, const QString &language);
    Status runJavaScript(const QString &code, const QString &language);
    Status runVBScript(const QString &code);
    template <typename Engine>
    Status runWatched(Engine &engine, const std::function<Status()> &body);
    void report(const ScriptError &error);
    ObjectContext objectContext();

    WindowState &m_state;
    PlatformServices m_platform;
    TextCodec &m_codec;
    Dialogs &m_dialogs;
    ProgramObjects m_programObjects;
    int m_depth = 0;
    // The budgets of the runs under way, outermost first.
    std::vector<ScriptWatchdog *> m_watchdogs;
};

} // namespace sorvane
