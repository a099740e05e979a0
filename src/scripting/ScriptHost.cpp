#include "scripting/ScriptHost.h"

#include "scripting/ScriptWatchdog.h"
#include "scripting/js/JsEngine.h"
#include "scripting/objects/ObjectFactory.h"
#include "scripting/vbscript/VbEngine.h"
#include "state/WindowState.h"
#include "text/TextUtilities.h"

namespace sorvane {
namespace {

enum class Language { JavaScript, VBScript, Unknown };

Language languageOf(const QString &name)
{
    if (name.compare(QLatin1String("JavaScript"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("JScript"), Qt::CaseInsensitive) == 0)
        return Language::JavaScript;
    if (name.compare(QLatin1String("VBScript"), Qt::CaseInsensitive) == 0)
        return Language::VBScript;
    return Language::Unknown;
}

// Shows its text in the shell's pop-up box; only runs whose language reads
// back exactly as "JavaScript" get it.
const char kAlert[] =
    "function alert(text){new ActiveXObject('WScript.Shell').Popup(text,0,'Microsoft Internet Explorer',48)};";

// Leaves the time a script spends in host calls out of its budget.
template <typename Engine>
void watchHostCalls(Engine &engine, ScriptWatchdog &watchdog)
{
    engine.setHostCallHook([&watchdog](bool entering) {
        if (entering)
            watchdog.pause();
        else
            watchdog.resume();
    });
}

} // namespace

ObjectContext ScriptHost::objectContext() const
{
    ObjectContext context;
    context.platform = m_platform;
    context.codec = &m_codec;
    context.currentFolder = m_state.Folder;
    return context;
}

QString ScriptHost::errorReport(const ScriptError &error)
{
    const QStringList lines = {
        QStringLiteral("源:　　") + error.source,
        QStringLiteral("行:　　") + QString::number(error.line),
        QStringLiteral("位置:　") + QString::number(error.column),
        QStringLiteral("错误:　") + error.description,
        QStringLiteral("代码:　") + QString::number(error.code(), 16).toUpper(),
        QStringLiteral("文本:　") + error.text,
    };
    return lines.join(QStringLiteral("\r\n"));
}

void ScriptHost::RunScript(const QString &code, const QString &language, bool showErrors)
{
    if (TextUtilities::TrimSpace(code).isEmpty())
        return;

    Status status;
    switch (languageOf(language)) {
    case Language::JavaScript:
        status = runJavaScript(code, language);
        break;
    case Language::VBScript:
        status = runVBScript(code);
        break;
    case Language::Unknown: {
        ScriptError e = scriptError(429, QStringLiteral("No script engine for the language \"%1\"").arg(language));
        e.source = QStringLiteral("RunScript");
        status = e;
        break;
    }
    }
    if (!status && showErrors)
        report(status.error());
}

Status ScriptHost::runJavaScript(const QString &code, const QString &language)
{
    const ObjectContext context = objectContext();
    JsEngine engine([context](const QString &progId) { return createObject(progId, context); });
    m_programObjects([&engine](const QString &name, const Variant &value) { engine.expose(name, value); });

    ScriptWatchdog watchdog(budget, [&engine] { engine.interrupt(); });
    watchHostCalls(engine, watchdog);

    // The engine reports its language as it was set.
    if (language == QLatin1String("JavaScript"))
        if (Status s = engine.execute(QString::fromUtf8(kAlert)); !s)
            return s;
    return engine.execute(code);
}

Status ScriptHost::runVBScript(const QString &code)
{
    vb::BuiltinContext context;
    context.dialogs = &m_dialogs;
    context.objects = objectContext();
    vb::VbEngine engine(std::move(context));
    m_programObjects([&engine](const QString &name, const Variant &value) { engine.expose(name, value); });

    ScriptWatchdog watchdog(budget, [&engine] { engine.interrupt(); });
    watchHostCalls(engine, watchdog);
    return engine.execute(code);
}

void ScriptHost::report(const ScriptError &error)
{
    MessageBoxRequest box;
    box.owner = m_platform.window->rectOfWindow(m_platform.window->windowId());
    box.text = errorReport(error);
    box.caption = error.description;
    box.type = BoxType::IconExclamation;
    box.timeoutMs = 30000;
    m_platform.dialogs->messageBox(box);
}

} // namespace sorvane
