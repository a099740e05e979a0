#include "app/Main.h"
#include "app/ProgramFolder.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace sorvane;

namespace {

// A shipped program folder and a data home in one temporary folder.
class ProgramFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        ASSERT_TRUE(QDir().mkpath(program + "script"));
        ASSERT_TRUE(QDir().mkpath(dataHome));
    }

    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(bytes);
    }

    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void install() { write(program + "installed", ""); }
    void ship(const QString &name, const QByteArray &bytes) { write(program + "script/" + name, bytes); }
    QString user(const QString &name) const { return dataHome + "/sorvane/script/" + name; }

    QTemporaryDir temp;
    const QString program = temp.path() + "/lib/sorvane/";
    const QString dataHome = temp.path() + "/data";
};

TEST_F(ProgramFolderTest, AFolderWithoutTheMarkerIsUsedAsItIs)
{
    ship("System.js", "v1");
    const ProgramFolder::Choice choice = ProgramFolder::choose(program, dataHome);
    EXPECT_EQ(choice.folder, program);
    EXPECT_FALSE(choice.perUser);
    EXPECT_TRUE(choice.problems.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dataHome + "/sorvane"));
}

TEST_F(ProgramFolderTest, AnInstalledProgramRunsFromAPerUserCopyOfItsScripts)
{
    install();
    ship("System.js", "system v1");
    ship("README.txt", "readme");
    const ProgramFolder::Choice choice = ProgramFolder::choose(program, dataHome);
    EXPECT_EQ(choice.folder, dataHome + "/sorvane/");
    EXPECT_TRUE(choice.perUser);
    EXPECT_TRUE(choice.problems.isEmpty()) << choice.problems.join("; ").toStdString();
    EXPECT_EQ(read(user("System.js")), "system v1");
    EXPECT_EQ(read(user("README.txt")), "readme");
    EXPECT_TRUE(QFileInfo(user("System.js")).isWritable());
    EXPECT_TRUE(read(dataHome + "/sorvane/shipped-scripts.txt").contains(" System.js\n"));
}

TEST_F(ProgramFolderTest, AReadOnlyShippedScriptGivesTheUserAWritableCopy)
{
    install();
    ship("System.js", "v1");
    QFile::setPermissions(program + "script/System.js", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    ProgramFolder::choose(program, dataHome);
    EXPECT_TRUE(QFileInfo(user("System.js")).isWritable());
}

// What the user's folder holds after a second start with a newer shipped
// version, for each thing the user may have done in between.
TEST_F(ProgramFolderTest, ANewShippedVersionNeverOverwritesAnEdit)
{
    struct Case {
        const char *name;
        const char *v1;          // shipped at the first start; nullptr: not shipped then
        const char *userChange;  // nullptr: untouched; "": deleted
        const char *v2;          // shipped at the second start
        const char *expectedMine;
        const char *expectedNew; // "<missing>" when no .new is written
    };
    const Case cases[] = {
        {"Untouched.js", "old", nullptr, "new", "new", "<missing>"},
        {"Edited.js", "old", "mine", "new", "mine", "new"},
        {"Deleted.js", "old", "", "new", "<missing>", "<missing>"},
        {"Added.js", nullptr, nullptr, "added", "added", "<missing>"},
        {"Same.js", "old", nullptr, "old", "old", "<missing>"},
        {"EditedSame.js", "old", "mine", "old", "mine", "<missing>"},
        {"EditedToNew.js", "old", "new", "new", "new", "<missing>"},
    };
    install();
    for (const Case &c : cases)
        if (c.v1)
            ship(c.name, c.v1);
    ASSERT_TRUE(ProgramFolder::choose(program, dataHome).problems.isEmpty());
    for (const Case &c : cases) {
        if (!c.userChange)
            continue;
        if (*c.userChange)
            write(user(c.name), c.userChange);
        else
            QFile::remove(user(c.name));
    }
    for (const Case &c : cases)
        ship(c.name, c.v2);

    const ProgramFolder::Choice choice = ProgramFolder::choose(program, dataHome);
    EXPECT_TRUE(choice.problems.isEmpty()) << choice.problems.join("; ").toStdString();
    for (const Case &c : cases) {
        EXPECT_EQ(read(user(c.name)), QByteArray(c.expectedMine)) << c.name;
        EXPECT_EQ(read(user(QString(c.name) + ".new")), QByteArray(c.expectedNew)) << c.name;
    }

    // The offer is made once: a .new the user removed is not written again,
    // and the edited copy stays.
    QFile::remove(user("Edited.js.new"));
    ProgramFolder::choose(program, dataHome);
    EXPECT_FALSE(QFileInfo::exists(user("Edited.js.new")));
    EXPECT_EQ(read(user("Edited.js")), "mine");
}

TEST_F(ProgramFolderTest, AUserFolderThatExistedBeforeKeepsItsFiles)
{
    install();
    ship("System.js", "shipped");
    ASSERT_TRUE(QDir().mkpath(dataHome + "/sorvane/script"));
    write(user("System.js"), "hand made");
    ProgramFolder::choose(program, dataHome);
    EXPECT_EQ(read(user("System.js")), "hand made");
    EXPECT_EQ(read(user("System.js.new")), "shipped");
}

TEST_F(ProgramFolderTest, WithoutAUsableDataHomeTheInstalledFolderIsUsedAndTheReasonGiven)
{
    install();
    ship("System.js", "v1");
    write(temp.path() + "/file", "not a folder");
    const QString homes[] = {QString(), temp.path() + "/file"};
    for (const QString &home : homes) {
        const ProgramFolder::Choice choice = ProgramFolder::choose(program, home);
        EXPECT_EQ(choice.folder, program) << home.toStdString();
        EXPECT_FALSE(choice.perUser);
        EXPECT_EQ(choice.problems.size(), 2) << home.toStdString();
    }
}

TEST(ProgramFolderDataHome, FollowsTheBaseDirectoryRules)
{
    struct Case {
        const char *xdg;
        const char *home;
        const char *expected;
    };
    const Case cases[] = {
        {"/x/data", "/home/u", "/x/data"},
        {"/x/data/", "/home/u", "/x/data"},
        {"relative", "/home/u", "/home/u/.local/share"},
        {"", "/home/u", "/home/u/.local/share"},
        {"", "", ""},
        {"", "relative", ""},
    };
    for (const Case &c : cases) {
        FakePlatform fake;
        if (*c.xdg)
            fake.environment.insert("XDG_DATA_HOME", c.xdg);
        if (*c.home)
            fake.environment.insert("HOME", c.home);
        EXPECT_EQ(ProgramFolder::dataHome(fake), QString(c.expected)) << c.xdg << " " << c.home;
    }
}

// The program takes the per-user folder as `Folder`, with every setting
// derived from it, and runs the start-up script found there.
TEST_F(ProgramFolderTest, AnInstalledProgramStartsFromThePerUserFolder)
{
    install();
    ship("System.js", "Main.Config(\"Caption\", \"from the copy\");");
    FakePlatform fake;
    fake.programFile = program + "sorvane";
    fake.environment.insert("XDG_DATA_HOME", dataHome);
    Main main(fake.services());
    main.initialise();
    const QString folder = dataHome + "/sorvane/";
    EXPECT_EQ(main.Folder, folder);
    EXPECT_EQ(main.ScriptPath, folder + "script/");
    EXPECT_EQ(main.Config->item("Path"), Variant(folder));
    EXPECT_EQ(main.Config->item("Script"), Variant(folder + "script/subtitles.js"));
    EXPECT_EQ(main.Config->item("Caption"), Variant("from the copy"));
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
}

} // namespace
