#include "scripting/ScriptHost.h"

#include "app/Main.h"
#include "scripting/ScriptWatchdog.h"
#include "scripting/js/JsEngine.h"
#include "scripting/objects/Dictionary.h"
#include "scripting/objects/MainObject.h"
#include "scripting/objects/ObjectFactory.h"
#include "scripting/objects/RuntimeObjects.h"
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
    case Language::VBScript: {
        ScriptError e = scriptError(429, QStringLiteral("The VBScript engine is not available in this version"));
        e.source = QStringLiteral("VBScript");
        status = e;
        break;
    }
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
    ObjectContext context;
    context.platform = m_main.platform();
    context.codec = &m_main.textCodec();
    context.currentFolder = m_main.Folder;
    JsEngine engine([context](const QString &progId) { return createObject(progId, context); });

    engine.expose(QStringLiteral("App"), Variant::fromObject(std::make_shared<AppObject>(m_main)));
    engine.expose(QStringLiteral("Clipboard"), Variant::fromObject(std::make_shared<ClipboardObject>(m_main)));
    engine.expose(QStringLiteral("Screen"), Variant::fromObject(std::make_shared<ScreenObject>(m_main)));
    engine.expose(QStringLiteral("Printer"), Variant::fromObject(std::make_shared<PrinterObject>()));

    // The program's one window, then its controls in control order, each
    // name once; "filter" lists what was exposed.
    auto filter = std::make_shared<Dictionary>();
    auto mainObject = std::static_pointer_cast<MainObject>(m_main.scriptObject());
    engine.expose(QStringLiteral("Main"), Variant::fromObject(mainObject));
    filter->setItem(QStringLiteral("Main"), true);
    for (const QString &name : MainObject::controlNames()) {
        if (filter->exists(name))
            continue;
        engine.expose(name, mainObject->control(name));
        filter->setItem(name, true);
    }
    engine.expose(QStringLiteral("filter"), Variant::fromObject(filter));

    ScriptWatchdog watchdog(budget, [&engine] { engine.interrupt(); });
    engine.setHostCallHook([&watchdog](bool entering) {
        if (entering)
            watchdog.pause();
        else
            watchdog.resume();
    });

    // The engine reports its language as it was set.
    if (language == QLatin1String("JavaScript"))
        if (Status s = engine.execute(QString::fromUtf8(kAlert)); !s)
            return s;
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
