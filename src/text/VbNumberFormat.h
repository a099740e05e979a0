#pragma once

#include <QString>

namespace sorvane {

// The number half of vbFormat (VbFormat.h states the patterns): a finite
// value by a number pattern of up to four sections.
QString formatNumberPattern(double value, const QString &pattern);

} // namespace sorvane
