#pragma once

#include "scripting/ScriptWatchdog.h"
#include "scripting/objects/ScriptError.h"

#include <QString>

#include <chrono>
#include <vector>

namespace sorvane {

class Main;

// The one way any script runs: a fresh engine per run, the program's
// objects exposed under fixed names, and a failure shown in the six-line
// report.
class ScriptHost {
public:
    explicit ScriptHost(Main &main) : m_main(main) {}

    void RunScript(const QString &code, const QString &language, bool showErrors);

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

    Main &m_main;
    int m_depth = 0;
    // The budgets of the runs under way, outermost first.
    std::vector<ScriptWatchdog *> m_watchdogs;
};

} // namespace sorvane
