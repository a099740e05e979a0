#pragma once

#include "platform/Platform.h"
#include "core/HostObject.h"

#include <QString>

#include <functional>

namespace sorvane {

class Registry;

// "WScript.Shell": pop-up boxes, starting programs, the per-user registry,
// environment strings and shortcuts.
//
// Popup opens the program's message box centred on the screen and returns
// the button's code, or -1 when the box timed out. Run expands %NAME% in the
// command, splits it into the program and its arguments and starts it on
// its own (result 0); with waitOnReturn it waits for it, the window's events
// running meanwhile as they do while a box is open, and returns its exit
// code. The window style is not applied. ExpandEnvironmentStrings leaves a
// %NAME% that is unset or empty as it is.
class ShellObject : public HostObject<ShellObject> {
public:
    using WaitHook = std::function<void(bool waiting)>;

    // While Run waits, `window` (when given) runs its events, so the window
    // goes on answering; `onWait` is told as the wait starts and ends.
    ShellObject(DialogHost &dialogs, ShellHost &shell, Registry *registry, QString currentFolder,
                WindowHost *window = nullptr, WaitHook onWait = {});

    QString typeName() const override { return QStringLiteral("IWshShell3"); }
    static const MemberTable<ShellObject> &members();

    int popup(const QString &text, qint32 seconds, const QString &title, qint32 type);
    Result<qint32> run(const QString &command, bool wait);
    QString expandEnvironmentStrings(const QString &text) const;
    Result<Variant> createShortcut(const QString &path) const;
    Registry *registry() const { return m_registry; }
    QString currentDirectory() const;

private:
    DialogHost &m_dialogs;
    ShellHost &m_shell;
    Registry *m_registry;
    QString m_currentFolder;
    WindowHost *m_window;
    WaitHook m_onWait;
};

} // namespace sorvane
