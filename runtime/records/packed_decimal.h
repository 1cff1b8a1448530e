// Packed decimal fields (DECIMAL, PDECIMAL): `size` bytes holding a sign
// nibble and 2 * size - 1 decimal digits, most significant first. The sign is
// the high nibble of the first byte: 0 for a positive value, any other nibble
// for a negative one (written as 0xF). The last `places` digits follow the
// decimal point. Zero has no sign: a negative zero equals zero.
#pragma once
#include <cstdint>
#include <string>

namespace varnok {

inline uint32_t decimalDigitCount(uint32_t size) { return size == 0 ? 0 : 2 * size - 1; }

// Digit i (0 = most significant) of a packed decimal.
inline uint8_t decimalDigit(const uint8_t* p, uint32_t i) {
    const uint32_t nibble = i + 1;
    return (nibble & 1) ? (p[nibble / 2] & 0x0F) : (p[nibble / 2] >> 4);
}

bool decimalIsZero(const uint8_t* p, uint32_t size);
bool decimalIsNegative(const uint8_t* p, uint32_t size);  // false for zero

// Compares two decimals of the same size by value: <0, 0 or >0.
int compareDecimals(const uint8_t* a, const uint8_t* b, uint32_t size);

// The value in plain decimal: "-" for a negative value, no leading zeros
// (one "0" before the point at least), exactly `places` digits after ".".
std::string decimalToText(const uint8_t* p, uint32_t size, uint32_t places);

// Writes the largest (negative false) or smallest (true) value: every digit 9.
void decimalSetExtreme(uint8_t* p, uint32_t size, bool negative);

}  // namespace varnok
