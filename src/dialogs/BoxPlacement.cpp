#include "dialogs/BoxPlacement.h"

#include <cstdint>

namespace sorvane {
namespace {

// Half of a difference, rounded towards minus infinity. Computed in 64 bits
// so that extreme rectangles from scripts cannot overflow.
int floorHalf(std::int64_t value)
{
    return static_cast<int>(value >= 0 ? value / 2 : -((-value + 1) / 2));
}

} // namespace

Point BoxPlacement::centredOver(const Rect &owner, const Size &box)
{
    return Point{floorHalf(std::int64_t{owner.width} - box.width) + owner.left,
                 floorHalf(std::int64_t{owner.height} - box.height) + owner.top};
}

Point BoxPlacement::place(const std::optional<Rect> &owner, const Rect &screen, const Size &box)
{
    return centredOver(owner.value_or(screen), box);
}

} // namespace sorvane
