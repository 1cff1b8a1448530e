#include "runtime/calendar/century_window.h"

#include <atomic>

#include "platform/local_time.h"

namespace varnok {

namespace {
// 0 until the first use reads the clock.
std::atomic<int32_t> currentYear{0};
}  // namespace

int32_t centuryWindowYear() {
    int32_t year = currentYear.load(std::memory_order_acquire);
    if (year == 0) {
        // Two threads racing here read the same clock year; either store wins.
        int32_t expected = 0;
        int32_t now = platform::localTime().year;
        currentYear.compare_exchange_strong(expected, now, std::memory_order_acq_rel);
        year = currentYear.load(std::memory_order_acquire);
    }
    return year;
}

void setCenturyWindowYear(int32_t year) { currentYear.store(year, std::memory_order_release); }

int32_t expandYear(int32_t year, int32_t window) {
    if (year >= 100 || year < 0) return year;
    const int32_t current = centuryWindowYear();
    const int32_t back = current % 100 - year;  // [-99, 99]
    int32_t candidate = current - back;         // this century, ending in `year`
    if (back <= window - 100) candidate -= 100;
    else if (back > window) candidate += 100;
    return candidate;
}

}  // namespace varnok
