#include "qt/QtStart.h"

#include "platform/QtStartup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace sorvane {

void choosePlatformPlugin()
{
    const QString plugin = QtStartup::platformPlugin(
        [](const char *name) { return QString::fromLocal8Bit(qgetenv(name)); });
    if (!plugin.isEmpty())
        qputenv("QT_QPA_PLATFORM", plugin.toLocal8Bit());
}

void installQtTranslations(QCoreApplication &app)
{
    const QLocale locale = QtStartup::translationLocale(QLocale::system());
    auto *translator = new QTranslator(&app);
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace sorvane
