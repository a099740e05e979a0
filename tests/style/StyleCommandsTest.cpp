#include "app/Main.h"
#include "page/PageDocument.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"
#include "style/StyleCommands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sorvane;

namespace {

class StyleCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<Main>(fake.services());
        main->initialise();
        main->showOut = 17;
    }

    PageElement &code() { return *main->document->getElementById(u"code"_qs); }
    QString codeStyle(const char *property) { return code().style().property(QString::fromLatin1(property)); }
    QString message() { return main->document->getElementById(u"Message"_qs)->innerHTML(); }
    Variant config(const char *key) { return main->Config->item(QString::fromLatin1(key)); }
    void setConfig(const char *key, Variant value) { main->Config->setItem(QString::fromLatin1(key), value); }
    bool checked(const char *name, int index = -1)
    {
        return main->menu.at(main->menu.find(QString::fromLatin1(name), index)).checked;
    }

    FakePlatform fake;
    std::unique_ptr<Main> main;
};

TEST_F(StyleCommandsTest, FontSizeMovesOnePixelWithinItsOwnBound)
{
    struct Case {
        Variant before;
        const char *command;
        Variant after;
        const char *lineHeight;
    };
    const Case cases[] = {
        {Variant::fromInteger(24), "OnFontSizeA", Variant::fromInteger(23), "33px"},
        {Variant::fromInteger(24), "OnFontSizeB", Variant::fromInteger(25), "35px"},
        {Variant::fromInteger(12), "OnFontSizeA", Variant::fromInteger(12), "22px"},
        {Variant::fromInteger(96), "OnFontSizeB", Variant::fromInteger(96), "106px"},
        {Variant::fromInteger(200), "OnFontSizeA", Variant::fromInteger(199), "209px"},
        {Variant::fromInteger(200), "OnFontSizeB", Variant::fromInteger(96), "106px"},
        {Variant::fromInteger(5), "OnFontSizeB", Variant::fromInteger(6), "16px"},
        {Variant::fromInteger(5), "OnFontSizeA", Variant::fromInteger(12), "22px"},
        {Variant("30"), "OnFontSizeA", Variant::fromDouble(29), "39px"},
    };
    for (const Case &c : cases) {
        setConfig("FontSize", c.before);
        main->showOut = 9;
        main->menuClicked(QString::fromLatin1(c.command));
        const QString size = c.after.text();
        EXPECT_EQ(config("FontSize"), c.after) << c.command << " from " << c.before.text().toStdString();
        EXPECT_EQ(codeStyle("font-size"), size + u"px"_qs);
        EXPECT_EQ(codeStyle("line-height"), QString::fromLatin1(c.lineHeight));
        EXPECT_EQ(message(), u"font-size: "_qs + size + u"px;"_qs);
        EXPECT_EQ(main->showOut, 0);
    }
}

TEST_F(StyleCommandsTest, FontSizeWithATextPixelAddsNumbers)
{
    setConfig("Pixel", "6");
    main->OnFontSizeB();
    EXPECT_EQ(codeStyle("line-height"), u"31px"_qs);
}

TEST_F(StyleCommandsTest, FontSizeThatIsNoNumberStillWritesTheRest)
{
    setConfig("FontSize", "big");
    main->OnFontSizeA();
    EXPECT_EQ(config("FontSize"), Variant("big"));
    EXPECT_EQ(codeStyle("font-size"), u"bigpx"_qs);
    EXPECT_EQ(message(), u"font-size: bigpx;"_qs);
    EXPECT_EQ(main->showOut, 0);
}

TEST_F(StyleCommandsTest, GlowReplacesTheWholeInlineStyle)
{
    main->SetFontWeight(u"lighter"_qs);
    main->menuClicked(u"OnShadow"_qs);
    EXPECT_TRUE(checked("OnShadow"));
    EXPECT_EQ(config("Shadow"), Variant(true));
    EXPECT_EQ(codeStyle("text-shadow"),
              u"0px 0px 2px cyan,1px 1px 1px cyan,0px 2px 1px cyan,0px 3px 1px cyan,0px 4px 1px cyan"_qs);
    EXPECT_EQ(codeStyle("color"), u"white"_qs);
    EXPECT_EQ(codeStyle("font-family"), u"Microsoft Yahei,微软雅黑"_qs);
    EXPECT_EQ(codeStyle("font-size"), u"24px"_qs);
    EXPECT_EQ(codeStyle("line-height"), u"34px"_qs);
    EXPECT_EQ(codeStyle("font-weight"), QString()) << "the weight falls back to the class rule";
    EXPECT_EQ(config("Weight"), Variant("lighter"));

    main->menuClicked(u"OnShadow"_qs);
    EXPECT_FALSE(checked("OnShadow"));
    EXPECT_EQ(config("Shadow"), Variant(false));
    EXPECT_EQ(codeStyle("text-shadow"), QString());
    EXPECT_EQ(codeStyle("color"), u"cyan"_qs);
    EXPECT_EQ(codeStyle("font-size"), u"24px"_qs);
}

TEST_F(StyleCommandsTest, GlowTextColourAgainstWhite)
{
    struct Case {
        const char *color;
        const char *text;
    };
    const Case cases[] = {{"White", "gray"}, {"WHITE", "gray"}, {"white", "gray"}, {"#ffffff", "white"},
                          {"yellow", "white"}, {" white", "white"}};
    for (const Case &c : cases) {
        setConfig("Color", c.color);
        main->SetTextShadow(true);
        EXPECT_EQ(codeStyle("color"), QString::fromLatin1(c.text)) << c.color;
        EXPECT_TRUE(codeStyle("text-shadow").endsWith(u"0px 4px 1px "_qs + QString::fromLatin1(c.color)))
            << "the glow keeps the colour as written: " << c.color;
    }
}

TEST_F(StyleCommandsTest, ScriptWrittenShadowDoesNotMoveTheMark)
{
    setConfig("Shadow", true);
    main->OnShadow();
    EXPECT_TRUE(checked("OnShadow"));
    EXPECT_EQ(config("Shadow"), Variant(true));
}

TEST_F(StyleCommandsTest, FontWeightMatchesCaptionsWithoutCase)
{
    struct Case {
        const char *keys;
        int checkedIndex; // -1: none
        const char *weight;
    };
    const Case cases[] = {
        {"BOLD", 2, "bold"}, {"Lighter", 0, "lighter"}, {"bolder", 3, "bolder"},
        {"heavy", -1, "bolder"}, {"", -1, "bolder"}, {"normal", 1, "normal"},
    };
    for (const Case &c : cases) {
        main->SetFontWeight(QString::fromLatin1(c.keys));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(checked("OnWeight", i), i == c.checkedIndex) << c.keys << " item " << i;
        EXPECT_EQ(config("Weight"), Variant(c.weight)) << c.keys;
        EXPECT_EQ(codeStyle("font-weight"), QString::fromLatin1(c.weight)) << c.keys;
    }
}

TEST_F(StyleCommandsTest, WeightItemsPassTheirCaption)
{
    main->menuClicked(u"OnWeight"_qs, 3);
    EXPECT_TRUE(checked("OnWeight", 3));
    EXPECT_EQ(codeStyle("font-weight"), u"bolder"_qs);
}

TEST_F(StyleCommandsTest, EnglishStyleFromEmptyOffersTheDefaultAndCancelEmptiesIt)
{
    setConfig("English", "");
    fake.inputAnswers << std::nullopt;
    main->menuClicked(u"OnEnglish"_qs);
    ASSERT_EQ(fake.inputBoxes.size(), 1);
    EXPECT_EQ(fake.inputBoxes[0].value,
              u"font-family:Microsoft Yahei;font-Weight:bold;font-size:18px;line-height:28px;"_qs);
    EXPECT_EQ(fake.inputBoxes[0].prompt, u"请输入数据："_qs);
    EXPECT_EQ(fake.inputBoxes[0].title, u"系统提示"_qs);
    EXPECT_EQ(config("English"), Variant(""));
    EXPECT_TRUE(code().innerHTML().startsWith(u"<span style=''>English subtitle style effect</span>"_qs));
    EXPECT_EQ(message(), u"<font size=2 color=yellow>更改英文样式值后，重新载入字幕生效！</font>"_qs);
    EXPECT_EQ(main->showOut, 0);
}

TEST_F(StyleCommandsTest, EnglishStyleShowsTheAnswerInThePreview)
{
    fake.inputAnswers << u"color:red;"_qs;
    main->OnEnglish();
    EXPECT_EQ(fake.inputBoxes[0].value,
              u"font-family:Microsoft Yahei;font-Weight:bold;font-size:18px;line-height:24px;"_qs);
    EXPECT_EQ(config("English"), Variant("color:red;"));
    EXPECT_EQ(code().innerHTML(),
              u"<span style='color:red;'>English subtitle style effect</span><br>英文字幕样式效果"_qs);
}

TEST_F(StyleCommandsTest, SortingFollowsItsMark)
{
    main->menuClicked(u"OnSorting"_qs);
    EXPECT_TRUE(checked("OnSorting"));
    EXPECT_EQ(config("Sorting"), Variant(true));
    EXPECT_EQ(code().innerHTML(), QString()) << "no file loaded: the page stays";
    setConfig("Sorting", false);
    main->OnSorting();
    EXPECT_FALSE(checked("OnSorting"));
    EXPECT_EQ(config("Sorting"), Variant(false));
}

TEST_F(StyleCommandsTest, MissingChooserScriptShowsTheTimedNotice)
{
    struct Case {
        const char *command;
        const char *text;
    };
    const Case cases[] = {{"OnSetColor", "找不到 Color.js 脚本！"}, {"OnFontFamily", "找不到 Font.js 脚本！"}};
    for (const Case &c : cases) {
        fake.messageBoxes.clear();
        main->showOut = 4;
        main->menuClicked(QString::fromLatin1(c.command));
        ASSERT_EQ(fake.messageBoxes.size(), 1);
        const MessageBoxRequest &box = fake.messageBoxes[0];
        EXPECT_EQ(box.text, QString::fromUtf8(c.text));
        EXPECT_EQ(box.caption, u"系统提示"_qs);
        EXPECT_EQ(box.type, 32);
        EXPECT_EQ(box.timeoutMs, 2000);
        ASSERT_TRUE(box.owner.has_value());
        EXPECT_EQ(*box.owner, fake.rect);
        EXPECT_EQ(main->showOut, 0);
    }
}

TEST_F(StyleCommandsTest, PresentChooserScriptRunsWithoutNotice)
{
    QTemporaryDir dir;
    FakePlatform platform;
    platform.programFile = dir.filePath(u"sorvane"_qs);
    QDir(dir.path()).mkdir(u"script"_qs);
    QFile script(dir.filePath(u"script/Color.js"_qs));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("var chosen = 1;");
    script.close();
    Main m(platform.services());
    m.initialise();
    platform.messageBoxes.clear();
    m.OnSetColor();
    EXPECT_TRUE(platform.messageBoxes.isEmpty());
    EXPECT_EQ(m.showOut, 0);
}

TEST(StyleGlowTest, GlowDeclarationRepeatsTheColour)
{
    EXPECT_EQ(StyleCommands::glowStyle(u"red"_qs),
              u"text-shadow:0px 0px 2px red,1px 1px 1px red,0px 2px 1px red,0px 3px 1px red,0px 4px 1px red;"_qs);
}

} // namespace
