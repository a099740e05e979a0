#include "page/CssValue.h"

#include <gtest/gtest.h>

#include <ostream>

namespace sorvane {

inline void PrintTo(const CssColor &c, std::ostream *out)
{
    *out << "rgba64(" << c.red << "," << c.green << "," << c.blue << "," << c.alpha << ")";
}

namespace {

using namespace CssValue;

constexpr quint16 k8(int channel) { return quint16(channel * 0x101); }

TEST(CssValue, Lengths)
{
    const struct {
        const char *value;
        double percentBase, emBase;
        std::optional<double> pixels;
    } cases[] = {
        {"12px", 0, 0, 12},
        {" 12.5PX ", 0, 0, 12.5},
        {"12", 0, 0, 12},
        {"-3px", 0, 0, -3},
        {".5em", 0, 20, 10},
        {"2em", 0, 18, 36},
        {"50%", 300, 0, 150},
        {"12pt", 0, 0, 16},
        {"auto", 100, 16, std::nullopt},
        {"", 100, 16, std::nullopt},
        {"12 px x", 100, 16, std::nullopt},
        {"1e3px", 100, 16, std::nullopt},
        {"12vh", 100, 16, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(length(QString::fromLatin1(c.value), c.percentBase, c.emBase), c.pixels) << c.value;
}

TEST(CssValue, Colours)
{
    const struct {
        const char *value;
        std::optional<CssColor> color;
    } cases[] = {
        {"red", CssColor{k8(255), 0, 0, 0xFFFF}},
        {" White ", CssColor{k8(255), k8(255), k8(255), 0xFFFF}},
        {"Dark Slate Gray", CssColor{k8(47), k8(79), k8(79), 0xFFFF}},
        {"darkslategrey", CssColor{k8(47), k8(79), k8(79), 0xFFFF}},
        {"yellowgreen", CssColor{k8(154), k8(205), k8(50), 0xFFFF}},
        {"transparent", CssColor{0, 0, 0, 0}},
        {"#abc", CssColor{k8(0xaa), k8(0xbb), k8(0xcc), 0xFFFF}},
        {"#ABC", CssColor{k8(0xaa), k8(0xbb), k8(0xcc), 0xFFFF}},
        {"#010101", CssColor{k8(1), k8(1), k8(1), 0xFFFF}},
        {"#80ff0000", CssColor{k8(255), 0, 0, k8(0x80)}},
        {"#123456789", CssColor{0x1231, 0x4564, 0x7897, 0xFFFF}},
        {"#FFFFFFFFFFFF", CssColor{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}},
        {"00ff00", CssColor{0, k8(255), 0, 0xFFFF}},
        {"fff", CssColor{k8(255), k8(255), k8(255), 0xFFFF}},
        {"rgb(1, 2, 3)", CssColor{k8(1), k8(2), k8(3), 0xFFFF}},
        {"RGBA(300,0,0,0.5)", CssColor{k8(255), 0, 0, 0x8000}},
        {"rgba(0,0,0,7)", CssColor{0, 0, 0, 0xFFFF}},
        {"", std::nullopt},
        {"#abcg", std::nullopt},
        {"# abc", std::nullopt},
        {"#1234", std::nullopt},
        {"#0000000000000", std::nullopt},
        {"ff00", std::nullopt},
        {"rebeccapurple", std::nullopt},
        {"rgb(1,2)", std::nullopt},
        {"reddish", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(color(QString::fromLatin1(c.value)), c.color) << c.value;
}

TEST(CssValue, FontFamilies)
{
    const struct {
        const char *list;
        QStringList families;
    } cases[] = {
        {"Simsun", {u"Simsun"_qs}},
        {"'Microsoft Yahei', \"Noto Sans CJK SC\" , serif", {u"Microsoft Yahei"_qs, u"Noto Sans CJK SC"_qs, u"serif"_qs}},
        {"' padded ',,", {u"padded"_qs}},
        {"'unclosed, serif", {u"'unclosed"_qs, u"serif"_qs}},
        {"''", {}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(fontFamilies(QString::fromLatin1(c.list)), c.families) << c.list;
}

TEST(CssValue, FontWeights)
{
    const struct {
        const char *value;
        int inherited, weight;
    } cases[] = {
        {"", 500, 500},         {"normal", 700, 400},  {"BOLD", 400, 700},    {" 600 ", 400, 600},
        {"1000", 400, 1000},    {"1001", 400, 400},    {"0", 300, 300},       {"heavy", 300, 300},
        {"bolder", 300, 400},   {"bolder", 400, 700},  {"bolder", 600, 900},  {"lighter", 50, 50},
        {"lighter", 400, 100},  {"lighter", 700, 400}, {"lighter", 900, 700},
    };
    for (const auto &c : cases)
        EXPECT_EQ(fontWeight(QString::fromLatin1(c.value), c.inherited), c.weight) << c.value << " from " << c.inherited;
}

TEST(CssValue, FontSizes)
{
    const struct {
        const char *value;
        double inherited, pixels;
    } cases[] = {
        {"xx-small", 20, 9}, {"medium", 20, 16}, {"XX-Large", 20, 32}, {"larger", 20, 24}, {"smaller", 24, 20},
        {"40px", 20, 40},    {"2em", 20, 40},    {"50%", 20, 10},      {"0", 20, 20},      {"-4px", 20, 20},
        {"auto", 20, 20},    {"", 18, 18},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(fontSize(QString::fromLatin1(c.value), c.inherited), c.pixels) << c.value;
}

TEST(CssValue, TextAlignment)
{
    const struct {
        const char *value;
        Qt::Alignment align;
    } cases[] = {
        {"center", Qt::AlignHCenter}, {" Right ", Qt::AlignRight}, {"justify", Qt::AlignJustify},
        {"left", Qt::AlignLeft},      {"middle", Qt::AlignLeft},   {"", Qt::AlignLeft},
    };
    for (const auto &c : cases)
        EXPECT_EQ(textAlign(QString::fromLatin1(c.value)), c.align) << c.value;
}

TEST(CssValue, TextShadowLists)
{
    const CssColor red{k8(255), 0, 0, 0xFFFF};
    const CssColor halfBlack{0, 0, 0, 0x8000};
    const struct {
        const char *value;
        double em;
        QVector<CssShadow> shadows;
    } cases[] = {
        {"none", 16, {}},
        {"", 16, {}},
        {"1px 2px", 16, {{QPointF(1, 2), 0, std::nullopt}}},
        {"1px 2px 3px red", 16, {{QPointF(1, 2), 3, red}}},
        {"red 0 0 .5em", 16, {{QPointF(0, 0), 8, red}}},
        {"0 0 -4px", 16, {{QPointF(0, 0), 0, std::nullopt}}},
        {"1px 1px rgba(0, 0, 0, 0.5), -1px -1px 2px", 16,
         {{QPointF(1, 1), 0, halfBlack}, {QPointF(-1, -1), 2, std::nullopt}}},
        {"1px, 2px 2px, 1px 1px 1px 1px 1px, 1px 1px bogus", 16, {{QPointF(2, 2), 0, std::nullopt}}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(textShadows(QString::fromLatin1(c.value), c.em), c.shadows) << c.value;
}

TEST(CssValue, FontTagSizesBecomePixels)
{
    const struct {
        const char *html, *expected;
    } cases[] = {
        {"<font size=2>a</font>", "<font  style='font-size:13px;'>a</font>"},
        {"<FONT SIZE='7' color=red>a", "<font  color=red style='font-size:48px;'>a"},
        {"<font size=+1>", "<font  style='font-size:18px;'>"},
        {"<font size=-5>", "<font  style='font-size:10px;'>"},
        {"<font size=9>", "<font  style='font-size:48px;'>"},
        {"<font size=\"3\" style=\"color:red\">", "<font  style=\"font-size:16px;color:red\">"},
        {"<font color=red>a</font>", "<font color=red>a</font>"},
        {"no tags at all", "no tags at all"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(browserFontSizes(QString::fromLatin1(c.html)), QString::fromLatin1(c.expected)) << c.html;
}

} // namespace
} // namespace sorvane
