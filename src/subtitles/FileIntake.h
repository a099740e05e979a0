#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QString>

namespace sorvane {

class Dialogs;
class ScriptRunner;
class SubtitleLoader;
class TextCodec;
class WindowCommands;
struct WindowState;

// Takes in one path (`CallBack`): a shortcut is followed one level, a path
// that names no file is ignored, and the extension decides: subtitle files
// are loaded after playback stops and the clock is reset, scripts are run,
// anything else is refused with a note on the page and a self-closing box.
class FileIntake {
public:
    FileIntake(WindowState &state, WindowCommands &commands, SubtitleLoader &loader, ScriptRunner &scripts,
               TextCodec &codec, Dialogs &dialogs, PlatformServices platform)
        : m_state(state), m_commands(commands), m_loader(loader), m_scripts(scripts), m_codec(codec),
          m_dialogs(dialogs), m_platform(platform)
    {
    }

    enum class Kind { Subtitle, JavaScript, VBScript, Refused };
    // The dispatch table, by extension (any case; without the dot).
    static Kind kindOf(const QString &extension);

    // The parts of a path as the settings keep them.
    static QString parentFolder(const QString &path);
    static QString fileName(const QString &path);
    static QString baseName(const QString &path);
    static QString extension(const QString &path);

    void CallBack(const QString &path);
    // A file the user named (the command line, the open dialog, the recent
    // list): as CallBack, but a path that names no readable file gets the
    // box of a file that cannot be read, naming it.
    void open(const QString &path);
    // Where a path given as the system's bytes comes from. A name on the
    // command line is opened as one the user named; a drop is taken in as
    // CallBack takes it, so a dropped folder or a path that is gone changes
    // nothing and shows nothing.
    enum class PathSource { Drop, CommandLine };
    // A name the system's character set cannot read as text cannot be
    // opened by name here: it gets the box of a file that cannot be read,
    // whatever its source.
    void takeIn(const QByteArray &nativePath, PathSource source);
    // Reloads the current subtitle file, when it still exists.
    void OnGetSrt();

private:
    void loadSubtitles(const QString &path);
    void refuse(const QString &extension);

    WindowState &m_state;
    WindowCommands &m_commands;
    SubtitleLoader &m_loader;
    ScriptRunner &m_scripts;
    TextCodec &m_codec;
    Dialogs &m_dialogs;
    PlatformServices m_platform;
};

} // namespace sorvane
