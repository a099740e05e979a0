#include "scripting/objects/ShellObject.h"

#include "platform/Registry.h"
#include "scripting/objects/ShortcutObject.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace sorvane {
namespace {

const QString kDefaultTitle = QStringLiteral("Windows Script Host");

// The registry, or the error a script sees when a key cannot be opened.
Result<Registry *> registryOf(const ShellObject &shell)
{
    if (!shell.registry())
        return scriptError(ErrorNumber::SystemFileNotFound);
    return shell.registry();
}

using Sh = ShellObject;

} // namespace

ShellObject::ShellObject(DialogHost &dialogs, ShellHost &shell, Registry *registry, QString currentFolder,
                         WindowHost *window, WaitHook onWait)
    : m_dialogs(dialogs)
    , m_shell(shell)
    , m_registry(registry)
    , m_currentFolder(std::move(currentFolder))
    , m_window(window)
    , m_onWait(std::move(onWait))
{
}

const MemberTable<ShellObject> &ShellObject::members()
{
    using M = HostMember<Sh>;
    static const MemberTable<Sh> table({
        M{"Popup", MemberKind::Method, 1, 4,
          [](Sh &s, Arguments &a) -> Result<Variant> {
              QString text = TRY(a.text(0));
              qint32 seconds = TRY(a.missing(1) ? Result<qint32>(0) : a.toLong(1));
              QString title = TRY(a.missing(2) ? Result<QString>(kDefaultTitle) : a.text(2));
              qint32 type = TRY(a.missing(3) ? Result<qint32>(0) : a.toLong(3));
              return Variant::fromLong(s.popup(text, seconds, title, type));
          },
          nullptr},
        M{"Run", MemberKind::Method, 1, 3,
          [](Sh &s, Arguments &a) -> Result<Variant> {
              QString command = TRY(a.text(0));
              TRY(a.missing(1) ? Result<qint32>(1) : a.toLong(1)); // the window style is checked, not used
              bool wait = TRY(a.missing(2) ? Result<bool>(false) : a.toBool(2));
              qint32 code = TRY(s.run(command, wait));
              return Variant::fromLong(code);
          },
          nullptr},
        M{"ExpandEnvironmentStrings", MemberKind::Method, 1, 1,
          [](Sh &s, Arguments &a) -> Result<Variant> {
              QString text = TRY(a.text(0));
              return Variant(s.expandEnvironmentStrings(text));
          },
          nullptr},
        M{"CreateShortcut", MemberKind::Method, 1, 1,
          [](Sh &s, Arguments &a) -> Result<Variant> {
              QString path = TRY(a.text(0));
              return s.createShortcut(path);
          },
          nullptr},
        M{"RegRead", MemberKind::Method, 1, 1,
          [](Sh &s, Arguments &a) -> Result<Variant> {
              QString path = TRY(a.text(0));
              Registry *registry = TRY(registryOf(s));
              return registry->read(path);
          },
          nullptr},
        M{"RegWrite", MemberKind::Method, 2, 3,
          [](Sh &s, Arguments &a) -> Result<Variant> {
              QString path = TRY(a.text(0));
              QString type = TRY(a.missing(2) ? Result<QString>(QStringLiteral("REG_SZ")) : a.text(2));
              Registry *registry = TRY(registryOf(s));
              TRY(registry->write(path, a[1], type.toUpper()));
              return Variant();
          },
          nullptr},
        M{"RegDelete", MemberKind::Method, 1, 1,
          [](Sh &s, Arguments &a) -> Result<Variant> {
              QString path = TRY(a.text(0));
              Registry *registry = TRY(registryOf(s));
              TRY(registry->remove(path));
              return Variant();
          },
          nullptr},
        M{"CurrentDirectory", MemberKind::Property, 0, 0,
          [](Sh &s, Arguments &) -> Result<Variant> { return Variant(s.currentDirectory()); }, nullptr},
    });
    return table;
}

int ShellObject::popup(const QString &text, qint32 seconds, const QString &title, qint32 type)
{
    MessageBoxRequest request;
    request.text = text;
    request.caption = title;
    request.type = type;
    request.timeoutMs = seconds > 0 ? int(std::min<qint64>(qint64(seconds) * 1000, std::numeric_limits<int>::max())) : 0;
    const int answer = m_dialogs.messageBox(request);
    return answer == BoxResult::TimedOut ? -1 : answer;
}

Result<qint32> ShellObject::run(const QString &command, bool wait)
{
    const QStringList parts = QProcess::splitCommand(expandEnvironmentStrings(command));
    if (parts.isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const QString program = parts.first();
    const QStringList arguments = parts.mid(1);
    if (!wait) {
        if (!m_shell.startDetached(program, arguments))
            return scriptError(ErrorNumber::SystemFileNotFound);
        return 0;
    }
    QProcess process;
    if (!m_currentFolder.isEmpty())
        process.setWorkingDirectory(m_currentFolder);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return scriptError(ErrorNumber::SystemFileNotFound);
    if (m_onWait)
        m_onWait(true);
    // The window goes on answering while the program runs.
    constexpr int kSliceMs = 20;
    while (!process.waitForFinished(kSliceMs) && process.state() != QProcess::NotRunning) {
        if (m_window)
            m_window->processEvents();
    }
    if (m_onWait)
        m_onWait(false);
    if (process.exitStatus() != QProcess::NormalExit)
        return qint32(-1);
    return qint32(process.exitCode());
}

QString ShellObject::expandEnvironmentStrings(const QString &text) const
{
    static const QRegularExpression name(QStringLiteral("%([^%]+)%"));
    QString out;
    qsizetype last = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        const QRegularExpressionMatch m = name.match(text, at);
        if (!m.hasMatch())
            break;
        const QString value = m_shell.environmentVariable(m.captured(1));
        if (value.isEmpty()) {
            // The closing "%" may open the next name.
            at = m.capturedEnd(1);
            continue;
        }
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += value;
        last = at = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

Result<Variant> ShellObject::createShortcut(const QString &path) const
{
    if (!path.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive))
        return scriptError(ErrorNumber::InvalidProcedureCall,
                           QStringLiteral("The shortcut pathname must end with .lnk."));
    const QString base = m_currentFolder.isEmpty() ? QDir::currentPath() : m_currentFolder;
    return Variant::fromObject(std::make_shared<ShortcutObject>(QDir::cleanPath(QDir(base).absoluteFilePath(path))));
}

QString ShellObject::currentDirectory() const
{
    return m_currentFolder.isEmpty() ? QDir::currentPath() : m_currentFolder;
}

} // namespace sorvane
