#include "runtime/calendar/dates.h"

#include <gtest/gtest.h>

#include "platform/local_time.h"
#include "runtime/calendar/century_window.h"

namespace varnok {
namespace {

// Pins the century window's current year for one test.
class PinnedYear {
public:
    explicit PinnedYear(int32_t year) { setCenturyWindowYear(year); }
    ~PinnedYear() { setCenturyWindowYear(0); }
};

// A calendar that counts day by day, the simplest model of the day numbers.
struct SteppingCalendar {
    int32_t year = 1801, month = 1, day = 1;
    void next() {
        static const int32_t lengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        int32_t length = month == 2 && leap ? 29 : lengths[month];
        if (++day > length) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
};

TEST(DatesTest, EveryDayRoundTripsThroughTheCalendar) {
    SteppingCalendar model;
    int32_t expected = FirstStandardDate;
    for (; model.year <= 9999; model.next(), ++expected) {
        int32_t date = calendarToDate(model.year, model.month, model.day);
        CalendarDate back;
        ASSERT_EQ(date, expected) << model.year << "-" << model.month << "-" << model.day;
        ASSERT_EQ(dateToCalendar(date, back), 0);
        ASSERT_EQ(back.year, model.year);
        ASSERT_EQ(back.month, model.month);
        ASSERT_EQ(back.day, model.day);
    }
    EXPECT_EQ(expected - 1, LastStandardDate);
}

TEST(DatesTest, RangeEndsAndLeapDays) {
    EXPECT_EQ(calendarToDate(1801, 1, 1), 4);
    EXPECT_EQ(calendarToDate(9999, 12, 31), 2994626);
    EXPECT_EQ(calendarToDate(1900, 2, 29), InvalidDate);
    EXPECT_NE(calendarToDate(2000, 2, 29), InvalidDate);
    EXPECT_EQ(calendarToDate(1800, 12, 31), InvalidDate);
    EXPECT_EQ(calendarToDate(10000, 1, 1), InvalidDate);
    EXPECT_EQ(calendarToDate(2001, 13, 1), InvalidDate);
    EXPECT_EQ(calendarToDate(2001, 0, 1), InvalidDate);
    EXPECT_EQ(calendarToDate(2001, 4, 31), InvalidDate);
    EXPECT_EQ(calendarToDate(2001, 4, 0), InvalidDate);
    CalendarDate c{1234, 5, 6};
    EXPECT_EQ(dateToCalendar(3, c), -1);
    EXPECT_EQ(c.year, 0);
    EXPECT_EQ(c.month, 0);
    EXPECT_EQ(c.day, 0);
    for (int32_t outside : {3, 0, -1, LastStandardDate + 1}) {
        EXPECT_EQ(DAY(outside), 0);
        EXPECT_EQ(MONTH(outside), 0);
        EXPECT_EQ(YEAR(outside), 0);
    }
    EXPECT_EQ(YEAR(4), 1801);
    EXPECT_EQ(DAY(LastStandardDate), 31);
}

TEST(DatesTest, DateRollsMonthsAndDays) {
    EXPECT_EQ(DATE(13, 1, 2000), DATE(1, 1, 2001));
    EXPECT_EQ(DATE(2, 30, 2001), DATE(3, 2, 2001));
    EXPECT_EQ(DATE(3, 0, 2001), calendarToDate(2001, 2, 28));
    EXPECT_EQ(DATE(0, 1, 2001), InvalidDate);
    EXPECT_EQ(DATE(-1, 1, 2001), InvalidDate);
    EXPECT_EQ(DATE(12, 32, 9999), InvalidDate);
    EXPECT_EQ(DATE(1, 0, 1801), InvalidDate);
    EXPECT_EQ(DATE(1, 1, -5), InvalidDate);
    // Huge months are rolled arithmetically and stay bounded.
    EXPECT_EQ(DATE(2147483647, 1, 2000), InvalidDate);
    EXPECT_EQ(DATE(12 * 7999 + 1, 1, 2000), calendarToDate(9999, 1, 1));
    EXPECT_EQ(DATE(1, 2147483647, 2000), InvalidDate);
    EXPECT_EQ(DATE(1, -2147483647 - 1, 2000), InvalidDate);
    // Rolling by days agrees with plain day arithmetic everywhere in range.
    for (int32_t day = -400; day <= 800; day += 7)
        EXPECT_EQ(DATE(5, day, 2004), calendarToDate(2004, 5, 1) + day - 1) << day;
}

TEST(DatesTest, CenturyWindowKeepsTwoDigitYearsNearTheCurrentYear) {
    PinnedYear pin(2026);
    EXPECT_EQ(expandYear(45, 80), 2045);  // 19 years ahead stays
    EXPECT_EQ(expandYear(46, 80), 1946);  // 20 years ahead goes back
    EXPECT_EQ(expandYear(26, 80), 2026);
    EXPECT_EQ(expandYear(0, 80), 2000);
    EXPECT_EQ(expandYear(150, 80), 150);
    EXPECT_EQ(YEAR(DATE(1, 1, 45)), 2045);
    EXPECT_EQ(YEAR(calendarToDate(46, 1, 1)), 1946);
    // Property: every window and two-digit year lands in its 100-year span.
    for (int32_t current : {1999, 2000, 2026, 2081, 2099, 2150}) {
        setCenturyWindowYear(current);
        for (int32_t window = 1; window <= 99; ++window) {
            for (int32_t yy = 0; yy < 100; ++yy) {
                int32_t y = expandYear(yy, window);
                ASSERT_EQ(y % 100, yy);
                ASSERT_GE(y, current - window) << current << " " << window << " " << yy;
                ASSERT_LE(y, current - window + 99) << current << " " << window << " " << yy;
            }
        }
    }
}

TEST(DatesTest, CenturyWindowReadsTheClockOnce) {
    setCenturyWindowYear(0);
    EXPECT_EQ(centuryWindowYear(), platform::localTime().year);
}

TEST(DatesTest, TimesRoundTripAndRejectImpossibleFields) {
    TimeRecord r;
    EXPECT_EQ(timeToRecord(1, r), 0);
    EXPECT_EQ(r.hours + r.minutes + r.seconds + r.hundredths, 0);
    EXPECT_EQ(timeToRecord(LastStandardTime, r), 0);
    EXPECT_EQ(r.hours, 23);
    EXPECT_EQ(r.minutes, 59);
    EXPECT_EQ(r.seconds, 59);
    EXPECT_EQ(r.hundredths, 99);
    EXPECT_EQ(timeToRecord(LastStandardTime + 1, r), InvalidTime);
    EXPECT_EQ(r.hours, 0);
    EXPECT_EQ(timeToRecord(0, r), InvalidTime);
    EXPECT_EQ(recordToTime(TimeRecord{}), 0);
    EXPECT_EQ(recordToTime(TimeRecord{24, 0, 0, 0}), InvalidTime);
    EXPECT_EQ(recordToTime(TimeRecord{0, 60, 0, 0}), InvalidTime);
    EXPECT_EQ(recordToTime(TimeRecord{0, 0, 60, 0}), InvalidTime);
    EXPECT_EQ(recordToTime(TimeRecord{0, 0, 0, 100}), InvalidTime);
    EXPECT_EQ(recordToTime(TimeRecord{14, 30, 0, 0}), 14 * 360000 + 30 * 6000 + 1);
    // Every time except midnight (whose fields are all zero) round-trips.
    for (int32_t t = 2; t <= LastStandardTime; t += 997) {
        ASSERT_EQ(timeToRecord(t, r), 0);
        ASSERT_EQ(recordToTime(r), t);
    }
}

TEST(DatesTest, PackedFormsRoundTrip) {
    uint8_t p[4];
    for (int32_t d = FirstStandardDate; d <= LastStandardDate; d += 4999) {
        dateToPacked(d, p);
        ASSERT_EQ(packedToDate(p), d);
    }
    dateToPacked(calendarToDate(2009, 1, 5), p);
    EXPECT_EQ(p[0], 5);
    EXPECT_EQ(p[1], 1);
    EXPECT_EQ(p[2] | (p[3] << 8), 2009);
    dateToPacked(0, p);
    EXPECT_EQ(p[0] | p[1] | p[2] | p[3], 0);
    EXPECT_EQ(packedToDate(p), 0);
    const uint8_t farFuture[4] = {1, 1, 0x10, 0x27};  // year 10000
    EXPECT_EQ(packedToDate(farFuture), LastStandardDate);
    const uint8_t feb30[4] = {30, 2, 0xD0, 0x07};
    EXPECT_EQ(packedToDate(feb30), 0);

    timeToPacked(14 * 360000 + 7 * 6000 + 9 * 100 + 42 + 1, p);
    EXPECT_EQ(p[0], 42);
    EXPECT_EQ(p[1], 9);
    EXPECT_EQ(p[2], 7);
    EXPECT_EQ(p[3], 14);
    for (int32_t t = 2; t <= LastStandardTime; t += 12347) {
        timeToPacked(t, p);
        ASSERT_EQ(packedToTime(p), t);
    }
    const uint8_t badTime[4] = {0, 0, 61, 1};
    EXPECT_EQ(packedToTime(badTime), 0);
}

TEST(DatesTest, AgeInDaysMonthsAndYears) {
    const int32_t base = calendarToDate(2010, 6, 15);
    EXPECT_EQ(Age(base - 60, base), "60 DAYS");
    EXPECT_EQ(Age(base, base), "0 DAYS");
    EXPECT_EQ(Age(base - 61, base), "2 MOS");
    EXPECT_EQ(Age(calendarToDate(2008, 6, 15), base), "24 MOS");
    EXPECT_EQ(Age(calendarToDate(2008, 6, 16), base), "23 MOS");
    EXPECT_EQ(Age(calendarToDate(2008, 5, 15), base), "2 YRS");  // 2 years, 1 month
    EXPECT_EQ(Age(calendarToDate(1970, 6, 16), base), "39 YRS");
    EXPECT_EQ(Age(calendarToDate(1970, 6, 15), base), "40 YRS");
    // A birth date after the base is read a century earlier.
    EXPECT_EQ(Age(calendarToDate(2060, 6, 15), base), "50 YRS");
    EXPECT_EQ(Age(0, base), std::string(255, '*'));
    EXPECT_EQ(Age(calendarToDate(1850, 1, 1), calendarToDate(1849, 1, 1)), std::string(255, '*'));
}

TEST(DatesTest, TodayAndClockFollowTheLocalClock) {
    platform::LocalTime before = platform::localTime();
    int32_t today = Today();
    int32_t clock = Clock();
    platform::LocalTime after = platform::localTime();
    if (before.day == after.day) {
        EXPECT_EQ(YEAR(today), before.year);
        EXPECT_EQ(MONTH(today), before.month);
        EXPECT_EQ(DAY(today), before.day);
        EXPECT_GE(clock, ((before.hour * 60 + before.minute) * 60 + before.second) * 100 + 1);
        EXPECT_LE(clock, ((after.hour * 60 + after.minute) * 60 + after.second) * 100 + 100);
    }
}

}  // namespace
}  // namespace varnok
