#pragma once

#include "platform/Platform.h"

#include <QString>

namespace sorvane {

class Dialogs;
class ScriptRunner;
class TextCodec;
struct WindowState;

// The menu commands that run and edit the user's scripts in the script
// folder, and the start-up script.
class ScriptCommands {
public:
    ScriptCommands(WindowState &state, ScriptRunner &scripts, TextCodec &codec, Dialogs &dialogs,
                   PlatformServices platform)
        : m_state(state), m_scripts(scripts), m_codec(codec), m_dialogs(dialogs), m_platform(platform)
    {
    }

    // "System.js", else "System.vbs"; a silver notice when neither exists.
    void OnSystem();
    // "Exit.js", else "Exit.vbs", as the window closes; nothing when neither exists.
    void OnExit();
    // Runs the script named by the caption of item `index` of "执行脚本".
    void OnScript(int index);
    // Opens the script named by the caption of item `index` of "编辑脚本" in
    // an editor of its own process.
    void OpenScript(int index);

    // Editors tried in order; the first one found on the program search path
    // is started. Then $VISUAL, $EDITOR and the desktop's opener.
    static const QStringList &editors();

private:
    QString captionOf(const char *group, int index) const;
    bool startEditor(const QString &path);

    WindowState &m_state;
    ScriptRunner &m_scripts;
    TextCodec &m_codec;
    Dialogs &m_dialogs;
    PlatformServices m_platform;
};

} // namespace sorvane
