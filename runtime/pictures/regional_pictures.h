// The four pictures the regional settings shape: the short and long time
// (times 7 and 8) and the short and long date (dates 17 and 18). They are
// built once per process, on the first use of any of them, from the locale's
// regional settings ("intl" section of the default profile, defaults for
// what is missing), and never rebuilt.
#pragma once
#include <string>

#include "runtime/locale/locale.h"
#include "runtime/pictures/picture.h"

namespace varnok {

struct RegionalPictures {
    PictureElement shortTime[CompiledPicture::MaxWidth];
    PictureElement longTime[CompiledPicture::MaxWidth];
    PictureElement shortDate[CompiledPicture::MaxWidth];
    PictureElement longDate[CompiledPicture::MaxWidth];
    int shortTimeCount = 0;
    int longTimeCount = 0;
    int shortDateCount = 0;
    int longDateCount = 0;
    std::string amText = "AM";  // for the times 7 and 8
    std::string pmText = "PM";
};

// Lays the four pictures out from a set of settings.
//
// Times: hours (leading zero shown when iTLzero is 1), sTime, minutes, with
// seconds for the long time; on the 12-hour clock (iTime 0) a blank and two
// AM/PM positions follow.
// Short date: day-month-year when the format begins with 'd', year-month-day
// when with 'y', else month-day-year; zeros shown for "dd" and "MM"; four
// year digits for "yyy"; the separator is the character after the last 'M'.
// Long date: the day of the week is skipped; the fields follow the format's
// order with the literal text between them as separators; "d"/"dd" day,
// "M"/"MM" month digits, "MMM" the abbreviation, "MMMM" the full name, one
// year digit per 'y' up to four. A format without any field falls back to
// the default long date.
RegionalPictures buildRegionalPictures(const RegionalSettings& settings);

// The process's regional pictures, built from regionalSettings() on the first
// call (thread-safe; later calls return the same object).
const RegionalPictures& regionalPictures();

// Tests only: replaces the process's regional pictures with ones built from
// the given settings. Not safe while other threads format.
void replaceRegionalPicturesForTesting(const RegionalSettings& settings);

}  // namespace varnok
