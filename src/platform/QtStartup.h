#pragma once

#include <QLocale>
#include <QString>

#include <functional>

namespace sorvane {

// Choices made before the Qt layer starts, from the environment alone.
namespace QtStartup {

using Environment = std::function<QString(const char *name)>;

// The Qt platform plugin to ask for, "" to leave the choice to Qt. In a
// Wayland session the window runs on X11 through XWayland when that is
// there, since staying on top, placing the window, the see-through shape
// and the global key state all need X11; a plugin the user named in
// QT_QPA_PLATFORM is never overridden.
QString platformPlugin(const Environment &environment);

// The language of Qt's own texts (standard buttons, the colour and font
// dialogs): the system's, except that a system without a language (C or
// POSIX) gets Chinese like the menus. Chinese keeps its region, so
// Taiwan and Hong Kong get the traditional texts.
QLocale translationLocale(const QLocale &system);

} // namespace QtStartup

} // namespace sorvane
