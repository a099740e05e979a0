#pragma once

#include <QString>
#include <QStringList>

namespace sorvane {

class KeyState;
class MenuModel;
class WindowCommands;
struct WindowState;

// Virtual-key codes of the keys the program watches.
namespace VirtualKey {
constexpr int Back = 8;
constexpr int Return = 13;
constexpr int Control = 17;
constexpr int Menu = 18; // Alt
constexpr int Escape = 27;
constexpr int Multiply = 106;
constexpr int Add = 107;
constexpr int Subtract = 109;
constexpr int Decimal = 110;
constexpr int Divide = 111;
constexpr int OemPlus = 187;
constexpr int OemMinus = 189;
} // namespace VirtualKey

// One Ctrl hotkey: the key (with a second key that must be held too, or 0)
// and the menu command it runs, as its click would.
struct Hotkey {
    int key;
    int alsoHeld;
    const char *command;
    int index;
    const char *keys; // as the user presses them
};

// The Ctrl hotkeys, in the order a tick tests them.
extern const Hotkey kHotkeys[9];

// The `Timer2` tick: the global hotkeys, polled through the asynchronous key
// state so that they work while another program has the keyboard focus,
// and the expiry of notices in `Message` after `Config` "MsgOut" seconds.
class Hotkeys {
public:
    Hotkeys(WindowState &state, WindowCommands &commands, KeyState &keys)
        : m_state(state), m_commands(commands), m_keys(keys)
    {
    }

    void tick();

    // Every hotkey, what it does (the caption of its menu item) and in which
    // modes it works, one line each.
    static QStringList help(const MenuModel &menu);

private:
    void expireNotice();

    WindowState &m_state;
    WindowCommands &m_commands;
    KeyState &m_keys;
};

} // namespace sorvane
