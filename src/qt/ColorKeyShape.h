#pragma once

#include <QImage>
#include <QRegion>
#include <QRgb>

namespace sorvane {

// The colour the window keys out when it is see-through: the page background.
constexpr QRgb kColorKey = 0x010101;

// The part of `frame` that stays: every pixel whose colour is not exactly
// the key. Rows with the same runs are merged into one band, so a page of
// text on a plain background gives a few hundred rectangles at most.
// `frame` is RGB32 or ARGB32; alpha is ignored.
QRegion opaqueRegion(const QImage &frame, QRgb key = kColorKey);
// The same, looking only at the pixels inside `area` (clipped to the
// frame); the rectangles are in the frame's coordinates.
QRegion opaqueRegion(const QImage &frame, const QRect &area, QRgb key = kColorKey);

} // namespace sorvane
