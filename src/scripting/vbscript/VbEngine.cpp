#include "scripting/vbscript/VbEngine.h"

#include "scripting/vbscript/VbInterpreter.h"

namespace sorvane::vb {

VbEngine::VbEngine(BuiltinContext context) : m_interpreter(std::make_shared<Interpreter>(std::move(context)))
{
}

VbEngine::~VbEngine() = default;

void VbEngine::expose(const QString &name, const Variant &value)
{
    m_interpreter->globals.addVariable(name, value, true);
}

void VbEngine::defineFunction(const BuiltinInfo &function)
{
    m_interpreter->globals.functions.insert(QString::fromUtf8(function.name).toCaseFolded(), std::make_shared<BuiltinInfo>(function));
}

Status VbEngine::execute(const QString &code)
{
    return m_interpreter->execute(code);
}

Result<Variant> VbEngine::eval(const QString &expression)
{
    return m_interpreter->evaluate(expression);
}

void VbEngine::interrupt()
{
    m_interpreter->interrupted = true;
}

bool VbEngine::wasInterrupted() const
{
    return m_interpreter->interrupted;
}

void VbEngine::setHostCallHook(HostCallHook hook)
{
    m_interpreter->hostCallHook = std::move(hook);
}

void VbEngine::setStepLimit(qint64 steps)
{
    m_interpreter->stepLimit = steps;
}

} // namespace sorvane::vb
