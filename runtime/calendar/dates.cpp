#include "runtime/calendar/dates.h"

#include "platform/local_time.h"
#include "runtime/calendar/century_window.h"

namespace varnok {

static_assert(sizeof(int) >= 4, "day arithmetic needs 32-bit int");

namespace {

// Days from 1 March of year 0 (proleptic Gregorian) to the given date. The
// year is taken to start on 1 March so the leap day comes last; a 400-year era
// of 146097 days is split off first. Valid for years >= 0.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = y / 400;                                     // y >= 0 here
    const unsigned yoe = unsigned(y - era * 400);                    // [0, 399]
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;  // [0, 365]
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;      // [0, 146096]
    return era * 146097 + int64_t(doe);
}

// Day count of 1 January 1801, so that it becomes standard date 4.
const int64_t kBase = daysFromCivil(1801, 1, 1) - FirstStandardDate;

// Inverse of daysFromCivil for day counts >= 0.
CalendarDate civilFromDays(int64_t z) {
    const int64_t era = z / 146097;
    const unsigned doe = unsigned(z - era * 146097);                       // [0, 146096]
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);          // [0, 365]
    const unsigned mp = (5 * doy + 2) / 153;                               // [0, 11]
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;                       // [1, 31]
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;                          // [1, 12]
    CalendarDate c;
    c.year = int32_t(int64_t(yoe) + era * 400 + (m <= 2));
    c.month = uint8_t(m);
    c.day = uint8_t(d);
    return c;
}

constexpr uint8_t kMonthLength[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool validDate(int64_t date) { return date >= FirstStandardDate && date <= LastStandardDate; }

// Calendar fields to a day number without range limits on the year (the year
// must be 1 or more); -1 for an impossible month or day.
int64_t dayNumber(int64_t year, int32_t month, int32_t day) {
    if (year < 1 || year > 1000000 || month < 1 || month > 12) return -1;
    if (day < 1 || day > daysInMonth(int32_t(year), month)) return -1;
    return daysFromCivil(year, unsigned(month), unsigned(day)) - kBase;
}

}  // namespace

bool isLeapYear(int32_t year) { return year % 4 == 0 && (year % 400 == 0 || year % 100 != 0); }

int32_t daysInMonth(int32_t year, int32_t month) {
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kMonthLength[month];
}

int32_t calendarToDate(int32_t year, int32_t month, int32_t day) {
    const int32_t expanded = expandYear(year, DefaultCenturyWindow);
    // An expanded two-digit year is not held to 1801..9999.
    if (expanded == year && (year < 1801 || year > 9999)) return InvalidDate;
    const int64_t n = dayNumber(expanded, month, day);
    return n < 0 ? InvalidDate : int32_t(n);
}

int32_t calendarToDate(const CalendarDate& c) { return calendarToDate(c.year, c.month, c.day); }

int32_t dateToCalendar(int32_t date, CalendarDate& calendar) {
    calendar = CalendarDate{};
    if (!validDate(date)) return -1;
    calendar = civilFromDays(int64_t(date) + kBase);
    return 0;
}

int32_t DATE(int32_t month, int32_t day, int32_t year) {
    if (year < 0) return InvalidDate;
    int64_t y = expandYear(year, DefaultCenturyWindow);
    int64_t m = month;
    if (m > 12) {  // whole years in one step, not one loop turn per year
        y += (m - 1) / 12;
        m = (m - 1) % 12 + 1;
    }
    if (m < 1 || y < 1801 || y > 9999) return InvalidDate;
    const int64_t first = dayNumber(y, int32_t(m), 1);
    if (first < 0) return InvalidDate;
    const int64_t result = first + int64_t(day) - 1;
    return validDate(result) ? int32_t(result) : InvalidDate;
}

int32_t DAY(int32_t date) {
    CalendarDate c;
    return dateToCalendar(date, c) == 0 ? c.day : 0;
}

int32_t MONTH(int32_t date) {
    CalendarDate c;
    return dateToCalendar(date, c) == 0 ? c.month : 0;
}

int32_t YEAR(int32_t date) {
    CalendarDate c;
    return dateToCalendar(date, c) == 0 ? c.year : 0;
}

int32_t Today() {
    platform::LocalTime t = platform::localTime();
    return calendarToDate(t.year, t.month, t.day);
}

int32_t Clock() {
    platform::LocalTime t = platform::localTime();
    TimeRecord r;
    r.hours = uint8_t(t.hour);
    r.minutes = uint8_t(t.minute);
    r.seconds = uint8_t(t.second);
    r.hundredths = uint8_t(t.hundredths);
    // Midnight exactly would be all zeros, which means "no time"; it is time 1.
    int32_t time = recordToTime(r);
    return time == 0 ? 1 : time;
}

int32_t timeToRecord(int32_t time, TimeRecord& record) {
    record = TimeRecord{};
    if (time < 1 || time > LastStandardTime) return InvalidTime;
    int32_t rest = time - 1;
    record.hours = uint8_t(rest / 360000);
    rest %= 360000;
    record.minutes = uint8_t(rest / 6000);
    rest %= 6000;
    record.seconds = uint8_t(rest / 100);
    record.hundredths = uint8_t(rest % 100);
    return 0;
}

int32_t recordToTime(const TimeRecord& r) {
    if (r.hours == 0 && r.minutes == 0 && r.seconds == 0 && r.hundredths == 0) return 0;
    if (r.hours > 23 || r.minutes > 59 || r.seconds > 59 || r.hundredths > 99) return InvalidTime;
    return ((r.hours * 60 + r.minutes) * 60 + r.seconds) * 100 + r.hundredths + 1;
}

int32_t packedToDate(const uint8_t p[4]) {
    const int32_t year = p[2] | (p[3] << 8);
    if (year > 9999) return LastStandardDate;
    const int32_t date = calendarToDate(year, p[1], p[0]);
    return date < 0 ? 0 : date;
}

void dateToPacked(int32_t date, uint8_t p[4]) {
    CalendarDate c;
    dateToCalendar(date, c);  // zero fields for an invalid date
    p[0] = c.day;
    p[1] = c.month;
    p[2] = uint8_t(c.year & 0xFF);
    p[3] = uint8_t((c.year >> 8) & 0xFF);
}

int32_t packedToTime(const uint8_t p[4]) {
    TimeRecord r;
    r.hundredths = p[0];
    r.seconds = p[1];
    r.minutes = p[2];
    r.hours = p[3];
    const int32_t time = recordToTime(r);
    return time < 0 ? 0 : time;
}

void timeToPacked(int32_t time, uint8_t p[4]) {
    TimeRecord r;
    timeToRecord(time, r);
    p[0] = r.hundredths;
    p[1] = r.seconds;
    p[2] = r.minutes;
    p[3] = r.hours;
}

std::string Age(int32_t birth, int32_t base) {
    const std::string overflow(255, '*');
    if (base == -1) base = Today();
    CalendarDate b, now;
    if (dateToCalendar(base, now) != 0 || dateToCalendar(birth, b) != 0) return overflow;
    if (birth > base) {
        // A two-digit birth year may have landed a century late.
        birth = DATE(b.month, b.day, b.year - 100);
        if (dateToCalendar(birth, b) != 0 || birth > base) return overflow;
    }
    const int32_t days = base - birth;
    if (days < 61) return std::to_string(days) + " DAYS";
    const int32_t years = now.year - b.year;
    if (years <= 2) {
        int32_t months = 12 * years + (now.month - b.month);
        if (now.day < b.day) --months;
        if (months <= 24) return std::to_string(months) + " MOS";
    }
    const bool beforeBirthday = now.month < b.month || (now.month == b.month && now.day < b.day);
    return std::to_string(years - (beforeBirthday ? 1 : 0)) + " YRS";
}

}  // namespace varnok
