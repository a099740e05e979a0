#pragma once

#include <QtGlobal>

namespace sorvane {

class SystemInfo;
class WindowHost;

// Moving the window by dragging anywhere on it with the left button, the
// grab point staying under the cursor; works without a title bar.
class WindowDrag {
public:
    // Mouse buttons as the window's mouse events report them, as bits.
    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;
    static constexpr int kMiddleButton = 4;

    WindowDrag(WindowHost &window, SystemInfo &system) : m_window(window), m_system(system) {}

    // A button went down: the left one takes the grab point; others do nothing.
    void mouseDown(int button);
    // The mouse moved with `buttons` held: exactly the left one moves the window.
    void mouseMove(int buttons);

    // The cursor's position minus the window's left and top edge at the last
    // left-button press, in pixels; both 0 before the first.
    qint32 offsetX() const { return m_offsetX; }
    qint32 offsetY() const { return m_offsetY; }

private:
    WindowHost &m_window;
    SystemInfo &m_system;
    qint32 m_offsetX = 0;
    qint32 m_offsetY = 0;
};

} // namespace sorvane
