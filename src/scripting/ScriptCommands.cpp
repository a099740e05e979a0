#include "scripting/ScriptCommands.h"

#include "dialogs/Dialogs.h"
#include "page/PageDocument.h"
#include "state/ScriptRunner.h"
#include "state/WindowState.h"
#include "text/TextCodec.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace sorvane {
namespace {

bool endsWithNoCase(const QString &name, const char *suffix)
{
    return name.right(int(qstrlen(suffix))).toLower() == QLatin1String(suffix);
}

// A file that is not hidden: a name starting with a dot, on this platform.
bool ordinaryFileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.fileName().startsWith(QLatin1Char('.'));
}

} // namespace

const QStringList &ScriptCommands::editors()
{
    static const QStringList names = {QStringLiteral("Uedit32.exe"), QStringLiteral("Notepad.exe")};
    return names;
}

QString ScriptCommands::captionOf(const char *group, int index) const
{
    const int position = m_state.menu.find(QString::fromUtf8(group), index);
    return position < 0 ? QString() : m_state.menu.at(position).caption;
}

void ScriptCommands::OnSystem()
{
    TextCodec &codec = m_codec;
    const QString js = m_state.ScriptPath + QStringLiteral("System.js");
    const QString vbs = m_state.ScriptPath + QStringLiteral("System.vbs");
    if (TextCodec::fileExists(js)) {
        m_scripts.RunScript(codec.GetFileText(js), QStringLiteral("javascript"), true);
    } else if (ordinaryFileExists(vbs)) {
        m_scripts.RunScript(codec.GetFileText(vbs), QStringLiteral("vbscript"), true);
    } else if (m_state.document) {
        if (PageElement *message = m_state.document->getElementById(QStringLiteral("Message")))
            message->setInnerHTML(
                QStringLiteral("<span style='font-size:12px;color:silver;'>找不到 System.js 或 System.vbs 脚本！</span>"));
    }
}

void ScriptCommands::OnExit()
{
    const QString js = m_state.ScriptPath + QStringLiteral("Exit.js");
    const QString vbs = m_state.ScriptPath + QStringLiteral("Exit.vbs");
    if (ordinaryFileExists(js))
        m_scripts.RunScript(m_codec.GetFileText(js), QStringLiteral("javascript"), true);
    else if (ordinaryFileExists(vbs))
        m_scripts.RunScript(m_codec.GetFileText(vbs), QStringLiteral("vbscript"), true);
}

void ScriptCommands::OnScript(int index)
{
    const QString name = captionOf("OnScript", index);
    const QString path = m_state.ScriptPath + name;
    if (!TextCodec::fileExists(path)) {
        m_dialogs.MessageBoxTimeout(m_platform.window->windowId(), QStringLiteral("找不到 ") + name + QStringLiteral(" 脚本！"),
                                 QStringLiteral("系统提示"), 32, 0, 2000);
        return;
    }
    if (endsWithNoCase(name, ".vbs"))
        m_scripts.RunScript(m_codec.GetFileText(path), QStringLiteral("VBScript"), true);
    else if (endsWithNoCase(name, ".js"))
        m_scripts.RunScript(m_codec.GetFileText(path), QStringLiteral("JavaScript"), true);
}

void ScriptCommands::OpenScript(int index)
{
    const QString path = m_state.ScriptPath + captionOf("OpenScript", index);
    if (TextCodec::fileExists(path))
        startEditor(path);
}

bool ScriptCommands::startEditor(const QString &path)
{
    ShellHost &shell = *m_platform.shell;
    // Each candidate is a command line; the script's path is one argument
    // of its own, spaces and all.
    QStringList candidates = editors();
    for (const char *variable : {"VISUAL", "EDITOR"}) {
        const QString command = shell.environmentVariable(QString::fromLatin1(variable)).trimmed();
        if (!command.isEmpty())
            candidates << command;
    }
    candidates << QStringLiteral("xdg-open");

    for (const QString &candidate : candidates) {
        QStringList words = QProcess::splitCommand(candidate);
        if (words.isEmpty())
            continue;
        const QString program = words.takeFirst();
        const QString found = program.contains(QLatin1Char('/')) ? program : shell.findProgram(program);
        if (found.isEmpty())
            continue; // not installed: the next editor
        // A found editor that does not start ends the command, as the shell's
        // other failures do.
        return shell.startDetached(found, words << path);
    }
    return false;
}

} // namespace sorvane
