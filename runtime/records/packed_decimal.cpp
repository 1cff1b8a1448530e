#include "runtime/records/packed_decimal.h"

#include <cstring>

namespace varnok {

bool decimalIsZero(const uint8_t* p, uint32_t size) {
    const uint32_t digits = decimalDigitCount(size);
    for (uint32_t i = 0; i < digits; ++i)
        if (decimalDigit(p, i) != 0) return false;
    return true;
}

bool decimalIsNegative(const uint8_t* p, uint32_t size) {
    return size > 0 && (p[0] >> 4) != 0 && !decimalIsZero(p, size);
}

int compareDecimals(const uint8_t* a, const uint8_t* b, uint32_t size) {
    const bool negA = decimalIsNegative(a, size);
    const bool negB = decimalIsNegative(b, size);
    if (negA != negB) return negA ? -1 : 1;
    const uint32_t digits = decimalDigitCount(size);
    for (uint32_t i = 0; i < digits; ++i) {
        const int da = decimalDigit(a, i);
        const int db = decimalDigit(b, i);
        if (da != db) return negA ? (db < da ? -1 : 1) : (da < db ? -1 : 1);
    }
    return 0;
}

std::string decimalToText(const uint8_t* p, uint32_t size, uint32_t places) {
    const uint32_t digits = decimalDigitCount(size);
    if (places > digits) places = digits;
    const uint32_t integerDigits = digits - places;
    std::string text;
    if (decimalIsNegative(p, size)) text.push_back('-');
    bool started = false;
    for (uint32_t i = 0; i < integerDigits; ++i) {
        const uint8_t d = decimalDigit(p, i);
        if (d == 0 && !started) continue;
        started = true;
        text.push_back(static_cast<char>(d <= 9 ? '0' + d : '?'));
    }
    if (!started) text.push_back('0');
    if (places > 0) {
        text.push_back('.');
        for (uint32_t i = integerDigits; i < digits; ++i) {
            const uint8_t d = decimalDigit(p, i);
            text.push_back(static_cast<char>(d <= 9 ? '0' + d : '?'));
        }
    }
    return text;
}

void decimalSetExtreme(uint8_t* p, uint32_t size, bool negative) {
    if (size == 0) return;
    std::memset(p, 0x99, size);
    p[0] = static_cast<uint8_t>((negative ? 0xF0 : 0x00) | 0x09);
}

}  // namespace varnok
