#pragma once

#include "core/ScriptError.h"
#include "core/Variant.h"
#include "scripting/vbscript/VbBuiltins.h"

#include <QString>

#include <functional>
#include <memory>

namespace sorvane::vb {

class Interpreter;

// One VBScript engine for one script run: globals live as long as it does.
// Code is compiled whole (names bound to slots) before it runs; errors
// carry the language's numbers, the line, column and the line's text.
class VbEngine {
public:
    // Told when a call into the host starts and ends, so the script's
    // running time can be looked at there.
    using HostCallHook = std::function<void(bool entering)>;

    explicit VbEngine(BuiltinContext context = {});
    ~VbEngine();
    VbEngine(const VbEngine &) = delete;
    VbEngine &operator=(const VbEngine &) = delete;

    // A global name for a value; scripts cannot assign to it.
    void expose(const QString &name, const Variant &value);
    // A function for scripts, found before the language's own library.
    void defineFunction(const BuiltinInfo &function);

    Status execute(const QString &code);
    Result<Variant> eval(const QString &expression);

    // Stops the running script at its next step; callable from any thread.
    void interrupt();
    bool wasInterrupted() const;
    void setHostCallHook(HostCallHook hook);
    // Stops a run after this many statements (0: no limit), for untrusted input.
    void setStepLimit(qint64 steps);

private:
    std::shared_ptr<Interpreter> m_interpreter;
};

} // namespace sorvane::vb
