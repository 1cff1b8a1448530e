// The century window: how a two-digit year becomes a four-digit one.
//
// The current year is read from the local clock at the first expansion and
// kept for the life of the process, so every two-digit year in one run lands
// in the same century. Tests pin it with setCenturyWindowYear.
#pragma once
#include <cstdint>

namespace varnok {

// The window the date operations use: a two-digit year lands in the span
// from the current year less 80 to the current year plus 19.
constexpr int32_t DefaultCenturyWindow = 80;

// Expands a year below 100 (0 to 99) into the window of `window` years back
// from the current year: the result lies from current - window to
// current - window + 99. Years of 100 or more come back unchanged; negative
// years are not two-digit years and come back unchanged too.
int32_t expandYear(int32_t year, int32_t window);

// The current year the window is built around (read once).
int32_t centuryWindowYear();
// Pins the current year (tests); 0 goes back to reading the clock once more.
void setCenturyWindowYear(int32_t year);

}  // namespace varnok
