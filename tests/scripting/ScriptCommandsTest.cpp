#include "app/Main.h"
#include "page/PageDocument.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"
#include "VariantPrinter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sorvane;

namespace {

// A program folder of its own, with the scripts each test writes.
class ScriptCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        QDir(folder.path()).mkdir("script");
        fake.programFile = folder.path() + "/sorvane";
    }

    void writeScript(const QString &name, const QByteArray &text)
    {
        QFile f(folder.path() + "/script/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    void start()
    {
        main = std::make_unique<Main>(fake.services());
        main->initialise();
    }

    QString message() { return main->document->getElementById("Message")->innerHTML(); }
    Variant config(const char *key) { return main->Config->item(QString::fromUtf8(key)); }

    QTemporaryDir folder;
    FakePlatform fake;
    std::unique_ptr<Main> main;
};

TEST_F(ScriptCommandsTest, StartUpRunsSystemJsBeforeSystemVbs)
{
    writeScript("System.js", "Main.Config('ran', 'js'); Main.showOut = 7;");
    writeScript("System.vbs", "Main.Config(\"ran\") = \"vbs\"");
    start();
    EXPECT_EQ(config("ran"), Variant("js"));
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
    // No missing-script notice: the page says how files get in instead.
    EXPECT_FALSE(message().contains(QString::fromUtf8("找不到")));
    EXPECT_TRUE(message().contains(QString::fromUtf8("打开字幕"))) << message().toStdString();
}

TEST_F(ScriptCommandsTest, WithoutAStartUpScriptTheNoticeShows)
{
    start();
    EXPECT_EQ(message(),
              QString::fromUtf8("<span style='font-size:12px;color:silver;'>找不到 System.js 或 System.vbs 脚本！</span>"));
    EXPECT_EQ(main->showOut, 0);
    // The menu item runs the same command.
    writeScript("System.js", "Main.Config('ran', 'menu');");
    main->menuClicked("OnSystem");
    EXPECT_EQ(config("ran"), Variant("menu"));
}

TEST_F(ScriptCommandsTest, AHiddenSystemVbsIsNotFound)
{
    // Only an ordinary System.vbs counts; a link to nothing is no file.
    QFile::link(folder.path() + "/script/missing", folder.path() + "/script/System.vbs");
    start();
    EXPECT_TRUE(message().contains(QString::fromUtf8("找不到 System.js")));
}

TEST_F(ScriptCommandsTest, ScriptItemsRunByExtensionOrShowTheNotice)
{
    start();
    writeScript("Script.js", "Main.Config('alert', typeof alert);");
    main->menuClicked("OnScript", 0);
    EXPECT_EQ(config("alert"), Variant("function")); // run as "JavaScript"

    main->menuClicked("OnScript", 3); // Font.js is missing
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    const MessageBoxRequest &box = fake.messageBoxes.first();
    EXPECT_EQ(box.text, QString::fromUtf8("找不到 Font.js 脚本！"));
    EXPECT_EQ(box.caption, QString::fromUtf8("系统提示"));
    EXPECT_EQ(box.type, 32);
    EXPECT_EQ(box.timeoutMs, 2000);
    EXPECT_EQ(main->showOut, 0);

    // A caption renamed by a script to something that is no script runs nothing.
    writeScript("notes.txt", "Main.Config('alert', 'ran');");
    main->menu.setCaption(main->menu.find("OnScript", 1), "notes.txt");
    fake.messageBoxes.clear();
    main->menuClicked("OnScript", 1);
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
    EXPECT_EQ(config("alert"), Variant("function"));
}

TEST_F(ScriptCommandsTest, EditorChain)
{
    struct Case {
        QHash<QString, QString> installed;
        QHash<QString, QString> environment;
        const char *started; // with the script path after it
    };
    const Case cases[] = {
        {{{"Uedit32.exe", "/opt/ue/Uedit32.exe"}, {"Notepad.exe", "/usr/bin/Notepad.exe"}}, {}, "/opt/ue/Uedit32.exe"},
        {{{"Notepad.exe", "/usr/bin/Notepad.exe"}}, {{"EDITOR", "vim"}}, "/usr/bin/Notepad.exe"},
        {{{"vim", "/usr/bin/vim"}, {"code", "/usr/bin/code"}}, {{"EDITOR", "vim"}, {"VISUAL", "code -w"}},
         "/usr/bin/code -w"},
        {{{"vim", "/usr/bin/vim"}}, {{"EDITOR", "vim"}}, "/usr/bin/vim"},
        {{{"xdg-open", "/usr/bin/xdg-open"}}, {}, "/usr/bin/xdg-open"},
        {{}, {}, nullptr},
    };
    writeScript("Color.js", "");
    start();
    for (const Case &c : cases) {
        fake.installedPrograms = c.installed;
        fake.environment = c.environment;
        fake.started.clear();
        main->menuClicked("OpenScript", 2);
        if (c.started) {
            ASSERT_EQ(fake.started.size(), 1) << c.started;
            EXPECT_EQ(fake.started.first(), QString::fromUtf8(c.started) + " " + main->ScriptPath + "Color.js");
        } else {
            EXPECT_TRUE(fake.started.isEmpty());
        }
    }
    // A missing script opens nothing and says nothing.
    fake.installedPrograms = {{"Notepad.exe", "/usr/bin/Notepad.exe"}};
    fake.started.clear();
    main->menuClicked("OpenScript", 3);
    EXPECT_TRUE(fake.started.isEmpty());
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
}

} // namespace
