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

struct ExitCase {
    const char *name;
    const char *js;  // no Exit.js when null
    const char *vbs; // no Exit.vbs when null
    const char *ran; // Config("ran") after the close
    bool box;        // an error box
};

class ExitScripts : public ScriptCommandsTest, public testing::WithParamInterface<ExitCase> {};

TEST_P(ExitScripts, RunAsTheWindowClosesWhileDropsAreStillTaken)
{
    const ExitCase &c = GetParam();
    writeScript("System.js", "");
    if (c.js)
        writeScript("Exit.js", c.js);
    if (c.vbs)
        writeScript("Exit.vbs", c.vbs);
    start();
    const QString page = message();
    fake.calls.clear();
    main->unload();
    EXPECT_EQ(config("ran").text(), QString::fromUtf8(c.ran));
    EXPECT_EQ(!fake.messageBoxes.isEmpty(), c.box);
    // The window stops taking drops after the script, whatever it did.
    ASSERT_GE(fake.calls.size(), 2);
    EXPECT_EQ(fake.calls.mid(fake.calls.size() - 2), (QStringList{"setAcceptDrops(false)", "setMoveCursor(false)"}));
    if (c.js || c.vbs)
        EXPECT_EQ(fake.calls.first(), "setCaption(bye)");
    else
        EXPECT_EQ(message(), page);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitScripts,
    testing::Values(
        ExitCase{"JsBeforeVbs", "Main.Config('ran', 'js'); Main.Caption = 'bye';", "Main.Config(\"ran\") = \"vbs\"", "js",
                 false},
        ExitCase{"VbsAlone", nullptr, "Main.Caption = \"bye\" : Main.Config(\"ran\") = \"vbs\"", "vbs", false},
        ExitCase{"NeitherSaysNothing", nullptr, nullptr, "", false},
        ExitCase{"ErrorsAreReported", "Main.Caption = 'bye'; Main.Config('ran', 'half'); nosuch();", nullptr, "half",
                 true}),
    [](const testing::TestParamInfo<ExitCase> &info) { return std::string(info.param.name); });

TEST_F(ScriptCommandsTest, AWindowPlacedOffEveryScreenAtStartComesBackOnOne)
{
    // Saved on a monitor right of this one that is no longer attached.
    fake.areas = {Rect{0, 0, 1920, 1040}};
    writeScript("System.js", "Main.Left = 45000; Main.Top = 6000;");
    start();
    EXPECT_EQ(fake.rect, (Rect{1120, 400, 800, 150}));

    // Where it still shows, it stays.
    fake.areas = {Rect{0, 0, 1920, 1040}, Rect{1920, 0, 1920, 1080}};
    start();
    EXPECT_EQ(fake.rect, (Rect{3000, 400, 800, 150}));
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
