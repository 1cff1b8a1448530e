// The local clock against the C library's own local time.
#include "platform/local_time.h"

#include <gtest/gtest.h>

#include <ctime>

namespace varnok::platform {
namespace {

std::tm libraryLocalTime(std::time_t t) {
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

// Seconds since local midnight.
int secondOfDay(int hour, int minute, int second) { return (hour * 60 + minute) * 60 + second; }

// The same calendar day and the same time of day (within two seconds) as
// the C library gives for the same moment; a reading taken across midnight
// is tried again.
TEST(LocalTime, AgreesWithTheLibrarysLocalTime) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::tm before = libraryLocalTime(std::time(nullptr));
        const LocalTime t = localTime();
        const std::tm after = libraryLocalTime(std::time(nullptr));
        if (before.tm_mday != after.tm_mday) continue;
        EXPECT_EQ(t.year, after.tm_year + 1900);
        EXPECT_EQ(t.month, after.tm_mon + 1);
        EXPECT_EQ(t.day, after.tm_mday);
        EXPECT_EQ(t.dayOfWeek, after.tm_wday);
        const int ours = secondOfDay(t.hour, t.minute, t.second);
        EXPECT_GE(ours, secondOfDay(before.tm_hour, before.tm_min, before.tm_sec) - 2);
        EXPECT_LE(ours, secondOfDay(after.tm_hour, after.tm_min, after.tm_sec) + 2);
        return;
    }
    FAIL() << "the day changed at every attempt";
}

// clockHundredths is the standard time of localTime: hundredths since
// midnight plus 1.
TEST(LocalTime, ClockHundredthsFollowsLocalTime) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const LocalTime before = localTime();
        const int32_t clock = clockHundredths();
        const LocalTime after = localTime();
        const int32_t from = secondOfDay(before.hour, before.minute, before.second) * 100 + before.hundredths + 1;
        const int32_t to = secondOfDay(after.hour, after.minute, after.second) * 100 + after.hundredths + 1;
        if (to < from) continue;  // midnight passed
        EXPECT_GE(clock, from);
        EXPECT_LE(clock, to);
        EXPECT_GE(clock, 1);
        EXPECT_LE(clock, 8640000);
        return;
    }
    FAIL() << "midnight passed at every attempt";
}

}  // namespace
}  // namespace varnok::platform
