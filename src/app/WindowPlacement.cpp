#include "app/WindowPlacement.h"

#include "core/ErrorTable.h"
#include "core/Variant.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cmath>

namespace sorvane {
namespace {

// X11 keeps window coordinates and sizes in 16 bits.
constexpr int kMaxCoordinate = 32767;
// A window shows enough of itself to be grabbed and dragged back when this
// much of it (or all of it, when smaller) lies on one screen.
constexpr int kUsableWidth = 48;
constexpr int kUsableHeight = 24;

ScriptError invalidValue()
{
    return scriptError(ErrorNumber::InvalidPropertyValue, QStringLiteral("Invalid property value"));
}

Result<int> pixels(double twips, int low, int high)
{
    if (!std::isfinite(twips))
        return invalidValue();
    const double px = roundHalfEven(twips / WindowPlacement::kTwipsPerPixel);
    return int(std::clamp(px, double(low), double(high)));
}

Rect intersection(const Rect &a, const Rect &b)
{
    const int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    const int right = std::min(a.right(), b.right()), bottom = std::min(a.bottom(), b.bottom());
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right - left, bottom - top};
}

// Squared distance between the centres, in doubled pixels to stay whole.
qint64 centreDistance(const Rect &a, const Rect &b)
{
    const qint64 dx = qint64(a.left) * 2 + a.width - (qint64(b.left) * 2 + b.width);
    const qint64 dy = qint64(a.top) * 2 + a.height - (qint64(b.top) * 2 + b.height);
    return dx * dx + dy * dy;
}

} // namespace

double WindowPlacement::left() const
{
    return double(m_window.windowRect().left) * kTwipsPerPixel;
}

double WindowPlacement::top() const
{
    return double(m_window.windowRect().top) * kTwipsPerPixel;
}

double WindowPlacement::width() const
{
    return double(m_window.windowRect().width) * kTwipsPerPixel;
}

double WindowPlacement::height() const
{
    return double(m_window.windowRect().height) * kTwipsPerPixel;
}

qint32 WindowPlacement::windowState() const
{
    return qint32(m_window.showState());
}

Status WindowPlacement::setLeft(double twips)
{
    const int left = TRY(pixels(twips, -kMaxCoordinate, kMaxCoordinate));
    m_window.moveWindow(left, m_window.windowRect().top);
    return {};
}

Status WindowPlacement::setTop(double twips)
{
    const int top = TRY(pixels(twips, -kMaxCoordinate, kMaxCoordinate));
    m_window.moveWindow(m_window.windowRect().left, top);
    return {};
}

Status WindowPlacement::setWidth(double twips)
{
    const int width = TRY(pixels(twips, 1, kMaxCoordinate));
    m_window.resizeWindow(width, m_window.windowRect().height);
    return {};
}

Status WindowPlacement::setHeight(double twips)
{
    const int height = TRY(pixels(twips, 1, kMaxCoordinate));
    m_window.resizeWindow(m_window.windowRect().width, height);
    return {};
}

Status WindowPlacement::setWindowState(qint32 state)
{
    if (state < 0 || state > 2)
        return invalidValue();
    m_window.setShowState(WindowShowState(state));
    return {};
}

void WindowPlacement::keepOnScreen()
{
    if (m_window.showState() != WindowShowState::Normal)
        return;
    const Rect now = m_window.windowRect();
    const Rect placed = onScreen(now, m_system.screenAreas());
    if (placed.width != now.width || placed.height != now.height)
        m_window.resizeWindow(placed.width, placed.height);
    if (placed.left != now.left || placed.top != now.top)
        m_window.moveWindow(placed.left, placed.top);
}

Rect WindowPlacement::onScreen(const Rect &window, const std::vector<Rect> &areas)
{
    const Rect *best = nullptr;
    qint64 bestOverlap = -1;
    for (const Rect &area : areas) {
        if (area.width <= 0 || area.height <= 0)
            continue;
        const Rect common = intersection(window, area);
        if (common.width >= std::min(window.width, kUsableWidth) && common.height >= std::min(window.height, kUsableHeight)
            && common.width > 0 && common.height > 0)
            return window;
        const qint64 overlap = qint64(common.width) * common.height;
        if (!best || overlap > bestOverlap
            || (overlap == bestOverlap && centreDistance(window, area) < centreDistance(window, *best))) {
            best = &area;
            bestOverlap = overlap;
        }
    }
    if (!best)
        return window;
    Rect placed = window;
    placed.width = std::min(window.width, best->width);
    placed.height = std::min(window.height, best->height);
    placed.left = std::clamp(window.left, best->left, best->right() - placed.width);
    placed.top = std::clamp(window.top, best->top, best->bottom() - placed.height);
    return placed;
}

} // namespace sorvane
