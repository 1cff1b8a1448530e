// Windows-1252 <-> UTF-8. TXA files keep their text in Windows-1252; the
// command line shows it, and reads names back, as UTF-8.
//
// Every byte maps to one code point: 0x00-0x7F and 0xA0-0xFF to the same
// number, 0x80-0x9F to the Windows-1252 characters, and the five unassigned
// bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) to the control characters of the
// same number, so the conversion round-trips every byte string.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok::platform {

// The code point of one Windows-1252 byte.
uint32_t codePointOf(unsigned char byte);

// Appends the UTF-8 form of the Windows-1252 text to out.
void appendCp1252AsUtf8(std::string_view cp1252, std::string& out);
std::string cp1252ToUtf8(std::string_view cp1252);

// Converts UTF-8 to Windows-1252. Returns false (out unspecified) when the
// text is not valid UTF-8 or holds a character Windows-1252 cannot show.
bool utf8ToCp1252(std::string_view utf8, std::string& out);

}  // namespace varnok::platform
