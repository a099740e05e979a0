#include "dialogs/BoxPlacement.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

struct CentringCase {
    const char *name;
    std::optional<Rect> owner;
    Size box;
    Point expected;
};

const Rect kScreen{0, 0, 1920, 1080};

class CentringTest : public testing::TestWithParam<CentringCase> {};

TEST_P(CentringTest, PlacesTheBoxCorner)
{
    const CentringCase &c = GetParam();
    EXPECT_EQ(BoxPlacement::place(c.owner, kScreen, c.box), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CentringTest,
    testing::Values(
        // 401 - 200 = 201; floor(100.5) = 100.
        CentringCase{"OddSpareWidthRoundsDown", Rect{50, 20, 401, 200}, Size{200, 100}, Point{150, 70}},
        CentringCase{"ExactCentre", Rect{100, 100, 800, 150}, Size{200, 50}, Point{400, 150}},
        // 200 - 205 = -5; floor(-2.5) = -3, not the -2 of truncation.
        CentringCase{"WiderThanOwnerRoundsTowardsMinusInfinity", Rect{100, 100, 200, 100}, Size{205, 103},
                     Point{97, 98}},
        CentringCase{"NegativeOwnerPosition", Rect{-500, -300, 401, 201}, Size{200, 100}, Point{-400, -250}},
        CentringCase{"NegativeOwnerAndWiderBox", Rect{-10, -10, 10, 10}, Size{15, 15}, Point{-13, -13}},
        CentringCase{"SameSizeAsOwner", Rect{7, 9, 240, 140}, Size{240, 140}, Point{7, 9}},
        CentringCase{"NoOwnerCentresOnTheScreen", std::nullopt, Size{240, 140}, Point{840, 470}},
        CentringCase{"NoOwnerBoxOddOnTheScreen", std::nullopt, Size{241, 141}, Point{839, 469}}),
    [](const testing::TestParamInfo<CentringCase> &info) { return std::string(info.param.name); });

TEST(BoxPlacementTest, NoOwnerUsesTheScreenOrigin)
{
    // A primary screen that does not start at 0,0 still centres the box on it.
    EXPECT_EQ(BoxPlacement::place(std::nullopt, Rect{1920, 0, 1280, 1024}, Size{240, 140}), (Point{2440, 442}));
}

TEST(BoxPlacementTest, InputBoxChildrenFitInsideTheBox)
{
    for (const Rect &child : {InputBoxLayout::prompt, InputBoxLayout::edit, InputBoxLayout::okButton,
                              InputBoxLayout::cancelButton}) {
        EXPECT_LE(child.right(), InputBoxLayout::box.width);
        EXPECT_LE(child.bottom(), InputBoxLayout::box.height);
    }
    EXPECT_LE(InputBoxLayout::okButton.right(), InputBoxLayout::cancelButton.left);
}

} // namespace
} // namespace sorvane
