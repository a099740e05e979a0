#pragma once

#include <QString>
#include <QStringList>

namespace sorvane {

class ShellHost;

// Where the program runs from: the folder its scripts, settings and exports
// live in (`Folder`).
//
// A program folder holding the install marker is shared and read-only, so
// each user runs from a per-user program folder, "sorvane" under the data
// home ($XDG_DATA_HOME, else ~/.local/share), set up on first start with a
// copy of the shipped scripts. Any other program folder (the build folder, a
// copied folder) is used as it is.
//
// Shipped scripts reach the per-user folder without losing the user's edits.
// A record of the shipped version last handed over ("shipped-scripts.txt",
// one "sha256 name" line each) tells a new shipped version apart from a
// user's edit:
// - a script the user does not have yet is copied;
// - a user's copy still equal to the version last shipped is replaced by the
//   new version;
// - an edited copy is kept, and the new version is put beside it as
//   "name.new";
// - a script the user deleted stays deleted.
class ProgramFolder {
public:
    static constexpr const char16_t *kInstalledMarker = u"installed";
    static constexpr const char16_t *kUserFolderName = u"sorvane";
    static constexpr const char16_t *kShippedRecord = u"shipped-scripts.txt";
    static constexpr const char16_t *kScriptFolder = u"script";
    static constexpr const char16_t *kNewSuffix = u".new";

    struct Choice {
        QString folder;        // ends in "/"
        bool perUser = false;  // the per-user program folder of an installed program
        // What could not be done; when the per-user folder could not be set
        // up at all, `folder` is the program's own folder.
        QStringList problems;
    };

    // `programFolder` ends in "/"; `dataHome` is "" when there is none.
    static Choice choose(const QString &programFolder, const QString &dataHome);

    // $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share;
    // "" when neither is known.
    static QString dataHome(ShellHost &shell);

private:
    static QStringList updateScripts(const QString &shippedFolder, const QString &userFolder,
                                     const QString &recordPath);
};

} // namespace sorvane
