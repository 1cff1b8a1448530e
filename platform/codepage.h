// OEM and ANSI character sets: the OEM set is code page 437 (the console set)
// and the ANSI set is Windows-1252. Conversion goes through the Unicode
// character each code stands for: a character present in both sets maps to
// itself; one missing from the target set maps to a look-alike (box drawing
// to '+', '-', '|', '=', Greek letters to Latin ones, accented letters to
// their base letter) or to '?' when there is none. Codes 0 to 127 are the
// same in both sets and never change.
//
// Invariant the tests check: for every code c whose character exists in both
// sets, ansiToOem(oemToAnsi(c)) == c and oemToAnsi(ansiToOem(c')) == c'.
//
// The case functions describe the Windows-1252 letters: A-Z, a-z, the
// accented Latin-1 letters, and the pairs S/s, Z/z with caron, OE/oe and
// Y/y with diaeresis. Letters without a partner (sharp s, f with hook,
// micro sign, the ordinal indicators) are lower-case letters that map to
// themselves.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok::platform {

uint8_t oemToAnsi(uint8_t c);
uint8_t ansiToOem(uint8_t c);
std::string oemToAnsi(std::string_view text);
std::string ansiToOem(std::string_view text);
// The whole 256-entry tables.
const uint8_t* oemToAnsiTable();
const uint8_t* ansiToOemTable();

// The Unicode code point a code stands for in each set (the control codes
// and the five unassigned Windows-1252 codes stand for themselves).
uint16_t oemToUnicode(uint8_t c);
uint16_t ansiToUnicode(uint8_t c);

bool isAnsiUpper(uint8_t c);
bool isAnsiLower(uint8_t c);
bool isAnsiAlpha(uint8_t c);
// The other-case partner, or c itself when it has none.
uint8_t ansiToUpper(uint8_t c);
uint8_t ansiToLower(uint8_t c);

}  // namespace varnok::platform
