#pragma once

#include "core/Variant.h"
#include "state/MenuModel.h"
#include "state/TimerControl.h"

#include <QString>

#include <memory>

namespace sorvane {

class Dictionary;
class PageDocument;

// The window's state: the variables scripts see on `Main`, under these
// names, and the menu and timers every command works on. Plain data; the
// window owns it and hands it to each feature with the few services that
// feature uses.
struct WindowState {
    // Window variables, in the order scripts see them.
    std::shared_ptr<PageDocument> document;
    QString Folder;
    QString ScriptPath;
    std::shared_ptr<Dictionary> subtitles;
    std::shared_ptr<Dictionary> subtitlesSort;
    std::shared_ptr<Dictionary> Config;
    qint32 MSID = 0;
    qint32 Mode = 0;
    Variant SavTime;
    QString NewTime;
    QString showTime;
    QString stopTime;
    qint32 showOut = 0;
    bool shortcuts = false;

    // The window's fixed parts.
    MenuModel menu = MenuModel::design();
    TimerControl Timer1{1, false};
    TimerControl Timer2{200, true};
};

} // namespace sorvane
