#include "app/Main.h"

#include "app/BrowserEmulation.h"
#include "app/ConfigDefaults.h"
#include "app/DisplayModes.h"
#include "app/MainObject.h"
#include "app/PageMenu.h"
#include "app/ProgramFolder.h"
#include "app/SkinBinding.h"
#include "app/WindowDrag.h"
#include "app/WindowPlacement.h"
#include "core/Dictionary.h"
#include "dialogs/Dialogs.h"
#include "dialogs/UserWaitDialogHost.h"
#include "page/PageDocument.h"
#include "page/PageElement.h"
#include "page/PageTemplate.h"
#include "playback/Hotkeys.h"
#include "playback/PlayClock.h"
#include "playback/TimeAdjust.h"
#include "scripting/ScriptCommands.h"
#include "scripting/ScriptHost.h"
#include "style/StyleCommands.h"
#include "subtitles/FileIntake.h"
#include "subtitles/SrtExport.h"
#include "subtitles/SubtitleLoader.h"
#include "text/TextCodec.h"

#include <QFileInfo>

#include <functional>
#include <iterator>

namespace sorvane {

const char16_t kAuthorLine[] = u"作者：Sorvane 开发组";

namespace {

const QString kSeparator = QStringLiteral("/");

struct Command {
    const char *name;
    void (*run)(Main &main, int index);
};

// Menu items and the commands they run; items of a group pass their index.
constexpr Command kCommands[] = {
    {"OnInfo", [](Main &m, int) { m.OnInfo(); }},
    {"OnTop", [](Main &m, int) { m.OnTop(); }},
    {"OnEnabled", [](Main &m, int) { m.OnEnabled(); }},
    {"OnPlayer", [](Main &m, int) { m.OnPlayer(); }},
    {"OnSetTime", [](Main &m, int) { m.OnSetTime(); }},
    {"OnSetTimeA", [](Main &m, int) { m.OnSetTimeA(); }},
    {"OnSetTimeB", [](Main &m, int) { m.OnSetTimeB(); }},
    {"OnMsKeys", [](Main &m, int index) { m.OnMsKeys(index); }},
    {"OnGetSrt", [](Main &m, int) { m.OnGetSrt(); }},
    {"OnSrtSave", [](Main &m, int) { m.OnSrtSave(); }},
    {"OnTitle", [](Main &m, int) { m.OnTitle(); }},
    {"OnTransparent", [](Main &m, int) { m.OnTransparent(); }},
    {"OnFontSizeA", [](Main &m, int) { m.OnFontSizeA(); }},
    {"OnFontSizeB", [](Main &m, int) { m.OnFontSizeB(); }},
    {"OnFontFamily", [](Main &m, int) { m.OnFontFamily(); }},
    {"OnSetColor", [](Main &m, int) { m.OnSetColor(); }},
    {"OnShadow", [](Main &m, int) { m.OnShadow(); }},
    {"OnWeight", [](Main &m, int index) { m.OnWeight(index); }},
    {"OnEnglish", [](Main &m, int) { m.OnEnglish(); }},
    {"OnSorting", [](Main &m, int) { m.OnSorting(); }},
    {"OnSystem", [](Main &m, int) { m.OnSystem(); }},
    {"OnScript", [](Main &m, int index) { m.OnScript(index); }},
    {"OpenScript", [](Main &m, int index) { m.OpenScript(index); }},
};

const Command *findCommand(const QString &name)
{
    for (const Command &c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

// The folder of a file, always ending in the separator; a root stays as it is.
QString folderOf(const QString &filePath)
{
    QString folder = QFileInfo(filePath).absolutePath();
    if (!folder.endsWith(kSeparator))
        folder += kSeparator;
    return folder;
}

PlatformServices withDialogs(PlatformServices platform, DialogHost &dialogs)
{
    platform.dialogs = &dialogs;
    return platform;
}

} // namespace

Main::Main(PlatformServices platform)
    : m_userWaits(std::make_unique<UserWaitDialogHost>(
          *platform.dialogs, [this](bool waiting) { m_scriptHost->userWait(waiting); }))
    , m_platform(withDialogs(platform, *m_userWaits))
    , m_dialogs(std::make_unique<Dialogs>(*m_platform.dialogs, *m_platform.window))
    , m_codec(std::make_unique<TextCodec>([this](const QString &description) {
        MsgBoxB(description, BoxType::IconExclamation, QStringLiteral("系统提示"));
    }))
    , m_scriptHost(std::make_unique<ScriptHost>(*this, m_platform, *m_codec, *m_dialogs,
                                                [this](const ScriptHost::Expose &expose) {
                                                    MainObject::exposeProgramObjects(*this, expose);
                                                }))
    , m_scriptCommands(std::make_unique<ScriptCommands>(*this, *m_scriptHost, *m_codec, *m_dialogs, m_platform))
    , m_loader(std::make_unique<SubtitleLoader>(*this, *m_codec, *m_scriptHost, *m_platform.window))
    , m_intake(std::make_unique<FileIntake>(*this, *this, *m_loader, *m_scriptHost, *m_codec, *m_dialogs, m_platform))
    , m_export(std::make_unique<SrtExport>(*this, *m_codec))
    , m_clock(std::make_unique<PlayClock>(*this, *m_platform.clock))
    , m_timeAdjust(std::make_unique<TimeAdjust>(*this, *m_clock, *m_dialogs, *m_platform.clock))
    , m_hotkeys(std::make_unique<Hotkeys>(*this, *this, *m_platform.keys))
    , m_pageMenu(std::make_unique<PageMenu>(*this, *m_intake, *m_loader, m_platform.registry))
    , m_drag(std::make_unique<WindowDrag>(*platform.window, *platform.system))
    , m_placement(std::make_unique<WindowPlacement>(*platform.window, *platform.system))
    , m_style(std::make_unique<StyleCommands>(*this, *m_clock, *m_scriptHost, *m_codec, *m_dialogs, m_platform))
{
    Timer1.setTickHandler([this] { m_clock->tick(); });
    Timer2.setTickHandler([this] { m_hotkeys->tick(); });
}

Main::~Main() = default;

void Main::initialise()
{
    subtitles = std::make_shared<Dictionary>();
    subtitlesSort = std::make_shared<Dictionary>();
    Config = std::make_shared<Dictionary>();

    const ProgramFolder::Choice program =
        ProgramFolder::choose(folderOf(m_platform.system->programFilePath()), ProgramFolder::dataHome(*m_platform.shell));
    Folder = program.folder;
    if (!program.problems.isEmpty())
        MsgBoxB(program.problems.join(QLatin1Char('\n')), BoxType::IconExclamation, QStringLiteral("系统提示"));
    ScriptPath = Folder + QStringLiteral("script") + kSeparator;

    addConfigDefaults(*Config, ConfigContext{Folder, ScriptPath, m_platform.system->screenSize()});

    showTime = QStringLiteral("00:00:00");
    stopTime = QStringLiteral("00:00:00");

    m_skin = std::make_unique<SkinBinding>(Folder, [this](const QString &message) {
        MsgBoxB(message, BoxType::IconExclamation, QStringLiteral("系统提示"));
    });
    m_displayModes = std::make_unique<DisplayModes>(*this, *m_skin);
    m_skin->attach();
    SetInternetExplorerVersion(QStringLiteral("IE11"));

    setCaption(QStringLiteral("Sorvane - (") + QString::fromUtf16(kAuthorLine) + QStringLiteral(")"));
    load();

    // No file has been taken in yet, so there is nothing to reload.
    menu.setEnabled(menu.find(QStringLiteral("OnGetSrt")), false);

    // An empty page says how files get in, unless the start-up script left
    // a note of its own; it goes after "MsgOut" seconds as every note does.
    PageElement *note = document ? document->getElementById(QStringLiteral("Message")) : nullptr;
    if (note && note->innerHTML().isEmpty()) {
        note->setInnerHTML(QStringLiteral("<font size=2>拖放字幕文件到这里，或右键 › 打开字幕…（Ctrl+O）</font>"));
        showOut = 0;
    }
}

void Main::load()
{
    writePage();
    OnTop();
    SetTopCenter(0);
    OnSystem();
    // A display mode the start-up script left in Mode (a saved one put
    // back) is shown, as the steps of OnTitle from the framed mode reach it.
    const qint32 mode = qint32(((qint64(Mode) % 3) + 3) % 3);
    Mode = 0;
    for (qint32 step = 0; step < mode; ++step)
        OnTitle();
    // It may also have put the window back where it was, on a screen that
    // may be gone now.
    m_placement->keepOnScreen();
    // Mouse input over the page goes to the window, for dragging and double-click.
    m_platform.window->setPageInputEnabled(false);
    m_platform.window->setAcceptDrops(true);
    m_platform.window->setMoveCursor(true);
}

void Main::unload()
{
    m_scriptCommands->OnExit();
    m_platform.window->setAcceptDrops(false);
    m_platform.window->setMoveCursor(false);
}

void Main::writePage()
{
    document = PageDocument::write(pageText(Config->item(QStringLiteral("Color")).text()));
}

void Main::setCaption(const QString &caption)
{
    m_caption = caption;
    m_platform.window->setCaption(caption);
}

void Main::menuClicked(const QString &name, int index)
{
    if (const Command *command = findCommand(name))
        command->run(*this, index);
}

void Main::checkItem(const QString &name, bool checked)
{
    menu.setChecked(menu.find(name), checked);
}

bool Main::isChecked(const QString &name) const
{
    return menu.at(menu.find(name)).checked;
}

void Main::OnInfo()
{
    MessageBoxTimeout(m_platform.window->windowId(), QString::fromUtf16(kAuthorLine), QStringLiteral("关于作者"),
                      BoxType::IconQuestion, 0, 5000);
}

void Main::OnTop()
{
    checkItem(QStringLiteral("OnTop"), !isChecked(QStringLiteral("OnTop")));
    m_platform.window->setTopmost(isChecked(QStringLiteral("OnTop")));
}

void Main::OnEnabled()
{
    checkItem(QStringLiteral("OnEnabled"), !isChecked(QStringLiteral("OnEnabled")));
    // Checked: the window takes the mouse (dragging); unchecked: the page does.
    m_platform.window->setPageInputEnabled(!isChecked(QStringLiteral("OnEnabled")));
}

void Main::SetTopCenter(qint32 offset)
{
    WindowHost &window = *m_platform.window;
    if (window.isMinimized())
        return;
    // Twips throughout, at 15 twips a pixel.
    const Size screen = m_platform.system->screenSize();
    const Rect rect = window.windowRect();
    const double screenWidth = screen.width * 15.0, screenHeight = screen.height * 15.0;
    const double width = rect.width * 15.0, height = rect.height * 15.0;

    const qint64 half = qint64(roundHalfEven((screenHeight - height) / 15.0 / 2.0));
    qint64 clamped = offset;
    if (clamped < -half)
        clamped = -half;
    if (clamped > half)
        clamped = half;

    const double left = (screenWidth - width) / 2.0;
    const double top = (screenHeight - height) / 2.0 + double(clamped) * 15.0;
    window.moveWindow(int(roundHalfEven(left / 15.0)), int(roundHalfEven(top / 15.0)));
}

quintptr Main::Web_Hwnd()
{
    return m_platform.window->pageHostId();
}

quintptr Main::IE_Hwnd()
{
    return m_platform.window->pageInnerId();
}

void Main::windowMouseDown(int button)
{
    m_drag->mouseDown(button);
}

void Main::windowMouseMove(int buttons)
{
    m_drag->mouseMove(buttons);
}

void Main::windowDoubleClick()
{
    OnTitle();
}

void Main::OnTitle()
{
    m_displayModes->OnTitle();
}

void Main::OnTransparent()
{
    m_displayModes->OnTransparent();
}

void Main::SetMenuVisible(bool sTrue)
{
    m_displayModes->SetMenuVisible(sTrue);
}

void Main::Transparent(bool sTrue)
{
    m_displayModes->Transparent(sTrue);
}

void Main::SetInternetExplorerVersion(const QString &Keys)
{
    BrowserEmulation::SetInternetExplorerVersion(m_platform.registry, m_platform.system->programFilePath(), Keys);
}

void Main::OnFontSizeA() { m_style->OnFontSizeA(); }
void Main::OnFontSizeB() { m_style->OnFontSizeB(); }
void Main::OnFontFamily() { m_style->OnFontFamily(); }
void Main::OnSetColor() { m_style->OnSetColor(); }
void Main::OnShadow() { m_style->OnShadow(); }
void Main::OnWeight(int index) { m_style->OnWeight(index); }
void Main::OnEnglish() { m_style->OnEnglish(); }
void Main::OnSorting() { m_style->OnSorting(); }
void Main::SetTextShadow(bool sTest) { m_style->SetTextShadow(sTest); }
void Main::SetFontWeight(const QString &Keys) { m_style->SetFontWeight(Keys); }

bool Main::Addsubtitles(const QString &FileName)
{
    m_loader->load(FileName);
    return false;
}

void Main::CallBack(const QString &FileName) { m_intake->CallBack(FileName); }
void Main::takeIn(const QByteArray &nativePath, FileIntake::PathSource source)
{
    m_intake->takeIn(nativePath, source);
}
void Main::OnGetSrt() { m_intake->OnGetSrt(); }
void Main::OnSrtSave() { m_export->OnSrtSave(); }
void Main::ShowSubtitles(const QString &timeKey) { m_clock->ShowSubtitles(timeKey); }
void Main::OnPlayer() { m_clock->OnPlayer(); }
void Main::OnSetTime() { m_timeAdjust->OnSetTime(); }
void Main::OnSetTimeA() { m_timeAdjust->OnSetTimeA(); }
void Main::OnSetTimeB() { m_timeAdjust->OnSetTimeB(); }
void Main::OnMsKeys(int Index) { m_timeAdjust->OnMsKeys(Index); }
void Main::SetMsIndex(qint32 Index) { m_timeAdjust->SetMsIndex(Index); }

std::shared_ptr<DispatchObject> Main::scriptObject()
{
    if (!m_scriptObject)
        m_scriptObject = std::make_shared<MainObject>(*this);
    return m_scriptObject;
}

void Main::RunScript(const QString &code, const QString &language, bool showErrors)
{
    m_scriptHost->RunScript(code, language, showErrors);
}

void Main::OnSystem()
{
    m_scriptCommands->OnSystem();
}

void Main::OnScript(int Index)
{
    m_scriptCommands->OnScript(Index);
}

void Main::OpenScript(int Index)
{
    m_scriptCommands->OpenScript(Index);
}

QString Main::MsgBoxInfoB(const QString &Text, const QString &Title, const QString &Butt1, const QString &Butt2)
{
    return m_dialogs->MsgBoxInfoB(Text, Title, Butt1, Butt2);
}

int Main::MsgBoxB(const QString &lpText, int wType, const QString &lpCaption)
{
    return m_dialogs->MsgBoxB(lpText, wType, lpCaption);
}

QString Main::InputBoxB(const QString &lpText, const QString &lpCaption, const QString &Value)
{
    return m_dialogs->InputBoxB(lpText, lpCaption, Value);
}

int Main::MessageBoxTimeout(quintptr hWnd, const QString &lpText, const QString &lpCaption, int wType, int wlange,
                            int Timeout)
{
    return m_dialogs->MessageBoxTimeout(hWnd, lpText, lpCaption, wType, wlange, Timeout);
}

QString Main::ChooseColor(const QString &initial)
{
    return m_dialogs->ChooseColor(initial);
}

QString Main::ChooseFont(const QString &family)
{
    return m_dialogs->ChooseFont(family);
}

} // namespace sorvane
