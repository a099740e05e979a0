#include "app/WindowPlacement.h"

#include "app/Main.h"
#include "core/Dictionary.h"
#include "platform/fake/FakePlatform.h"
#include "VariantPrinter.h"

#include <gtest/gtest.h>

using namespace sorvane;

namespace {

// ------------------------------------------------------------ the rule

struct OnScreenCase {
    const char *name;
    Rect window;
    std::vector<Rect> areas;
    Rect expected;
};

const Rect kPrimary{0, 0, 1920, 1040};
const Rect kRight{1920, 200, 1280, 984};

class OnScreen : public testing::TestWithParam<OnScreenCase> {};

TEST_P(OnScreen, KeepsAUsablePartOnAScreenThatExists)
{
    const OnScreenCase &c = GetParam();
    EXPECT_EQ(WindowPlacement::onScreen(c.window, c.areas), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OnScreen,
    testing::Values(
        OnScreenCase{"WhollyOnTheScreen", {100, 800, 800, 150}, {kPrimary}, {100, 800, 800, 150}},
        OnScreenCase{"PartlyOffButGrabbable", {1860, 1000, 800, 150}, {kPrimary}, {1860, 1000, 800, 150}},
        OnScreenCase{"ASliverIsNotEnough", {1900, 100, 800, 150}, {kPrimary}, {1120, 100, 800, 150}},
        OnScreenCase{"AboveTheTop", {300, -140, 800, 150}, {kPrimary}, {300, 0, 800, 150}},
        OnScreenCase{"OnTheSecondScreen", {2200, 600, 800, 150}, {kPrimary, kRight}, {2200, 600, 800, 150}},
        OnScreenCase{"SecondScreenUnplugged", {2200, 600, 800, 150}, {kPrimary}, {1120, 600, 800, 150}},
        OnScreenCase{"FarAwayGoesToTheNearest", {9000, 700, 800, 150}, {kPrimary, kRight}, {2400, 700, 800, 150}},
        OnScreenCase{"LeftOfEverything", {-5000, -5000, 800, 150}, {kRight, kPrimary}, {0, 0, 800, 150}},
        OnScreenCase{"LargerThanTheScreen", {-100, -100, 3000, 2000}, {kPrimary}, {-100, -100, 3000, 2000}},
        OnScreenCase{"LargerAndOff", {5000, 5000, 3000, 2000}, {kPrimary}, {0, 0, 1920, 1040}},
        OnScreenCase{"TinyWindowWhollyOn", {10, 10, 20, 10}, {kPrimary}, {10, 10, 20, 10}},
        OnScreenCase{"EmptyAreasPassedOver", {5000, 5000, 800, 150}, {Rect{}, kPrimary}, {1120, 890, 800, 150}},
        OnScreenCase{"NoScreenKnown", {5000, 5000, 800, 150}, {}, {5000, 5000, 800, 150}}),
    [](const testing::TestParamInfo<OnScreenCase> &info) { return std::string(info.param.name); });

// ------------------------------------------------------------ what scripts see

class PlacementScripts : public testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<Main>(fake.services());
        main->initialise();
        fake.messageBoxes.clear();
        fake.rect = {100, 200, 800, 150};
    }

    void vbs(const QString &code) { main->RunScript(code, QStringLiteral("vbscript"), true); }
    Variant config(const char *key) { return main->Config->item(QString::fromLatin1(key)); }
    QString lastBox() const { return fake.messageBoxes.isEmpty() ? QString() : fake.messageBoxes.last().text; }

    FakePlatform fake;
    std::unique_ptr<Main> main;
};

TEST_F(PlacementScripts, EdgesAndSizeReadInTwipsAsSingles)
{
    vbs(QStringLiteral("Main.Config(\"l\") = Main.Left : Main.Config(\"t\") = Main.Top\n"
                       "Main.Config(\"w\") = Main.Width : Main.Config(\"h\") = Main.Height\n"
                       "Main.Config(\"k\") = TypeName(Main.left) & \" \" & TypeName(Main.WindowState)"));
    EXPECT_EQ(lastBox(), QString());
    EXPECT_EQ(config("l"), Variant::fromSingle(1500));
    EXPECT_EQ(config("t"), Variant::fromSingle(3000));
    EXPECT_EQ(config("w"), Variant::fromSingle(12000));
    EXPECT_EQ(config("h"), Variant::fromSingle(2250));
    EXPECT_EQ(config("k"), Variant("Single Integer"));
}

struct SetCase {
    const char *name;
    const char *script;
    Rect expected;
};

class PlacementSets : public PlacementScripts, public testing::WithParamInterface<SetCase> {};

TEST_P(PlacementSets, SetsInWholePixelsWithinTheDisplaysRange)
{
    vbs(QString::fromUtf8(GetParam().script));
    EXPECT_EQ(lastBox(), QString());
    EXPECT_EQ(fake.rect, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlacementSets,
    testing::Values(SetCase{"Left", "Main.Left = 4500", {300, 200, 800, 150}},
                    SetCase{"Top", "Main.Top = -1500", {100, -100, 800, 150}},
                    SetCase{"Width", "Main.Width = 9000", {100, 200, 600, 150}},
                    SetCase{"Height", "Main.Height = \"1530\"", {100, 200, 800, 102}},
                    SetCase{"RoundsHalfToEven", "Main.Left = 22.5 : Main.Top = 37.5", {2, 2, 800, 150}},
                    SetCase{"NoSmallerThanAPixel", "Main.Width = 0 : Main.Height = -300", {100, 200, 1, 1}},
                    SetCase{"FarBeyondTheDisplay", "Main.Left = 1E+20 : Main.Width = 1E+20", {32767, 200, 32767, 150}}),
    [](const testing::TestParamInfo<SetCase> &info) { return std::string(info.param.name); });

TEST_F(PlacementScripts, BadValuesAreScriptErrorsAndMoveNothing)
{
    vbs(QStringLiteral("Main.Left = \"far\""));
    EXPECT_TRUE(lastBox().contains(QStringLiteral("Type mismatch"))) << lastBox().toStdString();
    vbs(QStringLiteral("Main.WindowState = 3"));
    EXPECT_TRUE(lastBox().contains(QStringLiteral("Invalid property value"))) << lastBox().toStdString();
    EXPECT_TRUE(lastBox().contains(QStringLiteral("800A017C"))) << lastBox().toStdString(); // 380
    EXPECT_EQ(fake.rect, (Rect{100, 200, 800, 150}));
    EXPECT_EQ(fake.shown, WindowShowState::Normal);
}

TEST_F(PlacementScripts, WindowStateShowsAndReads)
{
    vbs(QStringLiteral("Main.WindowState = 2 : Main.Config(\"a\") = Main.WindowState\n"
                       "Main.WindowState = 1 : Main.Config(\"b\") = Main.WindowState\n"
                       "Main.WindowState = 0 : Main.Config(\"c\") = Main.WindowState"));
    EXPECT_EQ(lastBox(), QString());
    EXPECT_EQ(config("a"), Variant::fromInteger(2));
    EXPECT_EQ(config("b"), Variant::fromInteger(1));
    EXPECT_EQ(config("c"), Variant::fromInteger(0));
    EXPECT_EQ(fake.shown, WindowShowState::Normal);
}

} // namespace
