#include "app/Main.h"
#include "page/PageDocument.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"

#include <gtest/gtest.h>

using namespace sorvane;

namespace {

class MainTest : public testing::Test {
protected:
    void start()
    {
        main = std::make_unique<Main>(fake.services());
        main->initialise();
    }

    const MenuItem &item(const char *name, int index = -1)
    {
        const int position = main->menu.find(QString::fromUtf8(name), index);
        EXPECT_GE(position, 0) << name;
        return main->menu.at(position);
    }

    FakePlatform fake;
    std::unique_ptr<Main> main;
};

TEST_F(MainTest, SettingsStartAtTheirDefaultsInOrder)
{
    fake.screen = {1366, 768};
    start();
    struct Expected {
        const char *key;
        Variant value;
    };
    const QString folder = "/opt/sorvane/";
    const Expected expected[] = {
        {"Caption", "Sorvane"},
        {"Path", folder},
        {"MsgOut", Variant::fromInteger(5)},
        {"Width", Variant::fromSingle(1366)},
        {"Height", Variant::fromSingle(768)},
        {"Color", "cyan"},
        {"FontSize", Variant::fromInteger(24)},
        {"Pixel", Variant::fromInteger(10)},
        {"FontFamily", u"Microsoft Yahei,微软雅黑"},
        {"Weight", "normal"},
        {"Shadow", false},
        {"Sorting", false},
        {"English", "font-family:Microsoft Yahei;font-Weight:bold;font-size:18px;line-height:24px;"},
        {"FileName", ""},
        {"Script", folder + "script/subtitles.js"},
        {"Sample", ""},
        {"Format", ""},
        {"stopText", ""},
        {"CharSet", ""},
        {"Parent", ""},
        {"File", ""},
        {"Base", ""},
        {"Extension", ""},
        {"Index", Variant::fromInteger(0)},
        {"Temp", ""},
    };
    const QVector<Variant> keys = main->Config->keys();
    ASSERT_EQ(keys.size(), int(std::size(expected)));
    for (int i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i], Variant(expected[i].key)) << i;
        // Same kind and value: "Shadow" is a Boolean, not 0; "FontSize" a 16-bit Integer.
        EXPECT_EQ(main->Config->item(keys[i]), expected[i].value) << expected[i].key;
    }
}

TEST_F(MainTest, ReadingAnotherCaseAddsANewKey)
{
    start();
    EXPECT_TRUE(main->Config->item("color").isEmpty());
    EXPECT_EQ(main->Config->count(), 26);
    EXPECT_EQ(main->Config->item("Color"), Variant("cyan"));
}

TEST_F(MainTest, FoldersEndInOneSeparator)
{
    struct Case {
        const char *program;
        const char *folder;
    };
    const Case cases[] = {{"/opt/sorvane/sorvane", "/opt/sorvane/"}, {"/sorvane", "/"}, {"/a b/c/sorvane", "/a b/c/"}};
    for (const Case &c : cases) {
        FakePlatform platform;
        platform.programFile = QString::fromUtf8(c.program);
        Main m(platform.services());
        m.initialise();
        EXPECT_EQ(m.Folder, QString::fromUtf8(c.folder));
        EXPECT_EQ(m.ScriptPath, QString::fromUtf8(c.folder) + "script/");
        EXPECT_EQ(m.Config->item("Path"), Variant(m.Folder));
    }
}

TEST_F(MainTest, WindowVariablesStartAsDesigned)
{
    start();
    EXPECT_EQ(main->MSID, 0);
    EXPECT_EQ(main->Mode, 0);
    EXPECT_TRUE(main->SavTime.isEmpty());
    EXPECT_TRUE(main->NewTime.isEmpty());
    EXPECT_EQ(main->showTime, "00:00:00");
    EXPECT_EQ(main->stopTime, "00:00:00");
    EXPECT_EQ(main->showOut, 0);
    EXPECT_FALSE(main->shortcuts);
    EXPECT_EQ(main->subtitles->count(), 0);
    EXPECT_EQ(main->subtitlesSort->count(), 0);
    EXPECT_FALSE(main->Timer1.enabled());
    EXPECT_EQ(main->Timer1.interval(), 1);
    EXPECT_TRUE(main->Timer2.enabled());
    EXPECT_EQ(main->Timer2.interval(), 200);
    EXPECT_EQ(main->caption(), QString("Sorvane - (") + QString::fromUtf16(kAuthorLine) + ")");
}

TEST_F(MainTest, StartUpRunsItsStepsInOrder)
{
    start();
    const QStringList expected = {
        "setCaption(" + main->caption() + ")",
        "setTopmost(true)",
        "moveWindow(560,465)",
        "setPageInputEnabled(false)",
        "setAcceptDrops(true)",
        "setMoveCursor(true)",
    };
    EXPECT_EQ(fake.calls, expected);
    ASSERT_TRUE(main->document);
    // The page exists before any later step could write to it.
    EXPECT_NE(main->document->getElementById("TimeBox"), nullptr);
}

TEST_F(MainTest, UnloadStopsTakingDropsAndSavesNothing)
{
    start();
    main->Config->setItem("FontSize", Variant::fromInteger(30));
    fake.calls.clear();
    main->unload();
    EXPECT_EQ(fake.calls, (QStringList{"setAcceptDrops(false)", "setMoveCursor(false)"}));

    Main next(fake.services());
    next.initialise();
    EXPECT_EQ(next.Config->item("FontSize"), Variant::fromInteger(24));
}

TEST_F(MainTest, MenuStartsInItsDesignedStates)
{
    start();
    struct Expected {
        const char *name;
        int index;
        const char *caption;
        bool checked, enabled, visible;
    };
    const Expected expected[] = {
        {"OnPlayer", -1, " 开始 ", false, true, true},
        {"showTimer", -1, "00:00:00,000", false, true, true},
        {"OnMsKeys", 1, "原速", false, true, true},
        {"dsffsdfdsfsd", -1, " ", false, false, true},
        {"OnScript", 3, "Font.js", false, true, true},
        {"OnWeight", 0, "lighter", false, true, true},
        {"OnGetSrt", -1, "重新载入", false, false, true},
        {"OpenScript", 5, "System.js", false, true, true},
        {"OnTitle", -1, "隐藏窗口", false, true, true},
        {"OnTransparent", -1, "透明背景", false, true, true},
        {"OnEnabled", -1, "Enabled", true, true, false},
        {"OnTop", -1, "总在最前", true, true, true},
        {"OnInfo", -1, "程序作者", false, true, true},
    };
    for (const Expected &e : expected) {
        const MenuItem &i = item(e.name, e.index);
        EXPECT_EQ(i.caption, QString::fromUtf8(e.caption)) << e.name;
        EXPECT_EQ(i.checked, e.checked) << e.name;
        EXPECT_EQ(i.enabled, e.enabled) << e.name;
        EXPECT_EQ(i.visible, e.visible) << e.name;
    }
}

TEST_F(MainTest, MenuTreeHasItsHeadingsAndGroups)
{
    start();
    const MenuModel &menu = main->menu;
    QStringList top;
    for (int p : menu.children(-1))
        top << menu.at(p).name;
    EXPECT_EQ(top, (QStringList{"OnPlayer", "showTimer", "OnSetTimeA", "OnSetTimeB", "OnFontSizeA", "OnFontSizeB",
                                "OnFontFamily", "OnSetColor", "dsffsdfdsfsd", "OnMenu"}));
    EXPECT_EQ(menu.group("OnMsKeys").size(), 3);
    EXPECT_EQ(menu.group("OnScript").size(), 4);
    EXPECT_EQ(menu.group("OnWeight").size(), 4);
    EXPECT_EQ(menu.group("OpenScript").size(), 6);
    EXPECT_EQ(menu.at(menu.find("OnGetSrt")).parent, menu.find("OnSrting"));
    EXPECT_EQ(menu.at(menu.find("OnSystem")).parent, menu.find("EvalScript"));
    EXPECT_EQ(menu.children(menu.find("OnMenu")).size(), 13);
}

TEST_F(MainTest, AboutBoxIsTimedOverTheWindow)
{
    start();
    main->menuClicked("OnInfo");
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    const MessageBoxRequest &box = fake.messageBoxes.first();
    EXPECT_EQ(box.text, QString::fromUtf16(kAuthorLine));
    EXPECT_EQ(box.caption, QString::fromUtf8("关于作者"));
    EXPECT_EQ(box.type, 32);
    EXPECT_EQ(box.timeoutMs, 5000);
    ASSERT_TRUE(box.owner.has_value());
    EXPECT_EQ(*box.owner, fake.rect);
}

TEST_F(MainTest, TopAndEnabledToggleTheirMarks)
{
    start();
    main->menuClicked("OnTop");
    EXPECT_FALSE(item("OnTop").checked);
    EXPECT_FALSE(fake.topmost);
    main->menuClicked("OnTop");
    EXPECT_TRUE(fake.topmost);

    main->menuClicked("OnEnabled");
    EXPECT_FALSE(item("OnEnabled").checked);
    EXPECT_TRUE(fake.pageInput);
    main->menuClicked("OnEnabled");
    EXPECT_FALSE(fake.pageInput);

    const QStringList before = fake.calls;
    main->menuClicked("NoSuchItem");
    EXPECT_EQ(fake.calls, before);
}

TEST_F(MainTest, SetTopCenterClampsToTheScreen)
{
    struct Case {
        int windowHeight;
        int offset;
        bool minimized;
        int expectedTop; // -1: not moved
    };
    const Case cases[] = {
        {150, 0, false, 465},     {150, 10000, false, 930}, {150, -10000, false, 0},
        {150, 20, false, 485},    {151, 10000, false, 928}, // half of 929 px rounds to the even 464
        {1200, 0, false, -120},    {150, 0, true, -1},
    };
    for (const Case &c : cases) {
        FakePlatform platform;
        platform.rect = {7, 9, 800, c.windowHeight};
        Main m(platform.services());
        m.initialise();
        platform.minimized = c.minimized;
        platform.rect.left = 7;
        platform.rect.top = 9;
        m.SetTopCenter(c.offset);
        EXPECT_EQ(platform.rect.top, c.expectedTop == -1 ? 9 : c.expectedTop) << c.windowHeight << "/" << c.offset;
        EXPECT_EQ(platform.rect.left, c.minimized ? 7 : 560);
    }
}

} // namespace
