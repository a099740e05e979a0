#include "app/Main.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDialogHost.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorvane"));

    sorvane::MainWindow window;
    sorvane::QtDialogHost dialogs;
    dialogs.setMainWindow(&window);
    sorvane::QtPlatform platform(window, dialogs);
    sorvane::Main main(platform.services());

    window.attach(main);
    window.winId(); // the window's id owns the boxes start-up may show
    main.initialise();
    window.setDocument(main.document);
    window.show();
    return app.exec();
}
