#include "app/Main.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDialogHost.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtStart.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

int main(int argc, char *argv[])
{
    sorvane::choosePlatformPlugin();
    QApplication app(argc, argv);
    sorvane::installQtTranslations(app);
    QApplication::setApplicationName(QStringLiteral("Sorvane"));

    sorvane::MainWindow window;
    sorvane::QtDialogHost dialogs;
    dialogs.setMainWindow(&window);
    sorvane::QtPlatform platform(window, dialogs);
    sorvane::Main main(platform.services());

    window.attach(main);
    main.initialise();
    window.setDocument(main.document);
    window.show();
    // A path on the command line is taken in as if dropped, once start-up
    // has finished, so that a file manager can open subtitle files here.
    if (const QStringList arguments = QCoreApplication::arguments(); arguments.size() > 1) {
        const QString path = QFileInfo(arguments.at(1)).absoluteFilePath();
        QTimer::singleShot(0, &window, [&main, path] { main.CallBack(path); });
    }
    return app.exec();
}
