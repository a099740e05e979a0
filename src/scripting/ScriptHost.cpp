#include "scripting/ScriptHost.h"

#include "app/Main.h"
#include "scripting/ScriptWatchdog.h"
#include "scripting/js/JsEngine.h"
#include "core/Dictionary.h"
#include "scripting/objects/MainObject.h"
#include "scripting/objects/ObjectFactory.h"
#include "scripting/objects/RuntimeObjects.h"
#include "scripting/vbscript/VbEngine.h"
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

ObjectContext objectContextOf(Main &main)
{
    ObjectContext context;
    context.platform = main.platform();
    context.codec = &main.textCodec();
    context.currentFolder = main.Folder;
    return context;
}

// Exposes the program's objects to an engine, in the order scripts see
// them: the application objects, the one window, its controls in control
// order (each name once), and "filter", the dictionary of those names.
void exposeProgramObjects(Main &main, const std::function<void(const QString &, const Variant &)> &expose)
{
    expose(QStringLiteral("App"), Variant::fromObject(std::make_shared<AppObject>(main)));
    expose(QStringLiteral("Clipboard"), Variant::fromObject(std::make_shared<ClipboardObject>(main)));
    expose(QStringLiteral("Screen"), Variant::fromObject(std::make_shared<ScreenObject>(main)));
    expose(QStringLiteral("Printer"), Variant::fromObject(std::make_shared<PrinterObject>()));

    auto filter = std::make_shared<Dictionary>();
    auto mainObject = std::static_pointer_cast<MainObject>(main.scriptObject());
    expose(QStringLiteral("Main"), Variant::fromObject(mainObject));
    filter->setItem(QStringLiteral("Main"), true);
    for (const QString &name : MainObject::controlNames()) {
        if (filter->exists(name))
            continue;
        expose(name, mainObject->control(name));
        filter->setItem(name, true);
    }
    expose(QStringLiteral("filter"), Variant::fromObject(filter));
}

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
    const ObjectContext context = objectContextOf(m_main);
    JsEngine engine([context](const QString &progId) { return createObject(progId, context); });
    exposeProgramObjects(m_main, [&engine](const QString &name, const Variant &value) { engine.expose(name, value); });

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
    context.main = &m_main;
    context.objects = objectContextOf(m_main);
    vb::VbEngine engine(std::move(context));
    exposeProgramObjects(m_main, [&engine](const QString &name, const Variant &value) { engine.expose(name, value); });

    ScriptWatchdog watchdog(budget, [&engine] { engine.interrupt(); });
    watchHostCalls(engine, watchdog);
    return engine.execute(code);
}

void ScriptHost::report(const ScriptError &error)
{
    MessageBoxRequest box;
    box.owner = m_main.platform().window->rectOfWindow(m_main.platform().window->windowId());
    box.text = errorReport(error);
    box.caption = error.description;
    box.type = BoxType::IconExclamation;
    box.timeoutMs = 30000;
    m_main.platform().dialogs->messageBox(box);
}

} // namespace sorvane
