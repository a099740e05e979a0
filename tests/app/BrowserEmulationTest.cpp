#include "app/BrowserEmulation.h"
#include "app/Main.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

using namespace sorvane;

namespace {

TEST(BrowserEmulationTest, VersionNamesMapToTheirNumbers)
{
    struct Case {
        const char *keys;
        quint32 number;
    };
    const Case cases[] = {
        {"6000", 6000},   {"IE6", 6000},     {"ie6", 6000},    {"6", 6000},       {"7000", 7000},
        {"IE7", 7000},    {"7", 7000},       {"8000", 8000},   {"Ie8", 8000},     {"8", 8000},
        {"8888", 8888},   {"9000", 9000},    {"IE9", 9000},    {"9", 9000},       {"9999", 9999},
        {"10000", 10000}, {"IE10", 10000},   {"10", 10000},    {"10001", 10001},  {"11000", 11000},
        {"IE11", 11000},  {"ie11", 11000},   {"11", 11000},
        // No short forms for the odd levels, and nothing else is known.
        {"IE8888", 7000}, {"IE9999", 7000},  {"IE10001", 7000}, {"12", 7000},     {"IE12", 7000},
        {"", 7000},       {" 11", 7000},     {"11 ", 7000},     {"011", 7000},    {"edge", 7000},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BrowserEmulation::numberOf(QString::fromLatin1(c.keys)), c.number) << c.keys;
}

TEST(BrowserEmulationTest, ValueIsNamedAfterTheProgramFileWithExe)
{
    const QString key = QString::fromUtf16(BrowserEmulation::kKey);
    EXPECT_EQ(BrowserEmulation::valuePath(u"/opt/sorvane/sorvane"_qs), key + u"sorvane.exe"_qs);
    EXPECT_EQ(BrowserEmulation::valuePath(u"/opt/x/player.bin"_qs), key + u"player.exe"_qs);
    EXPECT_EQ(BrowserEmulation::valuePath(u"/opt/x/my.player.exe"_qs), key + u"my.player.exe"_qs);
}

TEST(BrowserEmulationTest, StartUpWritesElevenThousand)
{
    FakePlatform fake;
    Main main(fake.services());
    main.initialise();
    const QString path = BrowserEmulation::valuePath(fake.programFile);
    EXPECT_EQ(fake.registry.read(path).valueOr(Variant()), Variant::fromLong(11000));

    main.SetInternetExplorerVersion(u"9999"_qs);
    EXPECT_EQ(fake.registry.read(path).valueOr(Variant()), Variant::fromLong(9999));
    main.SetInternetExplorerVersion(u"ie7"_qs);
    main.SetInternetExplorerVersion(u"ie7"_qs);
    EXPECT_EQ(fake.registry.read(path).valueOr(Variant()), Variant::fromLong(7000));
}

TEST(BrowserEmulationTest, RefusedWriteIsIgnored)
{
    FakePlatform fake;
    RegistryStore damaged(u"/proc/sorvane-no-such-folder/registry.json"_qs);
    PlatformServices services = fake.services();
    services.registry = &damaged;
    Main main(services);
    main.initialise();
    main.SetInternetExplorerVersion(u"IE11"_qs);
    EXPECT_TRUE(main.document != nullptr) << "start-up went on";
}

} // namespace
