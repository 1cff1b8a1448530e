// The numbered date and time layouts: picture numbers 1 to 20 (dates) and 1
// to 8 (times), as element lists. Two entries of each table (dates 17 and 18,
// times 7 and 8) come from the regional settings and are built once per
// process.
#pragma once
#include "runtime/pictures/picture.h"

namespace varnok {

// Writes the layout of a date or time picture number into `out` (room for
// CompiledPicture::MaxWidth elements) and returns the element count, or 0
// when the number is not in the dialect's table.
int dateLayout(int number, PictureDialect dialect, PictureElement* out);
int timeLayout(int number, PictureDialect dialect, PictureElement* out);

// Turns a layout written in the table letters into elements:
// dates  M/m month digits, D/d day digits, y year digits, N month name;
// times  H/h hours, m minutes, s seconds, P AM/PM;
// anything else is a separator. A capital first letter of a two-letter
// field marks its leading zero as suppressed. Returns the element count.
int layoutFromLetters(const char* letters, bool isDate, PictureElement* out);

}  // namespace varnok
