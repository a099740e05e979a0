#include "GuiSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScreen>
#include <QThread>

#include <X11/Xlib.h>

namespace {

int g_argc = 1;
char g_arg0[] = "sorvane_gui_tests";
char *g_argv[] = {g_arg0, nullptr};

// The server outlives every test of the process; it ends with the process.
struct Server {
    QString display;
    QProcess *process = nullptr;
    ~Server()
    {
        if (process) {
            process->terminate();
            if (!process->waitForFinished(3000))
                process->kill();
        }
    }
};

Server &server()
{
    static Server instance;
    return instance;
}

} // namespace

QString GuiSession::display()
{
    return server().display;
}

void pauseMs(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

GuiSession::~GuiSession()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        m_program.waitForFinished(3000);
    }
    if (m_windowManager.state() != QProcess::NotRunning) {
        m_windowManager.terminate();
        if (!m_windowManager.waitForFinished(3000)) {
            m_windowManager.kill();
            m_windowManager.waitForFinished(3000);
        }
    }
}

bool GuiSession::startWindowManager(QString *error)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display());
    m_windowManager.setProcessEnvironment(env);
    // Its messages are not read: a full pipe would stop it.
    m_windowManager.setProcessChannelMode(QProcess::ForwardedChannels);
    // The check window an earlier manager left on the root window may still
    // be named there; this one is up once it names its own (which may get
    // the same id again: after two seconds a name counts).
    const auto checkWindow = [this] {
        return run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    };
    const QString before = checkWindow();
    m_windowManager.start(QStringLiteral("openbox"), {});
    if (!m_windowManager.waitForStarted(5000)) {
        *error = QStringLiteral("openbox did not start: ") + m_windowManager.errorString();
        return false;
    }
    for (int i = 0; i < 100; ++i) {
        const QString now = checkWindow();
        if (now.contains(QLatin1String("window id")) && (now != before || i >= 20))
            return true;
        pauseMs(100);
    }
    *error = QStringLiteral("openbox did not take the display");
    return false;
}

bool GuiSession::closeWindow()
{
    Display *x = XOpenDisplay(display().toLocal8Bit().constData());
    if (!x)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(m_windowId.toULong());
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(x, event.xclient.window, False, NoEventMask, &event) != 0;
    XCloseDisplay(x);
    return sent;
}

bool GuiSession::waitForExit(int timeoutMs)
{
    return m_program.state() == QProcess::NotRunning || m_program.waitForFinished(timeoutMs);
}

bool GuiSession::startServer(QString *error)
{
    Server &srv = server();
    if (srv.process)
        return true;
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int number = 100 + int(QRandomGenerator::global()->bounded(800));
        if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) ||
            QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            continue;
        const QString display = QStringLiteral(":%1").arg(number);
        auto *process = new QProcess;
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral("Xvfb"), {display, QStringLiteral("-screen"), QStringLiteral("0"),
                                               QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                               QStringLiteral("tcp")});
        if (!process->waitForStarted(5000)) {
            *error = QStringLiteral("Xvfb did not start: ") + process->errorString();
            delete process;
            return false;
        }
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        for (int waited = 0; waited < 10000 && !QFile::exists(socket); waited += 50)
            QThread::msleep(50);
        if (!QFile::exists(socket)) {
            process->kill();
            process->waitForFinished();
            delete process;
            continue;
        }
        srv.display = display;
        srv.process = process;
        qputenv("DISPLAY", display.toUtf8());
        qputenv("QT_QPA_PLATFORM", "xcb");
        if (!QCoreApplication::instance())
            new QGuiApplication(g_argc, g_argv);
        return true;
    }
    *error = QStringLiteral("no free X display found");
    return false;
}

bool GuiSession::startProgram(const QString &executable, const QStringList &arguments, QString *error)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // A system without a language: Qt's own texts come in Chinese, as the menus.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("LANGUAGE"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_configHome.path());
    for (const auto &[name, value] : m_environment) {
        if (value.isNull())
            env.remove(name);
        else
            env.insert(name, value);
    }
    m_program.setProcessEnvironment(env);
    m_program.setProcessChannelMode(QProcess::ForwardedChannels);
    m_program.start(executable, arguments);
    if (!m_program.waitForStarted(5000)) {
        *error = QStringLiteral("the program did not start: ") + m_program.errorString();
        return false;
    }
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 15000) {
        const QString ids = run(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                 QStringLiteral("^Sorvane")},
                                3000)
                                .trimmed();
        if (!ids.isEmpty()) {
            m_windowId = ids.split(QLatin1Char('\n')).first();
            return true;
        }
        if (m_program.state() == QProcess::NotRunning) {
            *error = QStringLiteral("the program ended before showing its window");
            return false;
        }
        pauseMs(100);
    }
    *error = QStringLiteral("no window of the program appeared");
    return false;
}

bool GuiSession::waitForWindow(const QString &name, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() <= timeoutMs) {
        const QString ids = run(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), name},
                                3000);
        if (!ids.trimmed().isEmpty())
            return true;
        pauseMs(100);
    }
    return false;
}

QString GuiSession::run(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display());
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QRect GuiSession::windowRect()
{
    const QString shell =
        run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), m_windowId});
    int x = 0, y = 0, w = 0, h = 0;
    for (const QString &line : shell.split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char('='), 1);
        if (line.startsWith(QLatin1String("X=")))
            x = value.toInt();
        else if (line.startsWith(QLatin1String("Y=")))
            y = value.toInt();
        else if (line.startsWith(QLatin1String("WIDTH=")))
            w = value.toInt();
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            h = value.toInt();
    }
    return QRect(x, y, w, h);
}

QRect GuiSession::clientRect()
{
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), m_windowId});
    auto field = [&info](const char *name) {
        for (const QString &line : info.split(QLatin1Char('\n')))
            if (line.trimmed().startsWith(QLatin1String(name)))
                return line.section(QLatin1Char(':'), 1).trimmed().toInt();
        return -1;
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"));
}

QString GuiSession::windowName()
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), m_windowId}).trimmed();
}

QImage GuiSession::grabScreen()
{
    QCoreApplication::processEvents();
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32) : QImage();
}
