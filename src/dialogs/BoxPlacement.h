#pragma once

#include "platform/Geometry.h"

#include <optional>

namespace sorvane {

// Where a box opens: centred over its owner window, or over the screen when
// it has no owner. Both rectangles are screen rectangles including frames.
class BoxPlacement {
public:
    // x = floor((owner.width - box.width) / 2) + owner.left, and y likewise;
    // the floor goes towards minus infinity, so a box wider than its owner
    // leans one pixel further left rather than right.
    static Point centredOver(const Rect &owner, const Size &box);

    // The top-left corner for a box of the given size.
    static Point place(const std::optional<Rect> &owner, const Rect &screen, const Size &box);
};

// The fixed layout of the input box, in pixels; children in client coordinates.
struct InputBoxLayout {
    static constexpr Size box{240, 140};
    static constexpr Rect prompt{18, 10, 200, 16};
    static constexpr Rect edit{17, 30, 200, 20};
    static constexpr Rect okButton{24, 65, 80, 23};
    static constexpr Rect cancelButton{130, 65, 80, 23};
};

} // namespace sorvane
