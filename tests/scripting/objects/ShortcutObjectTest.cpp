#include "scripting/objects/ObjectFactory.h"
#include "scripting/objects/ShortcutObject.h"

#include "platform/fake/FakePlatform.h"
#include "text/ShellLink.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sorvane {
namespace {

class ShortcutObjectTest : public ::testing::Test {
protected:
    FakePlatform platform;
    QTemporaryDir dir;
    std::shared_ptr<DispatchObject> shell = [this] {
        ObjectContext context;
        context.platform = platform.services();
        context.currentFolder = dir.path();
        return createObject("wscript.shell", context)->objectValue();
    }();

    std::shared_ptr<DispatchObject> shortcut(const QString &path)
    {
        Result<Variant> r = shell->get("CreateShortcut", {path});
        EXPECT_TRUE(r.ok());
        return r ? r->objectValue() : nullptr;
    }
};

TEST_F(ShortcutObjectTest, SavedLinkReadsBackAndLeadsToItsTarget)
{
    const QString target = QStringLiteral(u"/videos/电影 one.srt");
    auto link = shortcut("movie.lnk");
    EXPECT_EQ(link->get("FullName")->text(), dir.filePath("movie.lnk"));
    struct Field {
        const char *name;
        QString value;
    };
    const Field fields[] = {
        {"TargetPath", target},
        {"arguments", "--fast"},
        {"WorkingDirectory", "/videos"},
        {"DESCRIPTION", QStringLiteral(u"字幕")},
        {"IconLocation", "/icons/a.ico,2"},
    };
    for (const Field &f : fields)
        ASSERT_TRUE(link->let(f.name, f.value).ok()) << f.name;
    ASSERT_TRUE(link->let("WindowStyle", 7).ok());
    ASSERT_TRUE(link->get("Save").ok());

    EXPECT_EQ(*ShellLink::readTarget(dir.filePath("movie.lnk")), target);

    auto again = shortcut(dir.filePath("movie.lnk"));
    for (const Field &f : fields)
        EXPECT_EQ(again->get(f.name)->text(), f.value) << f.name;
    EXPECT_EQ(*again->get("WindowStyle"), Variant::fromLong(7));
}

TEST_F(ShortcutObjectTest, NewShortcutIsEmptyUntilSaved)
{
    auto link = shortcut("new.lnk");
    EXPECT_EQ(*link->get("TargetPath"), Variant(""));
    EXPECT_EQ(*link->get("WindowStyle"), Variant::fromLong(1));
    EXPECT_FALSE(QFile::exists(dir.filePath("new.lnk")));
    ASSERT_TRUE(link->get("Save").ok());
    EXPECT_TRUE(QFile::exists(dir.filePath("new.lnk")));
    EXPECT_FALSE(ShellLink::readTarget(dir.filePath("new.lnk")).ok()); // no target, no link info
    EXPECT_EQ(*shortcut("new.lnk")->get("TargetPath"), Variant(""));
}

TEST_F(ShortcutObjectTest, Errors)
{
    EXPECT_EQ(shell->get("CreateShortcut", {"movie.txt"}).error().number, 5);
    auto link = shortcut("no/such/folder/x.lnk");
    ASSERT_TRUE(link->let("TargetPath", "/a").ok());
    EXPECT_EQ(link->get("Save").error().number, 76);
    EXPECT_EQ(link->let("FullName", "/b.lnk").error().number, 450);

    // A file that is not a link is read as an empty shortcut and replaced on Save.
    QFile junk(dir.filePath("junk.lnk"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a link");
    junk.close();
    auto replaced = shortcut("junk.lnk");
    EXPECT_EQ(*replaced->get("TargetPath"), Variant(""));
}

} // namespace
} // namespace sorvane
