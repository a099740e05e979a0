#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace sorvane {

class FileIntake;
class Registry;
class SubtitleLoader;
struct WindowState;

// The commands of the page's own right-click menu and Ctrl+O: opening a
// file, the recent files, reloading, reading the file in another character
// set, and the hotkey list. Scripts do not see this menu: it sits beside
// the menu bar, whose items and names stay as they are. Every file opened
// here goes through CallBack, as a drop does.
class PageMenu {
public:
    struct CharSet {
        QString label;
        QString name; // as the codec takes it; "" is detection
    };
    // The sets the 编码 submenu offers, detection first.
    static const QVector<CharSet> &charSets();
    // The open dialog's filter: every type the intake takes.
    static QString fileFilter();

    PageMenu(WindowState &state, FileIntake &intake, SubtitleLoader &loader, Registry *registry)
        : m_state(state), m_intake(intake), m_loader(loader), m_registry(registry)
    {
    }

    // The subtitle file loaded last, "" before any.
    QString currentFile() const;
    // Where the open dialog starts: the folder of the last file opened.
    QString dialogFolder() const;
    QStringList recentFiles() const;
    // The set the current file is read in by choice; "" when detected.
    QString chosenCharSet() const;

    void open(const QString &path);
    void reload();
    // Reads the current file again in `name` ("" detects again); the
    // export writes it back in that set.
    void readIn(const QString &name);

    QStringList hotkeys() const;

private:
    WindowState &m_state;
    FileIntake &m_intake;
    SubtitleLoader &m_loader;
    Registry *m_registry;
};

} // namespace sorvane
