#include "platform/QtStartup.h"

namespace sorvane::QtStartup {

QString platformPlugin(const Environment &environment)
{
    if (!environment("QT_QPA_PLATFORM").isEmpty())
        return {};
    if (!environment("WAYLAND_DISPLAY").isEmpty() && !environment("DISPLAY").isEmpty())
        return QStringLiteral("xcb");
    return {};
}

QLocale translationLocale(const QLocale &system)
{
    if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
        return QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    return system;
}

} // namespace sorvane::QtStartup
