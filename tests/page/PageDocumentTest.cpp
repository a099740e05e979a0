#include "page/PageDocument.h"

#include "page/PageTemplate.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

std::shared_ptr<PageDocument> writtenPage(const QString &color = u"cyan"_qs)
{
    return PageDocument::write(pageText(color));
}

TEST(PageDocument, ElementsAfterWrite)
{
    const auto page = writtenPage();
    const struct {
        QString id, tag, className, html, text;
    } cases[] = {
        {u"TdBox"_qs, u"TD"_qs, QString(), u"<div class='subtitles'id='code' name='code'></div>"_qs, QString()},
        {u"code"_qs, u"DIV"_qs, u"subtitles"_qs, QString(), QString()},
        {u"TimeBox"_qs, u"LABEL"_qs, QString(), u"00:00:00 / 00:00:00"_qs, u"00:00:00 / 00:00:00"_qs},
        {u"Message"_qs, u"LABEL"_qs, QString(), QString(), QString()},
        {u"click"_qs, u"LABEL"_qs, QString(), u"●"_qs, u"●"_qs},
    };
    QStringList order;
    for (PageElement *e : page->elements())
        order << e->id();
    EXPECT_EQ(order, (QStringList{u"TdBox"_qs, u"code"_qs, u"TimeBox"_qs, u"Message"_qs, u"click"_qs}));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id.toStdString());
        PageElement *e = page->getElementById(c.id);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->id(), c.id);
        EXPECT_EQ(e->tagName(), c.tag);
        EXPECT_EQ(e->className(), c.className);
        EXPECT_EQ(e->innerHTML(), c.html);
        EXPECT_EQ(e->innerText(), c.text);
    }
    EXPECT_EQ(page->getElementById(u"code"_qs)->attribute(u"name"_qs), u"code"_qs);
}

TEST(PageDocument, UnknownIdsFindNothing)
{
    const auto page = writtenPage();
    for (const QString &id : {u"nothing"_qs, u"CODE"_qs, u"timebox"_qs, u""_qs, u"subtitles"_qs})
        EXPECT_EQ(page->getElementById(id), nullptr) << id.toStdString();
}

TEST(PageDocument, StyleSheetAndInlineStylesOfThePage)
{
    const auto page = writtenPage(u"red;font-size:40px"_qs);
    const struct {
        const PageStyle *style;
        QString name, value;
    } cases[] = {
        {&page->bodyStyle(), u"background-color"_qs, u"#010101"_qs},
        {&page->bodyStyle(), u"color"_qs, u"white"_qs},
        {&page->bodyStyle(), u"borderWidth"_qs, u"0px"_qs},
        {&page->bodyStyle(), u"overflow-y"_qs, u"hidden"_qs},
        {&page->classRule(u"subtitles"_qs), u"font-weight"_qs, u"bold"_qs},
        {&page->classRule(u"subtitles"_qs), u"line-height"_qs, u"normal"_qs},
        {&page->classRule(u"subtitles"_qs), u"fontFamily"_qs, u"Arial,'Microsoft Yahei','微软雅黑'"_qs},
        // The colour is spliced unescaped: its ';' ends the declaration and
        // what follows is a declaration of the rule.
        {&page->classRule(u"subtitles"_qs), u"color"_qs, u"red"_qs},
        {&page->classRule(u"subtitles"_qs), u"font-size"_qs, u"40px"_qs},
        {&page->classRule(u"nothing"_qs), u"color"_qs, QString()},
        {&page->getElementById(u"TimeBox"_qs)->style(), u"padding"_qs, u"0px 5px"_qs},
        {&page->getElementById(u"TimeBox"_qs)->style(), u"backgroundColor"_qs, u"black"_qs},
        {&page->getElementById(u"TimeBox"_qs)->style(), u"zIndex"_qs, u"100"_qs},
        {&page->getElementById(u"Message"_qs)->style(), u"width"_qs, u"80%"_qs},
        {&page->getElementById(u"Message"_qs)->style(), u"left"_qs, u"10%"_qs},
        {&page->getElementById(u"click"_qs)->style(), u"font-family"_qs, u"Simsun"_qs},
        {&page->getElementById(u"click"_qs)->style(), u"display"_qs, u"inline-block"_qs},
        {&page->getElementById(u"code"_qs)->style(), u"color"_qs, QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.style->property(c.name), c.value) << c.name.toStdString();
    // A later declaration of the same property wins even inside one rule.
    const auto second = PageDocument::write(u"<style>.subtitles{font-size:30px;}</style>"_qs + pageText(u"blue"_qs));
    EXPECT_EQ(second->classRule(u"subtitles"_qs).property(u"fontSize"_qs), u"24px"_qs);
    EXPECT_EQ(second->classRule(u"subtitles"_qs).property(u"color"_qs), u"blue"_qs);
}

TEST(PageDocument, InnerHtmlIsKeptAsWritten)
{
    const auto page = writtenPage();
    PageElement *message = page->getElementById(u"Message"_qs);
    PageElement *code = page->getElementById(u"code"_qs);
    const struct {
        PageElement *element;
        QString html, text;
    } cases[] = {
        {message, u"<font size=2 color=yellow>更改英文样式值后，重新载入字幕生效！</font>"_qs,
         u"更改英文样式值后，重新载入字幕生效！"_qs},
        {code, u"<span style='font-family:Simsun;font-Weight:bold;font-size:18px;line-height:24px;'>"
               u"English subtitle style effect</span><br>英文字幕样式效果"_qs,
         u"English subtitle style effect\n英文字幕样式效果"_qs},
        {code, u"a<br>b"_qs, u"a\nb"_qs},
        {code, u"a<BR/>  b <br >c"_qs, u"a\nb\nc"_qs},
        {code, u"x &lt;y&gt; &amp; &quot;z&quot; &#65;&#x42;"_qs, u"x <y> & \"z\" AB"_qs},
        {code, u"  spaced \n\t words  "_qs, u"spaced words"_qs},
        {code, u"<div>one</div><div>two</div>"_qs, u"one\ntwo"_qs},
        {code, u"1 < 2 &unknown; <!-- hidden -->"_qs, u"1 < 2 &unknown;"_qs},
        {message, u"font-size: 23px;"_qs, u"font-size: 23px;"_qs},
    };
    for (const auto &c : cases) {
        c.element->setInnerHTML(c.html);
        EXPECT_EQ(c.element->innerHTML(), c.html);
        EXPECT_EQ(c.element->innerText(), c.text) << c.html.toStdString();
    }
}

TEST(PageDocument, InnerTextShowsAsPlainText)
{
    const auto page = writtenPage();
    PageElement *box = page->getElementById(u"TimeBox"_qs);
    const struct {
        QString text, html, readBack;
    } cases[] = {
        {u"00:01:02 / 01:30:00"_qs, u"00:01:02 / 01:30:00"_qs, u"00:01:02 / 01:30:00"_qs},
        {u"a < b & c > d"_qs, u"a &lt; b &amp; c &gt; d"_qs, u"a < b & c > d"_qs},
        {u"<b>not bold</b>"_qs, u"&lt;b&gt;not bold&lt;/b&gt;"_qs, u"<b>not bold</b>"_qs},
        {u"one\ntwo\r\nthree"_qs, u"one<br>two<br>three"_qs, u"one\ntwo\nthree"_qs},
        {QString(), QString(), QString()},
    };
    for (const auto &c : cases) {
        box->setInnerText(c.text);
        EXPECT_EQ(box->innerHTML(), c.html);
        EXPECT_EQ(box->innerText(), c.readBack);
    }
}

TEST(PageDocument, ElementsInsideElementsStayFindable)
{
    const auto page = writtenPage();
    PageElement *cell = page->getElementById(u"TdBox"_qs);
    PageElement *code = page->getElementById(u"code"_qs);
    code->setInnerHTML(u"cue"_qs);
    EXPECT_EQ(cell->innerHTML(), u"<div class='subtitles'id='code' name='code'>cue</div>"_qs);
    code->style().setProperty(u"color"_qs, u"red"_qs);
    EXPECT_EQ(cell->innerHTML(), u"<div class='subtitles' id='code' name='code' style='color: red;'>cue</div>"_qs);

    // Content written later may bring elements of its own and drop the old.
    code->setInnerHTML(u"<span id='inner' style=\"color:blue\">x</span>y"_qs);
    PageElement *inner = page->getElementById(u"inner"_qs);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->style().property(u"color"_qs), u"blue"_qs);
    EXPECT_EQ(inner->innerHTML(), u"x"_qs);
    cell->setInnerHTML(u"gone"_qs);
    EXPECT_EQ(page->getElementById(u"code"_qs), nullptr);
    EXPECT_EQ(page->getElementById(u"inner"_qs), nullptr);

    // Written back, in any case of the attribute's name, they are found again.
    cell->setInnerHTML(u"<div ID='code'>again</div><i iD=inner>i</i>"_qs);
    ASSERT_NE(page->getElementById(u"code"_qs), nullptr);
    EXPECT_EQ(page->getElementById(u"code"_qs)->innerHTML(), u"again"_qs);
    ASSERT_NE(page->getElementById(u"inner"_qs), nullptr);
    cell->setInnerText(u"<i id=inner>"_qs);
    EXPECT_EQ(page->getElementById(u"inner"_qs), nullptr);
    EXPECT_EQ(cell->innerHTML(), u"&lt;i id=inner&gt;"_qs);
}

TEST(PageDocument, ToleratesLooseMarkup)
{
    const struct {
        QString html, id, innerHTML;
    } cases[] = {
        {u"<p id=a>one</p><p id=a>two</p>"_qs, u"a"_qs, u"one"_qs},
        {u"<DIV ID=\"x\" class=c>in<b>side</DIV>after"_qs, u"x"_qs, u"in<b>side"_qs},
        {u"<div id=outer><span id=open>never closed</div>"_qs, u"open"_qs, u"never closed"_qs},
        {u"<!-- <b id=hidden>no</b> --><i id=shown>yes</i>"_qs, u"shown"_qs, u"yes"_qs},
        {u"<style>#s{color:red}</style><br id=void>text"_qs, u"void"_qs, QString()},
        {u"<b id=stray>x</i>y</b>"_qs, u"stray"_qs, u"x</i>y"_qs},
        {u"<span id=tail>to the end"_qs, u"tail"_qs, u"to the end"_qs},
    };
    for (const auto &c : cases) {
        const auto page = PageDocument::write(c.html);
        PageElement *e = page->getElementById(c.id);
        ASSERT_NE(e, nullptr) << c.html.toStdString();
        EXPECT_EQ(e->innerHTML(), c.innerHTML) << c.html.toStdString();
    }
    EXPECT_EQ(PageDocument::write(u"<!-- <b id=hidden>no</b> -->"_qs)->getElementById(u"hidden"_qs), nullptr);
    EXPECT_EQ(PageDocument::write(u"<style>x{}</style>"_qs)->rule(u"x"_qs).cssText(), QString());
}

TEST(PageStyle, NamesMapBetweenScriptAndCssForms)
{
    const struct {
        QString name, css;
    } cases[] = {
        {u"fontSize"_qs, u"font-size"_qs},       {u"lineHeight"_qs, u"line-height"_qs},
        {u"color"_qs, u"color"_qs},              {u"fontFamily"_qs, u"font-family"_qs},
        {u"fontWeight"_qs, u"font-weight"_qs},   {u"backgroundColor"_qs, u"background-color"_qs},
        {u"textShadow"_qs, u"text-shadow"_qs},   {u"zIndex"_qs, u"z-index"_qs},
        {u"borderTopWidth"_qs, u"border-top-width"_qs}, {u"font-Weight"_qs, u"font-weight"_qs},
        {u"FONT-SIZE"_qs, u"font-size"_qs},      {u"Color"_qs, u"color"_qs},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PageStyle::cssName(c.name), c.css);
        PageStyle style;
        style.setProperty(c.name, u"1px"_qs);
        EXPECT_EQ(style.property(c.css), u"1px"_qs) << c.name.toStdString();
        EXPECT_EQ(style.property(c.css.toUpper()), u"1px"_qs);
        EXPECT_EQ(style.cssText(), c.css + u": 1px;"_qs);
    }
}

TEST(PageStyle, CssTextSetAndGet)
{
    const struct {
        QString text, cssText;
    } cases[] = {
        {u"font-family:Simsun;font-Weight:bold;font-size:18px;line-height:24px;"_qs,
         u"font-family: Simsun; font-weight: bold; font-size: 18px; line-height: 24px;"_qs},
        {u" color : red ; color:blue"_qs, u"color: blue;"_qs},
        {u"text-shadow:0px 0px 2px cyan,1px 1px 1px cyan;"_qs, u"text-shadow: 0px 0px 2px cyan,1px 1px 1px cyan;"_qs},
        {u"font-family:'a;b',c;junk;:x;y:;"_qs, u"font-family: 'a;b',c;"_qs},
        {u"font:italic 700 20px/30px Microsoft Yahei"_qs,
         u"font-style: italic; font-variant: normal; font-weight: 700; font-size: 20px; line-height: 30px; "
         u"font-family: Microsoft Yahei;"_qs},
        {u"font:bold"_qs, QString()},
        {QString(), QString()},
    };
    for (const auto &c : cases) {
        PageStyle style;
        style.setCssText(u"width:3px"_qs);
        style.setCssText(c.text);
        EXPECT_EQ(style.cssText(), c.cssText) << c.text.toStdString();
    }
    PageStyle style;
    style.setCssText(u"color:red;font-size:12px"_qs);
    style.setProperty(u"color"_qs, QString());
    EXPECT_EQ(style.cssText(), u"font-size: 12px;"_qs);
    style.setProperty(u"fontSize"_qs, u"13px"_qs);
    EXPECT_EQ(style.cssText(), u"font-size: 13px;"_qs);
}

TEST(PageDocument, EveryChangeRaisesTheRevisionAndCallsTheListener)
{
    const auto page = writtenPage();
    int calls = 0;
    page->setChangeListener([&calls] { ++calls; });
    PageElement *code = page->getElementById(u"code"_qs);
    PageElement *box = page->getElementById(u"TimeBox"_qs);
    const std::function<void()> changes[] = {
        [&] { code->setInnerHTML(u"cue"_qs); },
        [&] { box->setInnerText(u"00:00:01 / 00:00:00"_qs); },
        [&] { code->style().setProperty(u"fontSize"_qs, u"25px"_qs); },
        [&] { code->style().setProperty(u"font-size"_qs, QString()); },
        [&] { code->style().setCssText(u"text-shadow:0px 0px 2px cyan;"_qs); },
        [&] { code->style() = PageStyle(); },
    };
    for (const auto &change : changes) {
        const quint64 before = page->revision();
        const int callsBefore = calls;
        change();
        EXPECT_GT(page->revision(), before);
        EXPECT_EQ(calls, callsBefore + 1);
    }
    EXPECT_EQ(code->revision(), page->revision());
    EXPECT_EQ(page->getElementById(u"TdBox"_qs)->revision(), page->revision());
    EXPECT_LT(box->revision(), page->revision());

    // Writing what is already there changes nothing.
    const quint64 settled = page->revision();
    code->setInnerHTML(u"cue"_qs);
    box->setInnerText(u"00:00:01 / 00:00:00"_qs);
    code->style().setCssText(QString());
    EXPECT_EQ(page->revision(), settled);
    EXPECT_EQ(calls, 6);
}

} // namespace
} // namespace sorvane
