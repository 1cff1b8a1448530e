// The look of the main list's From and To columns for the lines loaded.
#include "app/window/main_window_structure.h"

#include <gtest/gtest.h>

#include <random>

#include "runtime/pictures/picture.h"
#include "window/list_cells.h"

namespace varnok::app {
namespace {

TEST(LineNumberLook, SixDigitsInThirtyUnitsUpToAMillionThenOneCharacterMorePerDigit) {
    const struct {
        uint32_t largest;
        LineNumberLook look;
    } table[] = {
        {0, {"@s6", 30}},          {1, {"@s6", 30}},          {999999, {"@s6", 30}},
        {1000000, {"@s7", 34}},    {1580749, {"@s7", 34}},    {9999999, {"@s7", 34}},
        {10000000, {"@s8", 38}},   {999999999, {"@s9", 42}},  {1000000000, {"@s10", 46}},
        {4294967295u, {"@s10", 46}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.largest);
        EXPECT_EQ(lineNumberLook(row.largest), row.look);
    }
}

// Every line number up to the largest shows whole through the picture, and
// two different numbers never show alike.
TEST(LineNumberLook, EveryNumberUpToTheLargestShowsWhole) {
    std::mt19937 random(22);
    for (int round = 0; round < 2000; ++round) {
        const uint32_t largest = random() >> (random() % 32);
        const LineNumberLook look = lineNumberLook(largest);
        const CompiledPicture picture = compilePicture(look.picture);
        ASSERT_TRUE(picture.valid()) << look.picture;
        for (uint32_t line : {largest, largest / 2, largest == 0 ? 0u : largest - 1, 1u}) {
            EXPECT_EQ(window::cellText(std::to_string(line), picture), std::to_string(line)) << look.picture;
        }
    }
}

// The columns fill the list inside its frame at every width from the first
// start's on, From and To as wide as their numbers need, the text columns
// never below their least and wider as the list is.
TEST(MainListColumns, FillTheListAndGiveLineNumbersTheirRoom) {
    for (uint32_t largest : {117u, 1580752u, 99999999u, 4294967295u}) {
        std::array<int32_t, 6> narrower{};
        for (int32_t width = 401; width <= 1601; width += 40) {
            SCOPED_TRACE(std::to_string(largest) + " in " + std::to_string(width));
            const std::array<int32_t, 6> w = mainListColumnWidths(width, largest);
            EXPECT_EQ(w[0] + w[1] + w[2] + w[3] + w[4] + w[5], width - MainListFrame);
            EXPECT_EQ(w[4], lineNumberLook(largest).width);
            EXPECT_EQ(w[5], w[4]);
            for (size_t text = 1; text <= 3; ++text) {
                EXPECT_GE(w[text], MinTextColumn);
                EXPECT_GE(w[text], narrower[text]);
            }
            narrower = w;
        }
    }
    // At the first start's size and up to 999999 lines: about the format's
    // own widths.
    EXPECT_EQ(mainListColumnWidths(401, 117), (std::array<int32_t, 6>{12, 133, 111, 81, 30, 30}));
}

}  // namespace
}  // namespace varnok::app
