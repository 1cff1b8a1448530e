#include "platform/local_time.h"

#include <chrono>
#include <ctime>

namespace varnok::platform {

LocalTime localTime() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    auto hundredths = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000 / 10;
    std::tm tm{};
    localtime_r(&seconds, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.dayOfWeek = tm.tm_wday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    t.hundredths = static_cast<int>(hundredths);
    return t;
}

}  // namespace varnok::platform
