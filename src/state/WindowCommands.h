#pragma once

#include <QString>

namespace sorvane {

// What a feature asks of the window itself: a menu command run as its click
// would run it, and the caption.
class WindowCommands {
public:
    virtual ~WindowCommands() = default;
    // A click on a menu item; items of a group pass their index.
    virtual void menuClicked(const QString &name, int index = -1) = 0;
    virtual void setCaption(const QString &caption) = 0;
};

} // namespace sorvane
