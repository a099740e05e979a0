#include "scripting/ScriptCommands.h"

#include "app/Main.h"
#include "page/PageDocument.h"
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
    const int position = m_main.menu.find(QString::fromUtf8(group), index);
    return position < 0 ? QString() : m_main.menu.at(position).caption;
}

void ScriptCommands::OnSystem()
{
    TextCodec &codec = m_main.textCodec();
    const QString js = m_main.ScriptPath + QStringLiteral("System.js");
    const QString vbs = m_main.ScriptPath + QStringLiteral("System.vbs");
    if (TextCodec::fileExists(js)) {
        m_main.RunScript(codec.GetFileText(js), QStringLiteral("javascript"), true);
    } else if (ordinaryFileExists(vbs)) {
        m_main.RunScript(codec.GetFileText(vbs), QStringLiteral("vbscript"), true);
    } else if (m_main.document) {
        if (PageElement *message = m_main.document->getElementById(QStringLiteral("Message")))
            message->setInnerHTML(
                QStringLiteral("<span style='font-size:12px;color:silver;'>找不到 System.js 或 System.vbs 脚本！</span>"));
    }
}

void ScriptCommands::OnScript(int index)
{
    const QString name = captionOf("OnScript", index);
    const QString path = m_main.ScriptPath + name;
    if (!TextCodec::fileExists(path)) {
        m_main.MessageBoxTimeout(m_main.platform().window->windowId(), QStringLiteral("找不到 ") + name + QStringLiteral(" 脚本！"),
                                 QStringLiteral("系统提示"), 32, 0, 2000);
        return;
    }
    if (endsWithNoCase(name, ".vbs"))
        m_main.RunScript(m_main.textCodec().GetFileText(path), QStringLiteral("VBScript"), true);
    else if (endsWithNoCase(name, ".js"))
        m_main.RunScript(m_main.textCodec().GetFileText(path), QStringLiteral("JavaScript"), true);
}

void ScriptCommands::OpenScript(int index)
{
    const QString path = m_main.ScriptPath + captionOf("OpenScript", index);
    if (TextCodec::fileExists(path))
        startEditor(path);
}

bool ScriptCommands::startEditor(const QString &path)
{
    ShellHost &shell = *m_main.platform().shell;
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
