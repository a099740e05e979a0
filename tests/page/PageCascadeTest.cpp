#include "page/PageCascade.h"

#include "page/PageDocument.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

constexpr quint16 k8(int channel) { return quint16(channel * 0x101); }

// A page with one element "e" under a style sheet.
std::shared_ptr<PageDocument> page(const char *sheet, const char *className, const char *style)
{
    return PageDocument::write(QStringLiteral("<html><head><style>%1</style></head><body>"
                                              "<div id='e' class='%2' style=\"%3\">text</div></body></html>")
                                   .arg(QString::fromLatin1(sheet), QString::fromLatin1(className),
                                        QString::fromLatin1(style)));
}

TEST(PageCascade, InlineStyleThenLastClassThenBody)
{
    const char *sheet = "body{color:red;text-align:center} .a{color:blue;padding:1px} .b{color:green}";
    const struct {
        const char *className, *style, *property;
        const char *own, *inherited;
    } cases[] = {
        {"", "", "color", "", "red"},
        {"a", "", "color", "blue", "blue"},
        {"a b", "", "color", "green", "green"},
        {"b a", "", "color", "blue", "blue"},
        {"a b", "color:black", "color", "black", "black"},
        {"a b", "", "padding", "1px", "1px"},
        {"missing", "", "text-align", "", "center"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.className) + " / " + c.style + " / " + c.property);
        const auto doc = page(sheet, c.className, c.style);
        const PageCascade cascade(*doc, *doc->getElementById(u"e"_qs));
        EXPECT_EQ(cascade.own(QString::fromLatin1(c.property)), QString::fromLatin1(c.own));
        EXPECT_EQ(cascade.inherited(QString::fromLatin1(c.property)), QString::fromLatin1(c.inherited));
    }
}

TEST(PageCascade, TextLook)
{
    const struct {
        const char *sheet, *style;
        QStringList families;
        int pixelSize, weight;
        bool italic;
        CssColor color;
        Qt::Alignment align;
        std::optional<double> lineHeight;
    } cases[] = {
        {"", "", {u"Times New Roman"_qs, u"serif"_qs}, 16, 400, false, CssColor{}, Qt::AlignLeft, std::nullopt},
        {"body{font-size:20px;font-weight:bold;font-family:Simsun;color:#fff}", "font-size:1.5em;line-height:1.5",
         {u"Simsun"_qs}, 30, 700, false, CssColor{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, Qt::AlignLeft, 45.0},
        {"body{font-weight:bold}", "font-weight:bolder;font-style:Oblique;text-align:right;line-height:24px", {u"Times New Roman"_qs, u"serif"_qs},
         16, 900, true, CssColor{}, Qt::AlignRight, 24.0},
        {"body{font-size:10px}", "font-size:0.04em;color:nonsense;line-height:normal", {u"Times New Roman"_qs, u"serif"_qs},
         1, 400, false, CssColor{}, Qt::AlignLeft, std::nullopt},
        {"", "font-size:25%;color:rgb(1,2,3);font-family:'A B', C", {u"A B"_qs, u"C"_qs}, 4, 400, false,
         CssColor{k8(1), k8(2), k8(3), 0xFFFF}, Qt::AlignLeft, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.sheet) + " / " + c.style);
        const auto doc = page(c.sheet, "", c.style);
        const TextLook look = PageCascade(*doc, *doc->getElementById(u"e"_qs)).textLook();
        EXPECT_EQ(look.families, c.families);
        EXPECT_EQ(look.pixelSize, c.pixelSize);
        EXPECT_EQ(look.weight, c.weight);
        EXPECT_EQ(look.italic, c.italic);
        EXPECT_TRUE(look.color == c.color);
        EXPECT_EQ(look.align, c.align);
        EXPECT_EQ(look.lineHeight, c.lineHeight);
    }
}

TEST(PageCascade, PaddingShorthandThenLonghands)
{
    const struct {
        const char *style;
        double containerWidth, em;
        BoxEdges edges;
    } cases[] = {
        {"", 100, 16, {0, 0, 0, 0}},
        {"padding:4px", 100, 16, {4, 4, 4, 4}},
        {"padding:1px 2px", 100, 16, {1, 2, 1, 2}},
        {"padding:1px 2px 3px", 100, 16, {1, 2, 3, 2}},
        {"padding:1px 2px 3px 4px", 100, 16, {1, 2, 3, 4}},
        {"padding:10% 1em", 200, 16, {20, 16, 20, 16}},
        {"padding:-5px auto", 100, 16, {0, 0, 0, 0}},
        {"padding:4px;padding-left:9px;padding-top:1px", 100, 16, {1, 4, 4, 9}},
    };
    for (const auto &c : cases) {
        const auto doc = page("", "", c.style);
        EXPECT_EQ(PageCascade(*doc, *doc->getElementById(u"e"_qs)).padding(c.containerWidth, c.em), c.edges)
            << c.style;
    }
}

TEST(PageCascade, BackgroundColourThenShorthand)
{
    const struct {
        const char *style;
        std::optional<CssColor> color;
    } cases[] = {
        {"", std::nullopt},
        {"background-color:red", CssColor{k8(255), 0, 0, 0xFFFF}},
        {"background:blue", CssColor{0, 0, k8(255), 0xFFFF}},
        {"background-color:nonsense;background:blue", CssColor{0, 0, k8(255), 0xFFFF}},
        {"background:url(x.png) red", std::nullopt},
    };
    for (const auto &c : cases) {
        const auto doc = page("", "", c.style);
        EXPECT_EQ(PageCascade(*doc, *doc->getElementById(u"e"_qs)).background(), c.color) << c.style;
    }
}

} // namespace
} // namespace sorvane
