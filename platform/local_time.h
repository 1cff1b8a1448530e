// The local clock, as the runtime reads it: calendar date and time of day
// (on Windows GetLocalTime, to the millisecond).
#pragma once
#include <cstdint>

namespace varnok::platform {

struct LocalTime {
    int year = 0;        // e.g. 2026
    int month = 0;       // 1..12
    int day = 0;         // 1..31
    int dayOfWeek = 0;   // 0 = Sunday
    int hour = 0;        // 0..23
    int minute = 0;      // 0..59
    int second = 0;      // 0..59
    int hundredths = 0;  // 0..99
};

LocalTime localTime();

// Hundredths of a second since local midnight plus 1 (a standard time value).
int32_t clockHundredths();

}  // namespace varnok::platform
