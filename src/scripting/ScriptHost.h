#pragma once

#include "core/ScriptError.h"

#include <QString>

#include <chrono>

namespace sorvane {

class Main;

// The one way any script runs: a fresh engine per run, the program's
// objects exposed under fixed names, and a failure shown in the six-line
// report.
class ScriptHost {
public:
    explicit ScriptHost(Main &main) : m_main(main) {}

    void RunScript(const QString &code, const QString &language, bool showErrors);

    // How long a script may run without returning to the host.
    std::chrono::milliseconds budget{30000};

    // The six lines of the report, joined by CR LF.
    static QString errorReport(const ScriptError &error);

private:
    Status runJavaScript(const QString &code, const QString &language);
    Status runVBScript(const QString &code);
    void report(const ScriptError &error);

    Main &m_main;
};

} // namespace sorvane
