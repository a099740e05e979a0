#pragma once

// The services the program takes from its platform, each a small interface.
// qt/ implements them on Qt and X11; platform/fake implements them
// for tests (manual clock, scripted box answers, recorded window calls).

#include "platform/Geometry.h"
#include "platform/Registry.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace sorvane {

// The 32-bit millisecond counter; it wraps after about 49.7 days.
class Clock {
public:
    virtual ~Clock() = default;
    virtual quint32 milliseconds() = 0;
};

// The asynchronous state of a key by its virtual-key code: true when the key
// is down now or was pressed since the previous query of that key.
class KeyState {
public:
    virtual ~KeyState() = default;
    virtual bool asyncKeyState(int virtualKey) = 0;
};

// What the program knows about where it runs.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // Full path of the program file.
    virtual QString programFilePath() = 0;
    virtual Size screenSize() = 0;
    virtual Point cursorPosition() = 0;
    // The work areas of the screens attached now (without panels and docks),
    // the primary one first.
    virtual std::vector<Rect> screenAreas() = 0;
};

// How the window is shown; the numbers scripts see.
enum class WindowShowState { Normal = 0, Minimized = 1, Maximized = 2 };

// The main window. Sizes and positions are in pixels; the window rectangle
// includes the frame and the menu bar, the client area is the page.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void setCaption(const QString &caption) = 0;
    virtual Rect windowRect() = 0;
    virtual Size clientSize() = 0;
    virtual void moveWindow(int left, int top) = 0;
    // The window's outer size, frame and menu bar included.
    virtual void resizeWindow(int width, int height) = 0;
    virtual bool isMinimized() = 0;
    virtual WindowShowState showState() = 0;
    // Never takes the focus from the window that has it.
    virtual void setShowState(WindowShowState state) = 0;
    virtual void setTopmost(bool topmost) = 0;
    virtual void setMenuBarVisible(bool visible) = 0;
    virtual void setFrameVisible(bool visible) = 0;
    // Colour-key transparency of the page background (#010101).
    virtual void setColorKeyTransparency(bool on) = 0;
    // Whether the page takes mouse input itself (text selection) or passes
    // it to the window (dragging, double-click).
    virtual void setPageInputEnabled(bool enabled) = 0;
    virtual void setAcceptDrops(bool accept) = 0;
    virtual void setMoveCursor(bool on) = 0;
    // Native id of the window (0 before it exists); owners of boxes are named by it.
    virtual quintptr windowId() = 0;
    // Native id of the window that hosts the page (0 when there is none),
    // and of the innermost window the page's document is drawn in (0 before
    // a document is shown).
    virtual quintptr pageHostId() = 0;
    virtual quintptr pageInnerId() = 0;
    // Screen rectangle of a native window id, when it is a known window.
    virtual std::optional<Rect> rectOfWindow(quintptr id) = 0;
    // Runs the pending events once (timer ticks, input, repaints). A call
    // within a frame's time of the last run may return at once.
    virtual void processEvents() = 0;
    // Whether processEvents() would run the events now: a caller shows its
    // progress only before a pause that lets it be seen.
    virtual bool eventsDue() = 0;
};

// Platform message box types (the low bits pick the buttons, then the icon).
namespace BoxType {
constexpr int OkOnly = 0;
constexpr int OkCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int ButtonsMask = 0x0F;
constexpr int IconStop = 16;
constexpr int IconQuestion = 32;
constexpr int IconExclamation = 48;
constexpr int IconInformation = 64;
constexpr int IconMask = 0xF0;
} // namespace BoxType

// Button codes a message box returns.
namespace BoxResult {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
constexpr int TimedOut = 32000;
} // namespace BoxResult

struct MessageBoxRequest {
    std::optional<Rect> owner; // centred over it; on the screen when absent
    QString text;
    QString caption;
    int type = 0;
    int timeoutMs = 0;      // 0: no time-out
    QString firstButton;    // when set, the first two buttons carry these captions
    QString secondButton;
};

struct InputBoxRequest {
    std::optional<Rect> owner;
    QString prompt;
    QString title;
    QString value;
};

// The colour chooser starts at `initial`, a CSS colour (a name such as
// "cyan", "#rgb" or "#rrggbb"); one it cannot read starts it at white.
struct ColorChooserRequest {
    std::optional<Rect> owner;
    QString initial;
};

// The font chooser starts at the first family of `family`, a CSS
// font-family list (names may be quoted).
struct FontChooserRequest {
    std::optional<Rect> owner;
    QString family;
};

// Modal boxes. The event loop keeps running while a box is open.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    // The code of the button pressed, or BoxResult::TimedOut.
    virtual int messageBox(const MessageBoxRequest &request) = 0;
    // The text entered; nullopt when cancelled.
    virtual std::optional<QString> inputBox(const InputBoxRequest &request) = 0;
    // The colour chosen as "#rrggbb" (lower case); nullopt when cancelled.
    virtual std::optional<QString> chooseColor(const ColorChooserRequest &request) = 0;
    // The family name chosen; nullopt when cancelled.
    virtual std::optional<QString> chooseFont(const FontChooserRequest &request) = 0;
};

// Starting other programs and reading the environment.
class ShellHost {
public:
    virtual ~ShellHost() = default;
    // Starts a program as a process of its own, without waiting for it;
    // false when it could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
    // The full path of a program found on the program search path; "" when none.
    virtual QString findProgram(const QString &name) = 0;
    // An environment variable's value; "" when unset.
    virtual QString environmentVariable(const QString &name) = 0;
};

// The system clipboard's text.
class ClipboardHost {
public:
    virtual ~ClipboardHost() = default;
    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString &text) = 0;
};

// All services together, as the program's objects receive them.
struct PlatformServices {
    Clock *clock = nullptr;
    KeyState *keys = nullptr;
    SystemInfo *system = nullptr;
    WindowHost *window = nullptr;
    DialogHost *dialogs = nullptr;
    Registry *registry = nullptr;
    ShellHost *shell = nullptr;
    ClipboardHost *clipboard = nullptr;
};

} // namespace sorvane
