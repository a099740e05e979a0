#pragma once

#include <QString>
#include <QtGlobal>

namespace sorvane {

class DialogHost;
class WindowHost;

// The program's message, timed and input boxes. Every box the program opens
// goes through here (the script error report excepted), and scripts reach
// these routines through the main window. Boxes of the first three routines
// open centred over the main window; a timed box opens over the window named
// by its owner handle, or centred on the screen when that names no window.
class Dialogs {
public:
    Dialogs(DialogHost &host, WindowHost &window);

    // A Yes/No question box whose two buttons read Butt1 and Butt2; returns
    // Butt1 when the first was pressed, otherwise Butt2.
    QString MsgBoxInfoB(const QString &Text, const QString &Title, const QString &Butt1, const QString &Butt2);

    // A message box of the given type flags; returns the code of the button pressed.
    int MsgBoxB(const QString &lpText, int wType, const QString &lpCaption);

    // The text entered; "" when the box is cancelled.
    QString InputBoxB(const QString &lpText, const QString &lpCaption, const QString &Value);

    // A message box that closes itself after Timeout milliseconds and then
    // returns BoxResult::TimedOut. A Timeout of 0 or less never closes it.
    // The standard buttons are captioned in the program's language, so
    // wlange is accepted and not used.
    int MessageBoxTimeout(quintptr hWnd, const QString &lpText, const QString &lpCaption, int wType, int wlange,
                          int Timeout);

    // The platform's colour chooser over the main window, starting at the
    // CSS colour `initial`; the colour chosen as "#rrggbb", "" when cancelled.
    QString ChooseColor(const QString &initial);

    // The platform's font chooser over the main window, starting at the first
    // family of the CSS font-family list `family`; the family name chosen,
    // "" when cancelled.
    QString ChooseFont(const QString &family);

private:
    DialogHost &m_host;
    WindowHost &m_window;
};

} // namespace sorvane
