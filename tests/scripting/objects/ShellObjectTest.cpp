#include "scripting/objects/ObjectFactory.h"
#include "scripting/objects/ShellObject.h"

#include "platform/RegistryStore.h"
#include "platform/fake/FakePlatform.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sorvane {
namespace {

class ShellObjectTest : public ::testing::Test {
protected:
    FakePlatform platform;
    RegistryStore registry{QString()};
    QTemporaryDir dir;
    std::shared_ptr<DispatchObject> shell = make(&registry);

    std::shared_ptr<DispatchObject> make(Registry *store)
    {
        ObjectContext context;
        context.platform = platform.services();
        context.registry = store;
        context.currentFolder = dir.path();
        return createObject("WScript.Shell", context)->objectValue();
    }
    Result<Variant> call(const char *name, QVector<Variant> args = {})
    {
        return shell->invoke(QString::fromUtf8(name), CallKind::Get, args, Variant());
    }
};

TEST_F(ShellObjectTest, PopupShowsTheBoxAndReturnsItsAnswer)
{
    struct Case {
        QVector<Variant> args;
        int answer;
        const char *caption;
        int type;
        int timeoutMs;
        int expected;
    };
    const Case cases[] = {
        {{"hello"}, BoxResult::Ok, "Windows Script Host", 0, 0, 1},
        {{"alert", 0, "Microsoft Internet Explorer", 48}, BoxResult::Ok, "Microsoft Internet Explorer", 48, 0, 1},
        {{"sure?", 5, "Q", 4}, BoxResult::No, "Q", 4, 5000, 7},
        {{"late", 2, "T", 1}, BoxResult::TimedOut, "T", 1, 2000, -1},
        {{"negative", -3}, BoxResult::Ok, "Windows Script Host", 0, 0, 1},
    };
    for (const Case &c : cases) {
        platform.messageAnswers = {c.answer};
        platform.messageBoxes.clear();
        Result<Variant> r = call("popup", c.args);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(*r, Variant::fromLong(c.expected));
        ASSERT_EQ(platform.messageBoxes.size(), 1);
        const MessageBoxRequest &box = platform.messageBoxes.front();
        EXPECT_FALSE(box.owner.has_value()); // centred on the screen
        EXPECT_EQ(box.text, c.args[0].text());
        EXPECT_EQ(box.caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(box.type, c.type);
        EXPECT_EQ(box.timeoutMs, c.timeoutMs);
    }
}

TEST_F(ShellObjectTest, ExpandsEnvironmentStrings)
{
    platform.environment = {{"HOME", "/home/user"}, {"EMPTY", ""}, {"A", "x"}};
    struct Case {
        const char *text;
        const char *expected;
    };
    const Case cases[] = {
        {"%HOME%/subs", "/home/user/subs"},
        {"%UNSET%/a", "%UNSET%/a"},
        {"%EMPTY%", "%EMPTY%"},
        {"100% %A%", "100% x"},
        {"%A%%A%", "xx"},
        {"%%", "%%"},
        {"no names", "no names"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(call("ExpandEnvironmentStrings", {c.text})->text(), QString::fromUtf8(c.expected)) << c.text;
}

TEST_F(ShellObjectTest, RunStartsThroughTheShell)
{
    platform.installedPrograms = {{"editor", "/usr/bin/editor"}};
    platform.environment = {{"HOME", "/home/user"}};
    EXPECT_EQ(*call("Run", {"editor \"%HOME%/my file.js\"", 1, false}), Variant::fromLong(0));
    EXPECT_EQ(platform.started, QStringList{"editor /home/user/my file.js"});
    EXPECT_EQ(call("Run", {"missing-program"}).error().number, -2147024894);
    EXPECT_EQ(call("Run", {"  "}).error().number, 5);
}

TEST_F(ShellObjectTest, RunWaitsForTheExitCode)
{
    EXPECT_EQ(*call("Run", {"sh -c \"exit 3\"", 0, true}), Variant::fromLong(3));
    EXPECT_EQ(*call("Run", {"true", 0, true}), Variant::fromLong(0));
    EXPECT_EQ(call("Run", {"/no/such/program", 0, true}).error().number, -2147024894);
    EXPECT_TRUE(platform.started.isEmpty());
}

// While it waits, the window goes on answering, and the wait is told as a
// wait for the user (it is left out of the script's time, as a box's is).
TEST_F(ShellObjectTest, AWaitingRunKeepsTheWindowAnswering)
{
    QStringList waits;
    ObjectContext context;
    context.platform = platform.services();
    context.registry = &registry;
    context.currentFolder = dir.path();
    context.onWait = [&waits](bool waiting) { waits << (waiting ? "wait" : "done"); };
    const std::shared_ptr<DispatchObject> waiting = createObject("WScript.Shell", context)->objectValue();
    QVector<Variant> args{"sh -c \"sleep 0.2; exit 4\"", 0, true};
    Result<Variant> r = waiting->invoke("Run", CallKind::Get, args, Variant());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, Variant::fromLong(4));
    EXPECT_GE(platform.processEventsCount, 3);
    EXPECT_EQ(waits, QStringList({"wait", "done"}));
}

TEST_F(ShellObjectTest, RegistryRoundTrip)
{
    const QString value = "HKCU\\Software\\Sorvane\\Color";
    ASSERT_TRUE(call("RegWrite", {value, "red"}).ok());
    EXPECT_EQ(*call("RegRead", {value}), Variant("red"));
    ASSERT_TRUE(call("RegWrite", {"HKCU\\Software\\Sorvane\\Size", 12, "reg_dword"}).ok());
    EXPECT_EQ(*call("RegRead", {"HKEY_CURRENT_USER\\Software\\Sorvane\\Size"}), Variant::fromLong(12));
    ASSERT_TRUE(call("RegDelete", {value}).ok());
    EXPECT_FALSE(call("RegRead", {value}).ok());

    // Without a registry of its own the object takes the platform's.
    shell = make(nullptr);
    ASSERT_TRUE(call("RegWrite", {value, "blue"}).ok());
    EXPECT_EQ(*platform.registry.read(value), Variant("blue"));

    ObjectContext bare;
    bare.platform = platform.services();
    bare.platform.registry = nullptr;
    shell = createObject("WScript.Shell", bare)->objectValue();
    EXPECT_FALSE(call("RegRead", {value}).ok());
    EXPECT_FALSE(call("RegWrite", {value, "x"}).ok());
}

TEST_F(ShellObjectTest, NeedsItsServices)
{
    EXPECT_EQ(createObject("WScript.Shell", ObjectContext()).error().number, 429);
    EXPECT_EQ(*call("CurrentDirectory"), Variant(dir.path()));
}

} // namespace
} // namespace sorvane
