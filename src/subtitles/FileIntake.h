#pragma once

#include <QByteArray>
#include <QString>

namespace sorvane {

class Main;

// Takes in one path (`CallBack`): a shortcut is followed one level, a path
// that names no file is ignored, and the extension decides: subtitle files
// are loaded after playback stops and the clock is reset, scripts are run,
// anything else is refused with a note on the page and a self-closing box.
class FileIntake {
public:
    explicit FileIntake(Main &main) : m_main(main) {}

    enum class Kind { Subtitle, JavaScript, VBScript, Refused };
    // The dispatch table, by extension (any case; without the dot).
    static Kind kindOf(const QString &extension);

    // The parts of a path as the settings keep them.
    static QString parentFolder(const QString &path);
    static QString fileName(const QString &path);
    static QString baseName(const QString &path);
    static QString extension(const QString &path);

    void CallBack(const QString &path);
    // A path as the system's bytes (the command line, a drop). A name the
    // system's character set cannot read as text cannot be opened by name
    // here: it gets the box of a file that cannot be read.
    void takeIn(const QByteArray &nativePath);
    // Reloads the current subtitle file, when it still exists.
    void OnGetSrt();

private:
    void loadSubtitles(const QString &path);
    void refuse(const QString &extension);

    Main &m_main;
};

} // namespace sorvane
