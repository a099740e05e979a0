#pragma once

#include "qt/X11KeyState.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <QRegion>
#include <QSet>
#include <QVector>

#include <memory>

class QAction;
class QMenu;
class QTimer;

namespace sorvane {

class Main;
class PageDocument;
class PageWidget;
class TimerControl;

// The overlay strip on screen: the menu bar rendered from the menu model,
// the page widget as the client area, and real timers following the
// window's timer controls.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The page is designed 784 by 102 pixels.
    static constexpr int kClientWidth = 784;
    static constexpr int kClientHeight = 102;

    MainWindow();
    ~MainWindow() override;

    // Binds the program: menus, timers and the page follow `main` from now on.
    void attach(Main &main);
    // Shows the page written at load.
    void setDocument(std::shared_ptr<PageDocument> document);

    QSize pageSize() const;
    void setTopmost(bool topmost);
    void setMenuBarShown(bool shown);
    void setFrameShown(bool shown);
    // Sizes the window with its frame and menu bar.
    void setOuterSize(const QSize &outer);
    // The window with its frame, as the window manager has it now.
    QRect outerGeometry() const;
    void setColorKey(bool on);
    void setPageInputEnabled(bool enabled);
    // Native ids of the page's window, 0 while there is none; the inner one
    // also stays 0 until a document is shown.
    quintptr pageHostId() const;
    quintptr pageInnerId() const;
    // The asynchronous key state the hotkeys poll.
    X11KeyState &keyState() { return m_keys; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A dropped file goes to CallBack: the first path only.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // The window's own keys, for the key state when the display's are not read.
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void buildMenus();
    void updateItem(int position);
    // Shows a change of the model's item; see the definition for the pace.
    void itemChanged(int position);
    void showPendingItems();
    // In see-through state: the window's shape leaves out the page's key pixels.
    // Follows the page's picture: `changed` is the part of `frame` drawn
    // since the last call.
    void updateShape(const QImage &frame, const QRegion &changed);
    bool pageMouseEvent(QEvent *event);
    void bindTimer(TimerControl &control, QTimer *&timer);
    // The page's own menu (open, recent files, reload, character set,
    // hotkeys, quit) at `globalPos`; scripts do not see it.
    void showPageMenu(const QPoint &globalPos);
    void chooseFile();
    void showHotkeys();
    // Runs `show` (a menu or a box of the window's own) with the keys typed
    // into it held back from the global hotkeys.
    template <typename Show>
    auto asBox(Show show);

    Main *m_main = nullptr;
    PageWidget *m_page = nullptr;
    QVector<QAction *> m_actions; // by menu position
    QHash<int, QMenu *> m_menus;  // submenus by heading position
    QHash<int, QElapsedTimer> m_itemShown; // when each item was last shown
    QSet<int> m_pendingItems;
    QTimer *m_itemTimer = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
    bool m_firstPaintReported = false;
    bool m_colorKey = false;
    // The page's pixels that are not the key, while the window is keyed.
    QRegion m_pageShape;
    bool m_pageInput = true;
    bool m_pageMenuQueued = false;
    // An outer size asked for before the window manager framed the window.
    QSize m_outerSize;
    X11KeyState m_keys;
};

} // namespace sorvane
