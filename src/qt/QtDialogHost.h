#pragma once

#include "platform/Platform.h"

#include <QPointer>

class QDialog;
class QWidget;

namespace sorvane {

class X11KeyState;

// Message and input boxes and the colour and font choosers as modal Qt
// Widgets dialogs. Each box runs its own
// event loop, so timers and input keep being served while it is open.
class QtDialogHost : public DialogHost {
public:
    // Boxes become transient children of the main window so that they stay
    // above it while it is always on top.
    void setMainWindow(QWidget *window);
    // The keys typed into a box are not hotkeys: the key state learns when
    // boxes open and end.
    void setKeyState(X11KeyState *keys);

    int messageBox(const MessageBoxRequest &request) override;
    std::optional<QString> inputBox(const InputBoxRequest &request) override;
    std::optional<QString> chooseColor(const ColorChooserRequest &request) override;
    std::optional<QString> chooseFont(const FontChooserRequest &request) override;

private:
    int run(QDialog &box);

    QPointer<QWidget> m_mainWindow;
    X11KeyState *m_keys = nullptr;
};

} // namespace sorvane
