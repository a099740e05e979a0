#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A private X server for the whole GUI test process (a Qt client of it
// takes the screenshots), the real program started on it for one test, and
// the means to look at the screen as a user would.
class GuiSession {
public:
    ~GuiSession();

    // Starts Xvfb on a free display once per process; later calls reuse it.
    static bool startServer(QString *error);
    // Starts the program with these arguments in `folder` (its program folder
    // when the executable is copied there) and waits for its window.
    bool startProgram(const QString &executable, const QStringList &arguments, QString *error);
    // Environment for the next startProgram(): a null value removes the variable.
    void setEnvironment(const QString &name, const QString &value) { m_environment.append({name, value}); }

    // Starts openbox on the display, for this session's life, and waits
    // until it manages windows.
    bool startWindowManager(QString *error);
    // Asks the program's window to close, as a window manager's close
    // button does (WM_DELETE_WINDOW).
    bool closeWindow();
    // Waits until the program ends by itself (its window closed).
    bool waitForExit(int timeoutMs = 10000);

    static QString display();
    bool programRunning() const { return m_program.state() == QProcess::Running; }
    // Waits until a visible window whose name matches `name` appears.
    bool waitForWindow(const QString &name, int timeoutMs = 10000);
    QString windowId() const { return m_windowId; }
    // The program's window on the screen, in pixels.
    QRect windowRect();
    // The program window's client area as the X server has it (under a
    // window manager, windowRect() is off by the frame's title).
    QRect clientRect();
    QString windowName();
    QImage grabScreen();
    // Runs a helper tool on this display; returns its standard output.
    QString run(const QString &program, const QStringList &arguments, int timeoutMs = 10000);
    // Waits until the predicate holds for a fresh screenshot.
    template <typename Predicate>
    bool waitForScreen(Predicate predicate, int timeoutMs = 10000);

private:
    QProcess m_program;
    QProcess m_windowManager;
    QList<std::pair<QString, QString>> m_environment;
    // The program's per-user configuration (registry, recent files) for
    // this session, never the user's own that runs the tests.
    QTemporaryDir m_configHome;
    QString m_windowId;
};

void pauseMs(int ms);

template <typename Predicate>
bool GuiSession::waitForScreen(Predicate predicate, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 100) {
        if (predicate(grabScreen()))
            return true;
        pauseMs(100);
    }
    return false;
}
