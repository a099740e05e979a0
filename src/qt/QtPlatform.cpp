#include "qt/QtPlatform.h"

#include "qt/MainWindow.h"
#include "qt/QtDialogHost.h"

#include <QCoreApplication>
#include <QClipboard>
#include <QCursor>
#include <QProcess>
#include <QStandardPaths>
#include <QGuiApplication>
#include <QScreen>

#include <time.h>

namespace sorvane {

QtPlatform::QtPlatform(MainWindow &window, QtDialogHost &dialogs)
    : m_window(window)
    , m_dialogs(dialogs)
    , m_registry(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                 + QStringLiteral("/sorvane/registry.json"))
{
    dialogs.setKeyState(&window.keyState());
}

PlatformServices QtPlatform::services()
{
    PlatformServices s;
    s.clock = this;
    s.keys = this;
    s.system = this;
    s.window = this;
    s.dialogs = &m_dialogs;
    s.shell = this;
    s.clipboard = this;
    s.registry = &m_registry;
    return s;
}

quint32 QtPlatform::milliseconds()
{
    // Milliseconds since the system started, wrapping at 32 bits.
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return quint32(quint64(ts.tv_sec) * 1000u + quint64(ts.tv_nsec) / 1000000u);
}

bool QtPlatform::asyncKeyState(int virtualKey)
{
    return m_window.keyState().asyncKeyState(virtualKey);
}

QString QtPlatform::programFilePath()
{
    return QCoreApplication::applicationFilePath();
}

Size QtPlatform::screenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
}

std::vector<Rect> QtPlatform::screenAreas()
{
    std::vector<Rect> areas;
    QList<QScreen *> screens = QGuiApplication::screens();
    if (QScreen *primary = QGuiApplication::primaryScreen())
        screens.move(std::max<qsizetype>(0, screens.indexOf(primary)), 0);
    for (const QScreen *screen : screens) {
        const QRect r = screen->availableGeometry();
        areas.push_back({r.left(), r.top(), r.width(), r.height()});
    }
    return areas;
}

Point QtPlatform::cursorPosition()
{
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

void QtPlatform::setCaption(const QString &caption)
{
    m_window.setWindowTitle(caption);
}

Rect QtPlatform::windowRect()
{
    const QRect r = m_window.outerGeometry();
    return {r.left(), r.top(), r.width(), r.height()};
}

Size QtPlatform::clientSize()
{
    const QSize s = m_window.pageSize();
    return {s.width(), s.height()};
}

void QtPlatform::moveWindow(int left, int top)
{
    m_window.move(left, top);
}

void QtPlatform::resizeWindow(int width, int height)
{
    m_window.setOuterSize(QSize(width, height));
}

bool QtPlatform::isMinimized()
{
    return m_window.isMinimized();
}

WindowShowState QtPlatform::showState()
{
    if (m_window.isMinimized())
        return WindowShowState::Minimized;
    return m_window.isMaximized() ? WindowShowState::Maximized : WindowShowState::Normal;
}

void QtPlatform::setShowState(WindowShowState state)
{
    Qt::WindowStates states = m_window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == WindowShowState::Minimized)
        states |= Qt::WindowMinimized;
    else if (state == WindowShowState::Maximized)
        states |= Qt::WindowMaximized;
    // setWindowState() keeps the window's activation attributes, unlike
    // showNormal() and its siblings, which activate it.
    m_window.setWindowState(states);
}

void QtPlatform::setTopmost(bool topmost)
{
    m_window.setTopmost(topmost);
}

void QtPlatform::setMenuBarVisible(bool visible)
{
    m_window.setMenuBarShown(visible);
}

void QtPlatform::setFrameVisible(bool visible)
{
    m_window.setFrameShown(visible);
}

void QtPlatform::setColorKeyTransparency(bool on)
{
    m_window.setColorKey(on);
}

void QtPlatform::setPageInputEnabled(bool enabled)
{
    m_window.setPageInputEnabled(enabled);
}

void QtPlatform::setAcceptDrops(bool accept)
{
    m_window.setAcceptDrops(accept);
}

void QtPlatform::setMoveCursor(bool on)
{
    if (on)
        m_window.setCursor(Qt::SizeAllCursor);
    else
        m_window.unsetCursor();
}

quintptr QtPlatform::windowId()
{
    return m_window.testAttribute(Qt::WA_WState_Created) ? quintptr(m_window.winId()) : 0;
}

quintptr QtPlatform::pageHostId()
{
    return m_window.pageHostId();
}

quintptr QtPlatform::pageInnerId()
{
    return m_window.pageInnerId();
}

std::optional<Rect> QtPlatform::rectOfWindow(quintptr id)
{
    if (id == 0 || id != windowId())
        return std::nullopt;
    return windowRect();
}

void QtPlatform::processEvents()
{
    // The loader pauses once per cue block, thousands of times a second;
    // running the events (and so redrawing the page) at every pause made a
    // large file load for a minute. Once per frame keeps input, drops and
    // the progress counter as prompt as the eye can tell.
    if (!eventsDue())
        return;
    QCoreApplication::processEvents();
    m_lastEvents.start();
}

bool QtPlatform::eventsDue()
{
    constexpr qint64 kFrameMs = 16;
    return !m_lastEvents.isValid() || m_lastEvents.elapsed() >= kFrameMs;
}

bool QtPlatform::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

QString QtPlatform::findProgram(const QString &name)
{
    return QStandardPaths::findExecutable(name);
}

QString QtPlatform::environmentVariable(const QString &name)
{
    return qEnvironmentVariable(name.toUtf8().constData());
}

QString QtPlatform::clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

void QtPlatform::setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace sorvane
