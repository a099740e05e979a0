#pragma once

#include <QString>

namespace sorvane {

// The page the overlay shows, written once at load. `color` becomes the
// colour of the cue class rule and is inserted as is, without escaping.
QString pageText(const QString &color);

} // namespace sorvane
