#include "platform/QtStartup.h"

#include <gtest/gtest.h>

#include <QHash>

using namespace sorvane;

namespace {

TEST(QtStartup, AWaylandSessionRunsOnXWaylandUnlessTheUserChose)
{
    struct Case {
        const char *wayland;
        const char *display;
        const char *platform;
        const char *expected;
    };
    const Case cases[] = {
        {"wayland-0", ":0", "", "xcb"},
        {"wayland-0", "", "", ""},          // no XWayland: Qt's own choice
        {"wayland-0", ":0", "wayland", ""}, // the user's choice stands
        {"", ":0", "", ""},
        {"", "", "", ""},
    };
    for (const Case &c : cases) {
        const QHash<QString, QString> environment = {
            {"WAYLAND_DISPLAY", c.wayland}, {"DISPLAY", c.display}, {"QT_QPA_PLATFORM", c.platform}};
        const QString plugin = QtStartup::platformPlugin(
            [&environment](const char *name) { return environment.value(QString::fromLatin1(name)); });
        EXPECT_EQ(plugin, QString::fromLatin1(c.expected)) << c.wayland << "|" << c.display << "|" << c.platform;
    }
}

TEST(QtStartup, QtSpeaksChineseUnlessTheSystemHasAnotherLanguage)
{
    struct Case {
        QLocale system;
        const char *expected;
    };
    const Case cases[] = {
        {QLocale::c(), "zh_CN"},
        {QLocale(QLocale::Chinese, QLocale::China), "zh_CN"},
        {QLocale(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan), "zh_TW"},
        {QLocale(QLocale::German, QLocale::Germany), "de_DE"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "en_US"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(QtStartup::translationLocale(c.system).name(), QString::fromLatin1(c.expected))
            << c.system.name().toStdString();
}

} // namespace
