#include "window/dialog_units.h"

namespace varnok::window {

int32_t mulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const uint64_t magnitude = product < 0 ? static_cast<uint64_t>(-product) : static_cast<uint64_t>(product);
    const uint64_t divisor = c < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
    const uint64_t rounded = (magnitude + divisor / 2) / divisor;
    if (rounded > static_cast<uint64_t>(INT32_MAX)) return -1;
    return negative ? -static_cast<int32_t>(rounded) : static_cast<int32_t>(rounded);
}

int32_t averageCharWidth(int32_t sampleWidth) { return (sampleWidth / 26 + 1) / 2; }

int32_t unitsToPixelsX(int32_t units, const DialogBase& base) { return mulDiv(units, base.averageWidth, 4); }
int32_t unitsToPixelsY(int32_t units, const DialogBase& base) { return mulDiv(units, base.height, 8); }
int32_t pixelsToUnitsX(int32_t pixels, const DialogBase& base) { return mulDiv(pixels, 4, base.averageWidth); }
int32_t pixelsToUnitsY(int32_t pixels, const DialogBase& base) { return mulDiv(pixels, 8, base.height); }

Rect unitsToPixels(const Rect& u, const DialogBase& base) {
    return {unitsToPixelsX(u.x, base), unitsToPixelsY(u.y, base), unitsToPixelsX(u.width, base),
            unitsToPixelsY(u.height, base)};
}

Rect pixelsToUnits(const Rect& p, const DialogBase& base) {
    return {pixelsToUnitsX(p.x, base), pixelsToUnitsY(p.y, base), pixelsToUnitsX(p.width, base),
            pixelsToUnitsY(p.height, base)};
}

}  // namespace varnok::window
