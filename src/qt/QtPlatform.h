#pragma once

#include "platform/Platform.h"
#include "platform/RegistryStore.h"

#include <QElapsedTimer>

namespace sorvane {

class MainWindow;
class QtDialogHost;

// The platform services on Qt and X11 for the one main window.
class QtPlatform : public Clock,
                   public KeyState,
                   public SystemInfo,
                   public WindowHost,
                   public ShellHost,
                   public ClipboardHost {
public:
    QtPlatform(MainWindow &window, QtDialogHost &dialogs);

    PlatformServices services();

    quint32 milliseconds() override;
    bool asyncKeyState(int virtualKey) override;

    QString programFilePath() override;
    Size screenSize() override;
    Point cursorPosition() override;
    std::vector<Rect> screenAreas() override;

    void setCaption(const QString &caption) override;
    Rect windowRect() override;
    Size clientSize() override;
    void moveWindow(int left, int top) override;
    void resizeWindow(int width, int height) override;
    bool isMinimized() override;
    WindowShowState showState() override;
    void setShowState(WindowShowState state) override;
    void setTopmost(bool topmost) override;
    void setMenuBarVisible(bool visible) override;
    void setFrameVisible(bool visible) override;
    void setColorKeyTransparency(bool on) override;
    void setPageInputEnabled(bool enabled) override;
    void setAcceptDrops(bool accept) override;
    void setMoveCursor(bool on) override;
    quintptr windowId() override;
    quintptr pageHostId() override;
    quintptr pageInnerId() override;
    std::optional<Rect> rectOfWindow(quintptr id) override;
    void processEvents() override;
    bool eventsDue() override;

    bool startDetached(const QString &program, const QStringList &arguments) override;
    QString findProgram(const QString &name) override;
    QString environmentVariable(const QString &name) override;

    QString clipboardText() override;
    void setClipboardText(const QString &text) override;

private:
    // When the pending events last ran; see processEvents().
    QElapsedTimer m_lastEvents;
    MainWindow &m_window;
    QtDialogHost &m_dialogs;
    // In the user's configuration folder, shared by every instance.
    RegistryStore m_registry;
};

} // namespace sorvane
