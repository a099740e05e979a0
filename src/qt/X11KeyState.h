#pragma once

#include "platform/Platform.h"

#include <QHash>
#include <QSet>
#include <QVector>

#include <memory>

struct _XDisplay;

namespace sorvane {

// The asynchronous key state on X11: a key reads as set when it is down now
// or was pressed since the previous query of that virtual key. Raw key
// events of XInput2 are read from the whole display on a connection of its
// own, so keys pressed while another program has the focus count, and a
// tap between two queries is not lost.
//
// Without an X display or XInput2 the state comes from the key events of
// the program's own window (`windowKey`), so the keys work only while the
// window has the focus.
class X11KeyState : public KeyState {
public:
    X11KeyState();
    ~X11KeyState() override;
    X11KeyState(const X11KeyState &) = delete;
    X11KeyState &operator=(const X11KeyState &) = delete;

    bool asyncKeyState(int virtualKey) override;
    // Whether raw events of the whole display are read.
    bool global() const { return m_display != nullptr; }
    // A key event of the program's window, by virtual key; used only
    // when the display's raw events are not available.
    void windowKey(int virtualKey, bool down);

    // Keys typed into one of the program's own boxes are the box's, not
    // hotkeys: while a box is open and the program has the focus no key
    // reads as pressed, and when the box ends the keys still down (the Esc
    // or Enter that closed it) read as up until they are released. Calls
    // pair up: true as a box opens, false as it ends.
    void setBoxOpen(bool open);

    // The virtual key of a Qt key code; 0 when it has none.
    static int virtualKeyOf(int qtKey, bool keypad);
    // The X key symbols that stand for a virtual key (empty when unknown).
    static QVector<unsigned long> keySymbols(int virtualKey);

private:
    void readEvents();
    void keyChanged(int keycode, bool down);
    // Keys down now, and presses not yet read, go to a box.
    void holdBackKeys();

    ::_XDisplay *m_display = nullptr;
    int m_opcode = 0;
    QHash<int, QVector<int>> m_virtualKeysOfKeycode; // X keycode -> virtual keys
    QHash<int, QVector<int>> m_keycodesOfVirtualKey;
    QSet<int> m_downKeycodes;
    QSet<int> m_downVirtualKeys;   // window events only
    QSet<int> m_pressedSinceQuery; // virtual keys
    QSet<int> m_heldBackKeycodes;  // down since a box had them; up until released
    int m_openBoxes = 0;
};

} // namespace sorvane
