// Standard dates and times through date (@d) and time (@t) pictures.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/pictures/picture.h"

namespace varnok {

// The text of a standard date, p.width characters: month and day two
// positions each (a capital first letter shows a leading zero as blank or
// the fill character; zero fill shows every zero); year digits as the run
// is long; month names in capitals, or as stored for full-length names,
// taking only as many positions as they have characters (the rest moves
// left and the text is padded at the end). A day number outside the valid
// range shows blank fields with the separators in place, or blanks only
// with blank-when-zero. A month name longer than its positions is not cut,
// so only then is the text longer than the picture.
std::string formatDate(const CompiledPicture& p, int32_t date);
// The text of a standard time, p.width characters: two digits per field,
// hours on a 12-hour clock when the layout has AM/PM positions; the hours'
// leading zero shows as a blank unless the layout or a fill character says
// otherwise. A time of 0 shows zero fields, or blanks with blank-when-zero;
// a value outside 0..8640000 shows blank fields with the separators in
// place, or blanks only with blank-when-zero.
std::string formatTime(const CompiledPicture& p, int32_t time);

// Reads a date back position by position: digits per field, a month name
// matched on its first three letters (either case) against the
// abbreviations; day 1 when the picture has no day; a year below 100
// expanded with the picture's century window. No digit at all gives 0, an
// impossible date -1.
int32_t deformatDate(std::string_view text, const CompiledPicture& p);
// Reads a time back: digits per field; at the AM/PM position the first
// letter of the PM text adds 12 to hours other than 12 and that of the AM
// text turns 12 into 0 (letters compared without regard to case). No digit
// gives 0; hours above 23 or minutes or seconds above 59 give -1.
int32_t deformatTime(std::string_view text, const CompiledPicture& p);

}  // namespace varnok
