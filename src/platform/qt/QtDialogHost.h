#pragma once

#include "platform/Platform.h"

#include <QPointer>

class QWidget;

namespace sorvane {

// Message and input boxes and the colour and font choosers as modal Qt
// Widgets dialogs. Each box runs its own
// event loop, so timers and input keep being served while it is open.
class QtDialogHost : public DialogHost {
public:
    // Boxes become transient children of the main window so that they stay
    // above it while it is always on top.
    void setMainWindow(QWidget *window);

    int messageBox(const MessageBoxRequest &request) override;
    std::optional<QString> inputBox(const InputBoxRequest &request) override;
    std::optional<QString> chooseColor(const ColorChooserRequest &request) override;
    std::optional<FontChoice> chooseFont(const FontChooserRequest &request) override;

private:
    QPointer<QWidget> m_mainWindow;
};

} // namespace sorvane
