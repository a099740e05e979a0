#include "qt/X11KeyState.h"

#include <QGuiApplication>

#include <algorithm>

#include <QtCore/qnamespace.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace sorvane {
namespace {

struct KeyMapping {
    int virtualKey;
    unsigned long symbols[4];
};

// Keypad keys are distinct from the main keyboard's: VK_SUBTRACT is the
// keypad "-", VK_OEM_MINUS the main "-".
constexpr KeyMapping kKeyMappings[] = {
    {8, {XK_BackSpace}},
    {9, {XK_Tab}},
    {13, {XK_Return, XK_KP_Enter}},
    {16, {XK_Shift_L, XK_Shift_R}},
    {17, {XK_Control_L, XK_Control_R}},
    {18, {XK_Alt_L, XK_Alt_R, XK_Meta_L, XK_Meta_R}},
    {19, {XK_Pause}},
    {20, {XK_Caps_Lock}},
    {27, {XK_Escape}},
    {32, {XK_space}},
    {33, {XK_Prior}},
    {34, {XK_Next}},
    {35, {XK_End}},
    {36, {XK_Home}},
    {37, {XK_Left}},
    {38, {XK_Up}},
    {39, {XK_Right}},
    {40, {XK_Down}},
    {45, {XK_Insert}},
    {46, {XK_Delete}},
    {96, {XK_KP_0, XK_KP_Insert}},
    {97, {XK_KP_1, XK_KP_End}},
    {98, {XK_KP_2, XK_KP_Down}},
    {99, {XK_KP_3, XK_KP_Next}},
    {100, {XK_KP_4, XK_KP_Left}},
    {101, {XK_KP_5, XK_KP_Begin}},
    {102, {XK_KP_6, XK_KP_Right}},
    {103, {XK_KP_7, XK_KP_Home}},
    {104, {XK_KP_8, XK_KP_Up}},
    {105, {XK_KP_9, XK_KP_Prior}},
    {106, {XK_KP_Multiply}},
    {107, {XK_KP_Add}},
    {109, {XK_KP_Subtract}},
    {110, {XK_KP_Decimal, XK_KP_Delete}},
    {111, {XK_KP_Divide}},
    {186, {XK_semicolon}},
    {187, {XK_equal}},
    {188, {XK_comma}},
    {189, {XK_minus}},
    {190, {XK_period}},
    {191, {XK_slash}},
    {192, {XK_grave}},
    {219, {XK_bracketleft}},
    {220, {XK_backslash}},
    {221, {XK_bracketright}},
    {222, {XK_apostrophe}},
};

} // namespace

QVector<unsigned long> X11KeyState::keySymbols(int virtualKey)
{
    QVector<unsigned long> out;
    if (virtualKey >= '0' && virtualKey <= '9')
        out << XK_0 + (virtualKey - '0');
    else if (virtualKey >= 'A' && virtualKey <= 'Z')
        out << XK_a + (virtualKey - 'A');
    else if (virtualKey >= 112 && virtualKey <= 123)
        out << XK_F1 + (virtualKey - 112);
    for (const KeyMapping &m : kKeyMappings)
        if (m.virtualKey == virtualKey)
            for (unsigned long symbol : m.symbols)
                if (symbol)
                    out << symbol;
    return out;
}

int X11KeyState::virtualKeyOf(int qtKey, bool keypad)
{
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) && keypad)
        return 96 + (qtKey - Qt::Key_0);
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 112 + (qtKey - Qt::Key_F1);
    struct QtMapping {
        int qtKey;
        int onKeypad;
        int onMain;
    };
    static constexpr QtMapping kQtMappings[] = {
        {Qt::Key_Backspace, 8, 8},  {Qt::Key_Tab, 9, 9},         {Qt::Key_Return, 13, 13},
        {Qt::Key_Enter, 13, 13},    {Qt::Key_Shift, 16, 16},     {Qt::Key_Control, 17, 17},
        {Qt::Key_Alt, 18, 18},      {Qt::Key_Meta, 18, 18},      {Qt::Key_Escape, 27, 27},
        {Qt::Key_Space, 32, 32},    {Qt::Key_Asterisk, 106, 0},  {Qt::Key_Plus, 107, 187},
        {Qt::Key_Equal, 0, 187},    {Qt::Key_Minus, 109, 189},   {Qt::Key_Period, 110, 190},
        {Qt::Key_Slash, 111, 191},  {Qt::Key_Delete, 110, 46},   {Qt::Key_Left, 37, 37},
        {Qt::Key_Up, 38, 38},       {Qt::Key_Right, 39, 39},     {Qt::Key_Down, 40, 40},
    };
    for (const QtMapping &m : kQtMappings)
        if (m.qtKey == qtKey)
            return keypad ? m.onKeypad : m.onMain;
    return 0;
}

X11KeyState::X11KeyState()
{
    // A connection of its own: raw events are read here without Qt's
    // event loop, at the moment of each query.
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    int event = 0, error = 0, major = 2, minor = 1;
    if (!XQueryExtension(display, "XInputExtension", &m_opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success || (major == 2 && minor < 1)) {
        XCloseDisplay(display);
        return;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask;
    mask.deviceid = XIAllDevices;
    mask.mask_len = sizeof bits;
    mask.mask = bits;
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XFlush(display);
    m_display = display;

    for (int vk = 1; vk < 256; ++vk) {
        for (unsigned long symbol : keySymbols(vk)) {
            const int keycode = XKeysymToKeycode(m_display, KeySym(symbol));
            if (keycode == 0 || m_keycodesOfVirtualKey.value(vk).contains(keycode))
                continue;
            m_keycodesOfVirtualKey[vk] << keycode;
            m_virtualKeysOfKeycode[keycode] << vk;
        }
    }
    // Keys already down when the program starts.
    char keys[32] = {};
    XQueryKeymap(m_display, keys);
    for (int keycode = 0; keycode < 256; ++keycode)
        if (keys[keycode / 8] & (1 << (keycode % 8)))
            m_downKeycodes.insert(keycode);
}

X11KeyState::~X11KeyState()
{
    if (m_display)
        XCloseDisplay(m_display);
}

void X11KeyState::keyChanged(int keycode, bool down)
{
    if (down) {
        m_downKeycodes.insert(keycode);
        if (!m_heldBackKeycodes.contains(keycode))
            for (int vk : m_virtualKeysOfKeycode.value(keycode))
                m_pressedSinceQuery.insert(vk);
    } else {
        m_downKeycodes.remove(keycode);
        m_heldBackKeycodes.remove(keycode);
    }
}

void X11KeyState::setBoxOpen(bool open)
{
    m_openBoxes = std::max(m_openBoxes + (open ? 1 : -1), 0);
    holdBackKeys();
}

void X11KeyState::holdBackKeys()
{
    if (m_display)
        readEvents();
    m_heldBackKeycodes.unite(m_downKeycodes);
    m_pressedSinceQuery.clear();
    m_downVirtualKeys.clear();
}

void X11KeyState::readEvents()
{
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        XGenericEventCookie *cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_opcode || !XGetEventData(m_display, cookie))
            continue;
        if (cookie->evtype == XI_RawKeyPress || cookie->evtype == XI_RawKeyRelease) {
            const auto *raw = static_cast<const XIRawEvent *>(cookie->data);
            keyChanged(raw->detail, cookie->evtype == XI_RawKeyPress);
        }
        XFreeEventData(m_display, cookie);
    }
}

bool X11KeyState::asyncKeyState(int virtualKey)
{
    // A box of the program's own with the focus takes the keys typed.
    if (m_openBoxes > 0 && QGuiApplication::focusWindow()) {
        holdBackKeys();
        return false;
    }
    const bool pressed = m_pressedSinceQuery.remove(virtualKey);
    if (!m_display)
        return pressed || m_downVirtualKeys.contains(virtualKey);
    readEvents();
    const bool pressedNow = m_pressedSinceQuery.remove(virtualKey);
    bool down = false;
    for (int keycode : m_keycodesOfVirtualKey.value(virtualKey))
        down = down || (m_downKeycodes.contains(keycode) && !m_heldBackKeycodes.contains(keycode));
    return pressed || pressedNow || down;
}

void X11KeyState::windowKey(int virtualKey, bool down)
{
    if (m_display || virtualKey == 0)
        return;
    if (down) {
        m_downVirtualKeys.insert(virtualKey);
        m_pressedSinceQuery.insert(virtualKey);
    } else {
        m_downVirtualKeys.remove(virtualKey);
    }
}

} // namespace sorvane
