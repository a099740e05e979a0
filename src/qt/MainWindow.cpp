#include "qt/MainWindow.h"

#include "app/Main.h"
#include "app/PageMenu.h"
#include "page/PageDocument.h"
#include "app/WindowDrag.h"
#include "qt/ColorKeyShape.h"
#include "qt/PageWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

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
    // While the window has the keyboard focus.
    auto *open = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
    open->setContext(Qt::ApplicationShortcut);
    connect(open, &QShortcut::activated, this, [this] { chooseFile(); });
}

template <typename Show>
auto MainWindow::asBox(Show show)
{
    m_keys.setBoxOpen(true);
    struct Close {
        X11KeyState &keys;
        ~Close() { keys.setBoxOpen(false); }
    } close{m_keys};
    return show();
}

void MainWindow::showPageMenu(const QPoint &globalPos)
{
    if (!m_main)
        return;
    PageMenu &commands = m_main->pageMenu();
    QMenu menu(this);
    menu.addAction(QStringLiteral("打开字幕…\tCtrl+O"), this, [this] { chooseFile(); });

    QMenu *recent = menu.addMenu(QStringLiteral("最近打开"));
    const QStringList files = commands.recentFiles();
    // A menu text takes '&' as the mark of a shortcut letter and a tab as the
    // start of its right-hand column: a file's name shows as it is.
    auto label = [](QString text) {
        return text.replace(QLatin1Char('&'), QLatin1String("&&")).replace(QLatin1Char('\t'), QLatin1Char(' '));
    };
    for (const QString &file : files) {
        QAction *item = recent->addAction(label(QFileInfo(file).fileName()) + QStringLiteral("\t") +
                                              label(QFileInfo(file).path()),
                                          this, [this, file] { m_main->pageMenu().open(file); });
        item->setEnabled(QFileInfo::exists(file));
        item->setToolTip(file);
    }
    recent->setEnabled(!files.isEmpty());

    const bool loaded = !commands.currentFile().isEmpty();
    menu.addAction(QStringLiteral("重新载入"), this, [this] { m_main->pageMenu().reload(); })->setEnabled(loaded);

    QMenu *sets = menu.addMenu(QStringLiteral("编码"));
    sets->setEnabled(loaded);
    const QString chosen = commands.chosenCharSet();
    for (const PageMenu::CharSet &set : PageMenu::charSets()) {
        QAction *item = sets->addAction(set.label, this, [this, name = set.name] { m_main->pageMenu().readIn(name); });
        item->setCheckable(true);
        item->setChecked(set.name.compare(chosen, Qt::CaseInsensitive) == 0);
    }

    menu.addAction(QStringLiteral("快捷键…"), this, [this] { showHotkeys(); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("退出"), this, [this] { close(); });
    asBox([&] { return menu.exec(globalPos); });
}

void MainWindow::chooseFile()
{
    if (!m_main)
        return;
    const QString path = asBox([this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("打开字幕"), m_main->pageMenu().dialogFolder(),
                                            PageMenu::fileFilter());
    });
    // The load (with its pauses) runs once the dialog is gone.
    if (!path.isEmpty())
        QTimer::singleShot(0, this, [this, path] { m_main->pageMenu().open(path); });
}

void MainWindow::showHotkeys()
{
    if (!m_main)
        return;
    QDialog box(this);
    box.setWindowTitle(QStringLiteral("快捷键"));
    auto *layout = new QVBoxLayout(&box);
    QString rows;
    for (const QString &line : m_main->pageMenu().hotkeys()) {
        const QStringList cells = line.split(u'\t');
        rows += QStringLiteral("<tr>");
        for (const QString &cell : cells)
            rows += QStringLiteral("<td style='padding:2px 12px 2px 0'>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
        rows += QStringLiteral("</tr>");
    }
    layout->addWidget(new QLabel(QStringLiteral("<table><tr><th align=left>按键</th><th align=left>作用</th>"
                                                "<th align=left>何时有效</th></tr>") +
                                     rows + QStringLiteral("</table>"),
                                 &box));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    asBox([&] { return box.exec(); });
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
    m_outerSize = QSize();
    setWindowFlag(Qt::FramelessWindowHint, !shown);
    // Frameless, the strip floats over the video and a click on it (to drag
    // it) leaves the focus where it was; menus and boxes take it themselves.
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, !shown);
    if (wasVisible)
        show();
}

QRect MainWindow::outerGeometry() const
{
    // The widget keeps the frame it saw at its last move or resize; a window
    // manager that takes the frame away (or puts it back) around a window
    // that stays where it is sends neither, while the native window reads
    // the frame again at every configure notification.
    const QWindow *native = windowHandle();
    return native && isVisible() ? native->frameGeometry() : frameGeometry();
}

void MainWindow::setOuterSize(const QSize &outer)
{
    const QSize frame = outerGeometry().size() - geometry().size();
    resize(std::max(1, outer.width() - frame.width()), std::max(1, outer.height() - frame.height()));
    // Until the window is shown and framed its frame is not known (a window
    // placed by the start-up script); the size is set again once it is.
    const bool framed = !(windowFlags() & Qt::FramelessWindowHint);
    m_outerSize = framed && (!isVisible() || frame.isEmpty()) ? outer : QSize();
}

bool MainWindow::event(QEvent *event)
{
    const bool done = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
        // A maximized window has the size of the screen, not the one asked for.
        if (isMaximized() || isFullScreen())
            m_outerSize = QSize();
        if (m_outerSize.isValid() && isVisible() && outerGeometry().size() != geometry().size()) {
            const QSize outer = m_outerSize;
            m_outerSize = QSize();
            setOuterSize(outer);
        }
        break;
    default:
        break;
    }
    return done;
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
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        m_main->windowMouseDown(bits(mouse->button()));
        if (mouse->button() == Qt::RightButton) {
            const QPoint at = mouse->globalPosition().toPoint();
            m_pageMenuQueued = true;
            QTimer::singleShot(0, this, [this, at] {
                m_pageMenuQueued = false;
                showPageMenu(at);
            });
        }
        return true;
    }
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
    QTimer::singleShot(0, this, [this, path] { m_main->takeIn(path, FileIntake::PathSource::Drop); });
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
    // With mouse input on the page, its own context menu event.
    if (watched == m_page && event->type() == QEvent::ContextMenu) {
        // The press that made it may have queued the menu already.
        if (!m_pageMenuQueued)
            showPageMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
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
