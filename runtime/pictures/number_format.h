// Numbers through number (@n), pattern (@p) and scientific (@e) pictures:
// formatting into a buffer of the picture's width, and reading back.
#pragma once
#include <string>
#include <string_view>

#include "runtime/pictures/decimal_number.h"
#include "runtime/pictures/picture.h"

namespace varnok {

// Writes exactly p.width characters. The value is rounded in place.
//
// Numbers and patterns: half-up rounding to the picture's decimals; a value
// with more integer digits than digits plus grouping positions shows `#` in
// every digit and grouping position; excess digits take over grouping
// positions from the left; the leading sign and currency float right to the
// first digit unless the picture fills with `0` or `*`.
void formatNumber(const CompiledPicture& p, DecimalNumber& value, char* out);
// Scientific: mantissa with the picture's digits before the point (the
// first not zero), fraction rounded half-up, "E", sign, three exponent
// digits. Zero shows a single 0 before the point and the exponent +000; an
// exponent beyond three digits shows `#` in the digit positions.
void formatScientific(const CompiledPicture& p, DecimalNumber& value, char* out);

// Reads a number back position by position: digits in digit and grouping
// positions (a blank in a digit position counts as 0), `-` or `(` in a digit,
// grouping or sign position makes it negative and `+` positive, the decimal
// point position gives '.'. The result is a plain number text: leading zeros
// dropped (one kept before the point), the picture's decimals kept, `-` in
// front when negative and not zero.
std::string deformatNumber(std::string_view text, const CompiledPicture& p);
// The same for a scientific layout; the result is the plain number text of
// mantissa times ten to the exponent.
std::string deformatScientific(std::string_view text, const CompiledPicture& p);

}  // namespace varnok
