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

} // namespace

ObjectContext ScriptHost::objectContext()
{
    ObjectContext context;
    context.platform = m_platform;
    context.codec = &m_codec;
    context.currentFolder = m_state.Folder;
    context.onWait = [this](bool waiting) { userWait(waiting); };
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
    const Status status = run(code, language);
    if (!status && showErrors)
        report(status.error());
}

Status ScriptHost::run(const QString &code, const QString &language)
{
    if (m_depth >= kMaxNesting) {
        ScriptError e = scriptError(ErrorNumber::OutOfStackSpace);
        e.source = QStringLiteral("RunScript");
        return e;
    }
    ++m_depth;
    struct Leave {
        int &depth;
        ~Leave() { --depth; }
    } leave{m_depth};

    switch (languageOf(language)) {
    case Language::JavaScript:
        return runJavaScript(code, language);
    case Language::VBScript:
        return runVBScript(code);
    case Language::Unknown:
        break;
    }
    ScriptError e = scriptError(ErrorNumber::CannotCreateObject,
                                QStringLiteral("No script engine for the language \"%1\"").arg(language));
    e.source = QStringLiteral("RunScript");
    return e;
}

void ScriptHost::userWait(bool waiting)
{
    for (ScriptWatchdog *watchdog : m_watchdogs) {
        if (waiting)
            watchdog->pause();
        else
            watchdog->resume();
    }
}

bool ScriptHost::timeIsUp()
{
    bool up = false;
    for (ScriptWatchdog *watchdog : m_watchdogs)
        up = watchdog->check() || up;
    return up;
}

// The budget is looked at by its thread and at every call into the host; a
// run whose outer run's time is up stops too.
template <typename Engine>
Status ScriptHost::runWatched(Engine &engine, const std::function<Status()> &body)
{
    ScriptWatchdog watchdog(budget, now, [&engine] { engine.interrupt(); });
    if (!watchdog.start(startWatchdog)) {
        // Without its watchdog a script could hold the program for ever.
        ScriptError e = scriptError(ErrorNumber::OutOfMemory);
        e.source = QStringLiteral("RunScript");
        return e;
    }
    m_watchdogs.push_back(&watchdog);
    struct Leave {
        std::vector<ScriptWatchdog *> &watchdogs;
        ~Leave() { watchdogs.pop_back(); }
    } leave{m_watchdogs};
    engine.setHostCallHook([this, &engine](bool) {
        if (timeIsUp())
            engine.interrupt();
    });
    return body();
}

Status ScriptHost::runJavaScript(const QString &code, const QString &language)
{
    const ObjectContext context = objectContext();
    JsEngine engine([context](const QString &progId) { return createObject(progId, context); });
    m_programObjects([&engine](const QString &name, const Variant &value) { engine.expose(name, value); });

    return runWatched(engine, [&]() -> Status {
        // The engine reports its language as it was set.
        if (language == QLatin1String("JavaScript"))
            TRY(engine.execute(QString::fromUtf8(kAlert)));
        return engine.execute(code);
    });
}

Status ScriptHost::runVBScript(const QString &code)
{
    vb::BuiltinContext context;
    context.dialogs = &m_dialogs;
    context.objects = objectContext();
    vb::VbEngine engine(std::move(context));
    m_programObjects([&engine](const QString &name, const Variant &value) { engine.expose(name, value); });

    return runWatched(engine, [&] { return engine.execute(code); });
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
