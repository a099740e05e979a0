#pragma once

class QCoreApplication;

namespace sorvane {

// Before the application object exists: the platform plugin chosen from the
// environment (X11 in a Wayland session when XWayland is there).
void choosePlatformPlugin();

// Installs Qt's own translations for the language of the user interface,
// so that standard buttons and dialogs speak the menus' language. Missing
// translation files leave Qt's English texts.
void installQtTranslations(QCoreApplication &app);

} // namespace sorvane
