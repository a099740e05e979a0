#pragma once

#include "platform/Geometry.h"

#include <QString>

namespace sorvane {

class Dictionary;

// What the computed defaults are made from.
struct ConfigContext {
    QString folder;     // the program folder, ending in the separator
    QString scriptPath; // the script folder, ending in the separator
    Size screen;        // screen size in pixels
};

// Adds the 25 settings with their defaults, in their fixed order.
void addConfigDefaults(Dictionary &config, const ConfigContext &context);

} // namespace sorvane
