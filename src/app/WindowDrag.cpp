#include "app/WindowDrag.h"

#include "platform/Platform.h"
#include "core/Variant.h"

#include <limits>

namespace sorvane {
namespace {

constexpr qint64 kTwipsPerPixel = 15;

bool fitsInt32(qint64 value)
{
    return value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

} // namespace

void WindowDrag::mouseDown(int button)
{
    if (button != kLeftButton)
        return;
    const Point cursor = m_system.cursorPosition();
    const Rect rect = m_window.windowRect();
    // The window's edges are kept in twips; back in pixels they are whole.
    m_offsetX = qint32(roundHalfEven(cursor.x - double(rect.left * kTwipsPerPixel) / kTwipsPerPixel));
    m_offsetY = qint32(roundHalfEven(cursor.y - double(rect.top * kTwipsPerPixel) / kTwipsPerPixel));
}

void WindowDrag::mouseMove(int buttons)
{
    if (buttons != kLeftButton)
        return;
    const Point cursor = m_system.cursorPosition();
    const qint64 left = (qint64(cursor.x) - m_offsetX) * kTwipsPerPixel;
    const qint64 top = (qint64(cursor.y) - m_offsetY) * kTwipsPerPixel;
    // Positions outside 32 bits cannot come from a real screen; such a move
    // is dropped rather than wrapped.
    if (!fitsInt32(left) || !fitsInt32(top))
        return;
    m_window.moveWindow(int(left / kTwipsPerPixel), int(top / kTwipsPerPixel));
}

} // namespace sorvane
