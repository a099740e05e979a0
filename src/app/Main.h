#pragma once

#include "platform/Platform.h"
#include "state/WindowCommands.h"
#include "state/WindowState.h"
#include "subtitles/FileIntake.h"

#include <QString>

#include <memory>

namespace sorvane {

class Dialogs;
class DispatchObject;
class MainObject;
class ScriptCommands;
class ScriptHost;
class DisplayModes;
class Hotkeys;
class PageDocument;
class PageMenu;
class PlayClock;
class SrtExport;
class SubtitleLoader;
class TimeAdjust;
class SkinBinding;
class StyleCommands;
class TextCodec;
class UserWaitDialogHost;
class WindowDrag;
class WindowPlacement;

// The author line shown in the initial caption and by the about box.
extern const char16_t kAuthorLine[];

// The main window: it owns its state (the page, the settings, the cue
// tables, the clock state, the timers and the menu), the features that work
// on that state, and lives as long as the program. Its menu commands and
// methods are what scripts see, under these names; each one runs in the
// feature that does it.
class Main : public WindowState, public WindowCommands {
public:
    explicit Main(PlatformServices platform);
    ~Main();
    Main(const Main &) = delete;
    Main &operator=(const Main &) = delete;

    // Start-up: initialisation, then the window's load, then the last step.
    void initialise();
    // The window closes: the exit script runs (it may save the user's
    // setup), then drop handling goes off and the cursor is released.
    void unload();

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) override;

    // A click on a menu item; items of a group pass their index.
    void menuClicked(const QString &name, int index = -1) override;

    // Commands
    void OnInfo();
    void OnTop();
    void OnEnabled();

    // Subtitles: loading, intake, export
    bool Addsubtitles(const QString &FileName);
    void CallBack(const QString &FileName);
    // A path from the command line or a drop, as the system's bytes.
    void takeIn(const QByteArray &nativePath, FileIntake::PathSource source);
    void OnGetSrt();
    void OnSrtSave();

    // Playback: the clock, the cue display, time and speed
    void OnPlayer();
    void OnSetTime();
    void OnSetTimeA();
    void OnSetTimeB();
    void OnMsKeys(int Index);
    void SetMsIndex(qint32 Index);

    // Window placement
    void SetTopCenter(qint32 offset);

    // Native ids of the page's host window and of its innermost document
    // window; 0 where there is none.
    quintptr Web_Hwnd();
    quintptr IE_Hwnd();

    // Mouse events on the window, and on the page while it passes them on;
    // buttons as WindowDrag's bits.
    void windowMouseDown(int button);
    void windowMouseMove(int buttons);
    void windowDoubleClick();

    // Display modes
    void OnTitle();
    void OnTransparent();
    void SetMenuVisible(bool sTrue);
    void Transparent(bool sTrue);

    // The browser emulation level, kept per user under the program's name.
    void SetInternetExplorerVersion(const QString &Keys);

    // Text style
    void OnFontSizeA();
    void OnFontSizeB();
    void OnFontFamily();
    void OnSetColor();
    void OnShadow();
    void OnWeight(int index);
    void OnEnglish();
    void OnSorting();
    void SetTextShadow(bool sTest);
    void SetFontWeight(const QString &Keys);

    // Shows the cue stored under a time key.
    void ShowSubtitles(const QString &timeKey);

    // Boxes
    QString MsgBoxInfoB(const QString &Text, const QString &Title, const QString &Butt1, const QString &Butt2);
    int MsgBoxB(const QString &lpText, int wType, const QString &lpCaption);
    QString InputBoxB(const QString &lpText, const QString &lpCaption, const QString &Value);
    int MessageBoxTimeout(quintptr hWnd, const QString &lpText, const QString &lpCaption, int wType, int wlange,
                          int Timeout);
    // The platform's colour and font choosers, for the chooser scripts: the
    // colour as "#rrggbb" (the form "Color" takes), the family name; "" when
    // cancelled.
    QString ChooseColor(const QString &initial);
    QString ChooseFont(const QString &family);

    // Scripts: runs `code` in a fresh engine of `language` with this window
    // and its controls exposed; a failure is reported when `showErrors`.
    void RunScript(const QString &code, const QString &language, bool showErrors);
    // The script menu commands and the start-up script.
    void OnSystem();
    void OnScript(int Index);
    void OpenScript(int Index);

    // Text files in a detected or named character set; its failures show the
    // box titled "系统提示".
    TextCodec &textCodec() { return *m_codec; }

    PlatformServices platform() const { return m_platform; }
    Dialogs &dialogs() { return *m_dialogs; }
    // The page's right-click menu (not seen by scripts).
    PageMenu &pageMenu() { return *m_pageMenu; }
    ScriptHost &scriptHost() { return *m_scriptHost; }
    // The window's edges, size and show state as scripts set them.
    WindowPlacement &placement() { return *m_placement; }

    // This window as scripts see it (one object for the window's life).
    std::shared_ptr<DispatchObject> scriptObject();

private:
    void load();
    void writePage();
    void checkItem(const QString &name, bool checked);
    bool isChecked(const QString &name) const;

    // Every box goes through it, so a script's time waiting for the user is
    // not counted against it.
    std::unique_ptr<UserWaitDialogHost> m_userWaits;
    PlatformServices m_platform;
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<TextCodec> m_codec;
    std::shared_ptr<MainObject> m_scriptObject;
    std::unique_ptr<ScriptHost> m_scriptHost;
    std::unique_ptr<ScriptCommands> m_scriptCommands;
    std::unique_ptr<SubtitleLoader> m_loader;
    std::unique_ptr<FileIntake> m_intake;
    std::unique_ptr<SrtExport> m_export;
    std::unique_ptr<PlayClock> m_clock;
    std::unique_ptr<TimeAdjust> m_timeAdjust;
    std::unique_ptr<Hotkeys> m_hotkeys;
    std::unique_ptr<PageMenu> m_pageMenu;
    std::unique_ptr<SkinBinding> m_skin;
    std::unique_ptr<DisplayModes> m_displayModes;
    std::unique_ptr<WindowDrag> m_drag;
    std::unique_ptr<WindowPlacement> m_placement;
    std::unique_ptr<StyleCommands> m_style;
    QString m_caption;
};

} // namespace sorvane
