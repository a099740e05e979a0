#include "dialogs/BoxButtons.h"

#include "platform/Platform.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

using namespace BoxResult;

struct ButtonsCase {
    int type;
    QList<int> codes;
    std::optional<int> closeCode;
    int defaultIndex;
};

class BoxButtonsTest : public testing::TestWithParam<ButtonsCase> {};

TEST_P(BoxButtonsTest, ButtonsCloseAnswerAndDefault)
{
    const ButtonsCase &c = GetParam();
    const BoxButtons b = BoxButtons::ofType(c.type);
    EXPECT_EQ(b.codes, c.codes) << "type " << c.type;
    EXPECT_EQ(b.closeCode, c.closeCode) << "type " << c.type;
    EXPECT_EQ(b.defaultIndex, c.defaultIndex) << "type " << c.type;
}

INSTANTIATE_TEST_SUITE_P(
    Types, BoxButtonsTest,
    testing::Values(ButtonsCase{0, {Ok}, Ok, 0}, ButtonsCase{1, {Ok, Cancel}, Cancel, 0},
                    ButtonsCase{2, {Abort, Retry, Ignore}, std::nullopt, 0},
                    ButtonsCase{3, {Yes, No, Cancel}, Cancel, 0}, ButtonsCase{4, {Yes, No}, std::nullopt, 0},
                    ButtonsCase{5, {Retry, Cancel}, Cancel, 0},
                    // Icons do not change the buttons: the boxes of the program's own notices.
                    ButtonsCase{32, {Ok}, Ok, 0}, ButtonsCase{48, {Ok}, Ok, 0}, ButtonsCase{36, {Yes, No}, std::nullopt, 0},
                    // Unknown button sets fall back to OK.
                    ButtonsCase{6, {Ok}, Ok, 0}, ButtonsCase{15 | 64, {Ok}, Ok, 0},
                    // Default button bits: second, third, and one past the last.
                    ButtonsCase{0x100 | 4, {Yes, No}, std::nullopt, 1},
                    ButtonsCase{0x200 | 3, {Yes, No, Cancel}, Cancel, 2},
                    ButtonsCase{0x200 | 1, {Ok, Cancel}, Cancel, 0}, ButtonsCase{0x300 | 2, {Abort, Retry, Ignore},
                                                                                 std::nullopt, 0},
                    // Higher flag bits (system modal, topmost) leave buttons and default alone.
                    ButtonsCase{0x41000 | 0x100 | 1, {Ok, Cancel}, Cancel, 1}));

} // namespace
} // namespace sorvane
