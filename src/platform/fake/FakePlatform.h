#pragma once

#include "platform/Platform.h"
#include "platform/RegistryStore.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <functional>

namespace sorvane {

// The platform for tests: a manual millisecond counter, keys set by the
// test, boxes answered from queues, and every window operation recorded in
// order in `calls`.
class FakePlatform : public Clock,
                     public KeyState,
                     public SystemInfo,
                     public WindowHost,
                     public DialogHost,
                     public ShellHost,
                     public ClipboardHost {
public:
    PlatformServices services();

    // Clock
    quint32 now = 0;
    quint32 milliseconds() override { return now; }
    void advance(quint32 ms) { now += ms; }

    // Keys: a held key reads as down on every query; a tap reads as down at
    // the next query of that key only.
    void holdKey(int virtualKey, bool down = true);
    void tapKey(int virtualKey);
    bool asyncKeyState(int virtualKey) override;

    // System
    QString programFile = QStringLiteral("/opt/sorvane/sorvane");
    Size screen{1920, 1080};
    Point cursor;
    QString programFilePath() override { return programFile; }
    Size screenSize() override { return screen; }
    Point cursorPosition() override { return cursor; }
    // Empty: one area, the whole of `screen`.
    std::vector<Rect> areas;
    std::vector<Rect> screenAreas() override;

    // Window
    QString caption;
    Rect rect{100, 100, 800, 150};
    Size client{784, 102};
    bool minimized = false;
    bool topmost = false;
    bool menuBarVisible = true;
    bool frameVisible = true;
    bool colorKey = false;
    bool pageInput = true;
    bool acceptDrops = false;
    bool moveCursor = false;
    quintptr id = 0x5001;
    QStringList calls;
    int processEventsCount = 0;
    std::function<void()> onProcessEvents;
    // Whether a pause runs events; every pause does when unset.
    std::function<bool()> eventsDueHook;

    void setCaption(const QString &text) override;
    Rect windowRect() override { return rect; }
    Size clientSize() override { return client; }
    void moveWindow(int left, int top) override;
    void resizeWindow(int width, int height) override;
    bool isMinimized() override { return minimized; }
    WindowShowState shown = WindowShowState::Normal;
    WindowShowState showState() override { return minimized ? WindowShowState::Minimized : shown; }
    void setShowState(WindowShowState state) override;
    void setTopmost(bool on) override;
    void setMenuBarVisible(bool visible) override;
    void setFrameVisible(bool visible) override;
    void setColorKeyTransparency(bool on) override;
    void setPageInputEnabled(bool enabled) override;
    void setAcceptDrops(bool accept) override;
    void setMoveCursor(bool on) override;
    quintptr windowId() override { return id; }
    quintptr pageHost = 0x5002;
    quintptr pageInner = 0x5003;
    quintptr pageHostId() override { return pageHost; }
    quintptr pageInnerId() override { return pageInner; }
    std::optional<Rect> rectOfWindow(quintptr window) override;
    void processEvents() override;
    bool eventsDue() override { return !eventsDueHook || eventsDueHook(); }

    // Dialogs: requests are recorded; answers are taken from the front of
    // the queues (an empty queue answers OK, or Cancel for an input box).
    QVector<MessageBoxRequest> messageBoxes;
    QVector<InputBoxRequest> inputBoxes;
    QList<int> messageAnswers;
    QList<std::optional<QString>> inputAnswers;
    // Runs while a box is open, as the event loop keeps running then.
    std::function<void()> whileBoxOpen;

    // The choosers likewise: an empty queue answers Cancel.
    QVector<ColorChooserRequest> colorChoosers;
    QVector<FontChooserRequest> fontChoosers;
    QList<std::optional<QString>> colorAnswers;
    QList<std::optional<QString>> fontAnswers;

    int messageBox(const MessageBoxRequest &request) override;
    std::optional<QString> inputBox(const InputBoxRequest &request) override;
    std::optional<QString> chooseColor(const ColorChooserRequest &request) override;
    std::optional<QString> chooseFont(const FontChooserRequest &request) override;

    // Shell: started programs are recorded as "program arg1 arg2"; programs
    // listed in `installedPrograms` (name -> path) are found and start.
    QStringList started;
    QHash<QString, QString> installedPrograms;
    QHash<QString, QString> environment;
    bool startDetached(const QString &program, const QStringList &arguments) override;
    QString findProgram(const QString &name) override { return installedPrograms.value(name); }
    QString environmentVariable(const QString &name) override { return environment.value(name); }

    // Registry: kept in memory.
    RegistryStore registry{QString()};

    // Clipboard
    QString clipboard;
    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString &text) override { clipboard = text; }

private:
    QSet<int> m_held;
    QSet<int> m_tapped;
};

} // namespace sorvane
