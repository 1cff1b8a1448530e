// Dialog units: the font-relative measure in which window structures place
// their controls, converted to pixels the way the desktop does it.
//
// A window's font gives two base units: its average character width, from
// the width w of the 52 letters A-Z and a-z written together, as
// (w / 26 + 1) / 2 in integers (w / 52 rounded, as the desktop computes it),
// and its height (ascent plus descent). One horizontal dialog unit
// is a quarter of the average width, one vertical unit an eighth of the
// height:
//
//   x pixels = mulDiv(x, averageWidth, 4)     y pixels = mulDiv(y, height, 8)
//
// mulDiv rounds to the nearest integer, halves away from zero. Going back,
// pixels = mulDiv(units, base, 4) is undone by mulDiv(pixels, 4, base)
// whenever a unit is at least one pixel (averageWidth >= 4, height >= 8), so
// a position or size written in dialog units reads back the same.
#pragma once
#include <cstdint>
#include <string_view>

namespace varnok::window {

// a * b / c rounded to the nearest integer, halves away from zero; -1 when c
// is 0 or the result does not fit in 32 bits.
int32_t mulDiv(int32_t a, int32_t b, int32_t c);

// The 52 letters whose total width gives the average character width.
inline constexpr std::string_view kAverageWidthSample =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
// The average character width from the width of kAverageWidthSample.
int32_t averageCharWidth(int32_t sampleWidth);

struct DialogBase {
    int32_t averageWidth = 4;  // pixels
    int32_t height = 8;        // pixels
};

struct Rect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

int32_t unitsToPixelsX(int32_t units, const DialogBase& base);
int32_t unitsToPixelsY(int32_t units, const DialogBase& base);
int32_t pixelsToUnitsX(int32_t pixels, const DialogBase& base);
int32_t pixelsToUnitsY(int32_t pixels, const DialogBase& base);

Rect unitsToPixels(const Rect& units, const DialogBase& base);
Rect pixelsToUnits(const Rect& pixels, const DialogBase& base);

}  // namespace varnok::window
