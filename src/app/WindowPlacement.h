#pragma once

#include "core/ScriptError.h"
#include "platform/Geometry.h"

#include <QtGlobal>

#include <vector>

namespace sorvane {

class SystemInfo;
class WindowHost;

// The window's placement as scripts read and set it: its outer edges and
// size in twips (15 a pixel, as `Screen` measures), and how it is shown.
class WindowPlacement {
public:
    static constexpr int kTwipsPerPixel = 15;

    WindowPlacement(WindowHost &window, SystemInfo &system) : m_window(window), m_system(system) {}

    double left() const;
    double top() const;
    double width() const;
    double height() const;
    // 0 shown normally, 1 minimized, 2 maximized.
    qint32 windowState() const;

    // Twips are rounded to whole pixels; a window cannot be placed or sized
    // beyond the display system's coordinates, nor smaller than a pixel.
    Status setLeft(double twips);
    Status setTop(double twips);
    Status setWidth(double twips);
    Status setHeight(double twips);
    // Anything but 0, 1 or 2 is refused (380).
    Status setWindowState(qint32 state);

    // Brings the window whole onto a screen attached now when too little of
    // it shows on any (it was placed on a screen since unplugged).
    void keepOnScreen();

    // The rule of keepOnScreen() on plain rectangles: `window` unchanged
    // while a usable part of it lies on one of `areas`, else moved onto the
    // area it overlaps most (or the nearest one) and, if larger, cut to it.
    static Rect onScreen(const Rect &window, const std::vector<Rect> &areas);

private:
    WindowHost &m_window;
    SystemInfo &m_system;
};

} // namespace sorvane
