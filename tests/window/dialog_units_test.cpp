#include "window/dialog_units.h"

#include <gtest/gtest.h>

#include <climits>

namespace varnok::window {
namespace {

TEST(MulDiv, RoundsToNearestHalvesAwayFromZero) {
    struct Case {
        int32_t a, b, c, result;
    };
    const Case cases[] = {
        {5, 13, 8, 8},     // 8.125
        {3, 13, 8, 5},     // 4.875
        {1, 1, 2, 1},      // 0.5
        {-1, 1, 2, -1},    // -0.5
        {3, 1, 2, 2},      // 1.5
        {-3, 1, 2, -2},    // -1.5
        {7, 6, 4, 11},     // 10.5
        {7, -6, 4, -11},
        {-7, 6, -4, 11},
        {0, 6, 4, 0},
        {100, 3, 7, 43},   // 42.86
        {1, 1, 0, -1},     // no divisor
        {INT32_MAX, 2, 1, -1},  // does not fit
        {INT32_MAX, 2, 2, INT32_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mulDiv(c.a, c.b, c.c), c.result) << c.a << " * " << c.b << " / " << c.c;
    }
}

TEST(AverageCharWidth, FromTheWidthOfTheFiftyTwoLetters) {
    EXPECT_EQ(kAverageWidthSample.size(), 52u);
    EXPECT_EQ(averageCharWidth(312), 6);  // 6.0
    EXPECT_EQ(averageCharWidth(337), 6);  // 6.48
    EXPECT_EQ(averageCharWidth(338), 7);  // 6.5
    EXPECT_EQ(averageCharWidth(363), 7);
    EXPECT_EQ(averageCharWidth(0), 0);
}

// The main window in its 8-point font (6 x 13 pixel base units).
TEST(DialogUnits, MainWindowInAnEightPointFont) {
    const DialogBase base{6, 13};
    struct Case {
        Rect units, pixels;
    };
    const Case cases[] = {
        {{0, 0, 420, 273}, {0, 0, 630, 444}},       // the window
        {{5, 6, 411, 45}, {8, 10, 617, 73}},        // ?GROUP1
        {{61, 16, 327, 10}, {92, 26, 491, 16}},     // ?TXAFILENAME
        {{392, 15, 12, 12}, {588, 24, 18, 20}},     // ?LOOKUPFILE
        {{9, 62, 401, 182}, {14, 101, 602, 296}},   // ?EXTENSIONQ
        {{271, 248, 139, 14}, {407, 403, 209, 23}}, // ?REMOVEBUTTON
    };
    for (const Case& c : cases) {
        EXPECT_EQ(unitsToPixels(c.units, base), c.pixels) << c.units.x << "," << c.units.y;
    }
}

// Whenever a unit is at least a pixel, units written read back the same.
TEST(DialogUnits, UnitsComeBackFromPixels) {
    for (int32_t width = 4; width <= 12; ++width) {
        for (int32_t height = 8; height <= 30; ++height) {
            const DialogBase base{width, height};
            for (int32_t u = -200; u <= 1200; ++u) {
                ASSERT_EQ(pixelsToUnitsX(unitsToPixelsX(u, base), base), u) << width << " " << u;
                ASSERT_EQ(pixelsToUnitsY(unitsToPixelsY(u, base), base), u) << height << " " << u;
            }
        }
    }
    const DialogBase base{7, 15};
    const Rect r{9, 62, 401, 182};
    EXPECT_EQ(pixelsToUnits(unitsToPixels(r, base), base), r);
}

}  // namespace
}  // namespace varnok::window
