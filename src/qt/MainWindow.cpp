#include "qt/MainWindow.h"

#include "app/Main.h"
#include "page/PageDocument.h"
#include "app/WindowDrag.h"
#include "qt/ColorKeyShape.h"
#include "qt/PageWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

#include <utility>

#include <cstdio>
#include <time.h>

namespace sorvane {
namespace {

// Timers on the platform the program was made for deliver at most every
// 15 ms or so; nothing depends on a finer rate, and a coarser one keeps the
// overlay light beside a video player.
constexpr int kTimerResolutionMs = 15;

} // namespace

MainWindow::MainWindow()
{
    m_page = new PageWidget(nullptr, this);
    m_page->installEventFilter(this);
    // The page has a native window of its own, the host that scripts can name.
    m_page->setAttribute(Qt::WA_NativeWindow);
    m_page->setFrameListener([this](const QImage &frame, const QRegion &changed) { updateShape(frame, changed); });
    setCentralWidget(m_page);
    // An overlay never takes the focus from the video: not when it first
    // shows, nor when a mode change shows it again.
    setAttribute(Qt::WA_ShowWithoutActivating);
}

quintptr MainWindow::pageHostId() const
{
    return m_page->testAttribute(Qt::WA_WState_Created) ? quintptr(m_page->winId()) : 0;
}

quintptr MainWindow::pageInnerId() const
{
    return m_page->document() ? pageHostId() : 0;
}

MainWindow::~MainWindow() = default;

void MainWindow::attach(Main &main)
{
    m_main = &main;
    buildMenus();
    m_itemTimer = new QTimer(this);
    m_itemTimer->setSingleShot(true);
    connect(m_itemTimer, &QTimer::timeout, this, &MainWindow::showPendingItems);
    main.menu.setChangeListener([this](int position) { itemChanged(position); });
    bindTimer(main.Timer1, m_timer1);
    bindTimer(main.Timer2, m_timer2);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

void MainWindow::setDocument(std::shared_ptr<PageDocument> document)
{
    m_page->setDocument(std::move(document));
}

QSize MainWindow::pageSize() const
{
    return m_page->size();
}

void MainWindow::buildMenus()
{
    const MenuModel &model = m_main->menu;
    menuBar()->clear();
    m_actions = QVector<QAction *>(model.size(), nullptr);
    m_menus.clear();

    // Items come in design order, so every heading exists before its children.
    for (int position = 0; position < model.size(); ++position) {
        const MenuItem &item = model.at(position);
        QMenu *parentMenu = item.parent >= 0 ? m_menus.value(item.parent) : nullptr;
        QAction *action = nullptr;
        if (model.hasChildren(position)) {
            auto *menu = new QMenu(item.caption, this);
            m_menus.insert(position, menu);
            action = parentMenu ? parentMenu->addMenu(menu) : menuBar()->addMenu(menu);
        } else if (item.isSeparator() && parentMenu) {
            action = parentMenu->addSeparator();
        } else {
            action = parentMenu ? parentMenu->addAction(item.caption) : menuBar()->addAction(item.caption);
            const QString name = item.name;
            const int index = item.index;
            connect(action, &QAction::triggered, this, [this, name, index, position] {
                m_main->menuClicked(name, index);
                // The model is the truth; undo any toggle Qt made by itself.
                updateItem(position);
            });
        }
        m_actions[position] = action;
        updateItem(position);
    }
}

void MainWindow::updateItem(int position)
{
    QAction *action = m_actions.value(position);
    if (!action || !m_main)
        return;
    const MenuItem &item = m_main->menu.at(position);
    if (QMenu *menu = m_menus.value(position))
        menu->setTitle(item.caption);
    else if (!action->isSeparator())
        action->setText(item.caption);
    // Only a checked item shows as checkable, so unchecked ones draw no box.
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
    action->setEnabled(item.enabled);
    action->setVisible(item.visible);
}

void MainWindow::itemChanged(int position)
{
    // The clock heading changes at every tick of the play clock. Each change
    // of a menu bar caption lays out and redraws the whole bar, which cost
    // several times more than the rest of playback together; an item changed
    // again within a tenth of a second is shown at the end of that tenth,
    // with its latest state.
    constexpr qint64 kMinGapMs = 150;
    QElapsedTimer &shown = m_itemShown[position];
    if (!shown.isValid() || shown.elapsed() >= kMinGapMs) {
        m_pendingItems.remove(position);
        updateItem(position);
        shown.start();
        return;
    }
    m_pendingItems.insert(position);
    if (!m_itemTimer->isActive())
        m_itemTimer->start(int(kMinGapMs - shown.elapsed()));
}

void MainWindow::showPendingItems()
{
    const QSet<int> pending = std::exchange(m_pendingItems, {});
    for (int position : pending) {
        updateItem(position);
        m_itemShown[position].start();
    }
}

void MainWindow::bindTimer(TimerControl &control, QTimer *&timer)
{
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [&control] { control.tick(); });
    auto follow = [&control, timer] {
        timer->setInterval(qMax(control.interval(), kTimerResolutionMs));
        if (control.enabled() && control.interval() > 0)
            timer->start();
        else
            timer->stop();
    };
    control.setChangeListener(follow);
    follow();
}

void MainWindow::setTopmost(bool topmost)
{
    // Without a window manager to keep it above, the window at least comes
    // to the top of the stack now.
    if (topmost && isVisible())
        raise();
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == topmost)
        return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (wasVisible)
        show();
}

void MainWindow::setMenuBarShown(bool shown)
{
    menuBar()->setVisible(shown);
}

void MainWindow::setFrameShown(bool shown)
{
    if (bool(windowFlags() & Qt::FramelessWindowHint) == !shown)
        return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::FramelessWindowHint, !shown);
    // Frameless, the strip floats over the video and a click on it (to drag
    // it) leaves the focus where it was; menus and boxes take it themselves.
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, !shown);
    if (wasVisible)
        show();
}

void MainWindow::setColorKey(bool on)
{
    m_colorKey = on;
    const QImage &frame = m_page->frame();
    updateShape(frame, QRegion(frame.rect()));
}

void MainWindow::updateShape(const QImage &frame, const QRegion &changed)
{
    if (!m_colorKey) {
        m_pageShape = QRegion();
        if (!mask().isEmpty())
            clearMask();
        return;
    }
    // Only the part drawn again is looked at; the rest keeps its shape.
    // A frame of a new size comes drawn whole, and nothing of the old one
    // stays.
    const QRegion drawn = changed & QRegion(frame.rect());
    if (drawn == QRegion(frame.rect()))
        m_pageShape = QRegion();
    else
        m_pageShape -= drawn;
    for (const QRect &r : drawn)
        m_pageShape += opaqueRegion(frame, r);
    // The window outside the page (the menu bar, when shown) stays whole.
    const QRect page = m_page->geometry();
    QRegion shape = QRegion(rect()) - QRegion(page);
    shape += m_pageShape.translated(page.topLeft());
    // An empty mask would mean no shape at all; a page of nothing but
    // key pixels keeps one pixel outside the window instead.
    if (shape.isEmpty())
        shape = QRegion(-1, -1, 1, 1);
    if (shape != mask())
        setMask(shape);
}

void MainWindow::setPageInputEnabled(bool enabled)
{
    m_pageInput = enabled;
}

bool MainWindow::pageMouseEvent(QEvent *event)
{
    if (!m_main || m_pageInput)
        return false;
    auto bits = [](Qt::MouseButtons buttons) {
        int b = 0;
        if (buttons & Qt::LeftButton)
            b |= WindowDrag::kLeftButton;
        if (buttons & Qt::RightButton)
            b |= WindowDrag::kRightButton;
        if (buttons & Qt::MiddleButton)
            b |= WindowDrag::kMiddleButton;
        return b;
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_main->windowMouseDown(bits(static_cast<QMouseEvent *>(event)->button()));
        return true;
    case QEvent::MouseMove:
        m_main->windowMouseMove(bits(static_cast<QMouseEvent *>(event)->buttons()));
        return true;
    case QEvent::MouseButtonRelease:
        return true;
    case QEvent::MouseButtonDblClick:
        m_main->windowDoubleClick();
        return true;
    default:
        return false;
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !m_main)
        return;
    event->acceptProposedAction();
    // The intake (a whole load with its pauses) runs once the drop is
    // finished, so that a second drop during a load is a drop of its own.
    // The path's own bytes, so that a name that is no valid text still gets
    // an answer.
    const QUrl &url = urls.first();
    if (!url.isLocalFile())
        return;
    const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    QTimer::singleShot(0, this, [this, path] { m_main->takeIn(path); });
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    m_keys.windowKey(X11KeyState::virtualKeyOf(event->key(), event->modifiers() & Qt::KeypadModifier), true);
    QMainWindow::keyPressEvent(event);
}

void MainWindow::keyReleaseEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat())
        m_keys.windowKey(X11KeyState::virtualKeyOf(event->key(), event->modifiers() & Qt::KeypadModifier), false);
    QMainWindow::keyReleaseEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_main)
        m_main->unload();
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_page && pageMouseEvent(event))
        return true;
    if (watched == m_page && event->type() == QEvent::Paint && !m_firstPaintReported) {
        m_firstPaintReported = true;
        // For the start-up benchmark: when the page was first painted, in
        // nanoseconds of the real-time clock.
        if (qEnvironmentVariableIsSet("SORVANE_TRACE_STARTUP")) {
            QTimer::singleShot(0, this, [] {
                timespec ts{};
                clock_gettime(CLOCK_REALTIME, &ts);
                std::fprintf(stderr, "sorvane: first paint at %lld\n",
                             (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec);
                std::fflush(stderr);
            });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace sorvane
