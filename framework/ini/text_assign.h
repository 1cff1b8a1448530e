// Assigning a text to a variable of another type, the way the INI manager
// stores what it reads into program variables and queue fields.
//
// Numbers: a text with the syntax of a number (blanks, an optional sign,
// digits with at most one ".", an optional exponent, blanks) stands for
// that number; any other text, the empty one included, stands for 0.
// Integers take the value truncated toward zero and held to their range
// ("99999999999" into a LONG is 2147483647); DECIMAL rounds half-up to its
// places and keeps the lowest digits that fit. Texts: a STRING is padded
// with spaces, a CSTRING ends at a zero byte, a PSTRING has its length in
// its first byte; a text longer than the field is cut. A GROUP and any other
// type take the text's bytes like a STRING.
#pragma once
#include <cstdint>
#include <string_view>

#include "runtime/records/record_layout.h"

namespace varnok::framework {

double textAsReal(std::string_view text);
int32_t textAsLong(std::string_view text);

// Stores the text into the first element of field `field` (1-based) of the
// record. False, changing nothing, when the layout has no such field.
bool assignFieldText(const RecordLayout& layout, uint8_t* record, int field, std::string_view text);

}  // namespace varnok::framework
