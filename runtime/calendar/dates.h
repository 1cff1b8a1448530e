// Standard dates and times, and their calendar, storage and clock forms.
//
// Standard date: a day number of the Gregorian calendar; day 4 is 1 January
// 1801 and day 2994626 is 31 December 9999. 0 means "no date"; the date
// operations answer -1 for an impossible date.
// Standard time: hundredths of a second since midnight plus 1; 1 is
// 00:00:00.00 and 8640000 is 23:59:59.99. 0 means "no time".
//
// Conversions between day numbers and calendar fields are constant time.
// A year below 100 given to a calendar operation is a two-digit year and is
// expanded through the century window (runtime/century_window.h, window 80).
#pragma once
#include <cstdint>
#include <string>

namespace varnok {

constexpr int32_t FirstStandardDate = 4;        // 1 January 1801
constexpr int32_t LastStandardDate = 2994626;   // 31 December 9999
constexpr int32_t LastStandardTime = 8640000;   // 23:59:59.99
constexpr int32_t InvalidDate = -1;
constexpr int32_t InvalidTime = -1;

// Calendar fields of a date.
struct CalendarDate {
    int32_t year = 0;
    uint8_t day = 0;    // 1..31
    uint8_t month = 0;  // 1..12
};

// Fields of a time of day.
struct TimeRecord {
    uint8_t hours = 0;       // 0..23
    uint8_t minutes = 0;     // 0..59
    uint8_t seconds = 0;     // 0..59
    uint8_t hundredths = 0;  // 0..99
};

bool isLeapYear(int32_t year);  // a four-digit year; no expansion
// Days in a month of a year (no expansion); 0 for a month outside 1..12.
int32_t daysInMonth(int32_t year, int32_t month);

// Calendar fields to a standard date; -1 when the date does not exist or
// lies outside 1801..9999.
int32_t calendarToDate(int32_t year, int32_t month, int32_t day);
int32_t calendarToDate(const CalendarDate& calendar);
// The calendar fields of a standard date. Returns 0, or -1 with all fields
// zero for a day number outside the valid range.
int32_t dateToCalendar(int32_t date, CalendarDate& calendar);

// DATE(month, day, year): months above 12 roll into the following years and
// days beyond the month (or a day of 0 or less) roll into the neighbouring
// months; -1 when the first of the month is impossible (a month of 0) or the
// result is outside the valid range.
int32_t DATE(int32_t month, int32_t day, int32_t year);
// Calendar fields of a standard date; 0 outside the valid range.
int32_t DAY(int32_t date);
int32_t MONTH(int32_t date);
int32_t YEAR(int32_t date);

// The local calendar day and time of day.
int32_t Today();
int32_t Clock();

// A standard time to its fields: 0, or -1 with all fields zero outside
// 1..8640000.
int32_t timeToRecord(int32_t time, TimeRecord& record);
// Fields to a standard time: 0 when all fields are 0, -1 when a field is out
// of range.
int32_t recordToTime(const TimeRecord& record);

// Packed storage forms of record fields, four bytes each.
// Date: day, month, year (16-bit little-endian).
// Time: hundredths, seconds, minutes, hours.
//
// A packed year above 9999 reads as 31 December 9999; any other impossible
// packed date reads as 0. An invalid day number packs as four zero bytes.
int32_t packedToDate(const uint8_t packed[4]);
void dateToPacked(int32_t date, uint8_t packed[4]);
// An impossible packed time reads as 0 (no time); an invalid standard time
// packs as four zero bytes.
int32_t packedToTime(const uint8_t packed[4]);
void timeToPacked(int32_t time, uint8_t packed[4]);

// Age of a birth date on a base date (-1: today) as "<n> DAYS" below 61
// days, "<n> MOS" up to 24 months, else "<n> YRS". A birth date after the
// base is taken 100 years earlier; when still after it, or impossible, the
// result is 255 asterisks.
std::string Age(int32_t birth, int32_t base = -1);

}  // namespace varnok
