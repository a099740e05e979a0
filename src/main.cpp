#include "app/Main.h"
#include "qt/MainWindow.h"
#include "qt/QtDialogHost.h"
#include "qt/QtPlatform.h"
#include "qt/QtStart.h"

#include <QApplication>
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
    // The name is taken as its bytes: one that is no valid text still gets
    // an answer.
    if (argc > 1) {
        const QByteArray path(argv[1]);
        QTimer::singleShot(0, &window,
                           [&main, path] { main.takeIn(path, sorvane::FileIntake::PathSource::CommandLine); });
    }
    return app.exec();
}
