#include "platform/cp1252.h"

#include <cstdint>

namespace varnok::platform {

namespace {

// Code points of the bytes 0x80-0x9F; the unassigned ones keep their number.
constexpr char16_t high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// The byte for a code point, or -1 when Windows-1252 has none.
int byteOf(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (high[i] == cp) return 0x80 + i;
    return -1;
}

}  // namespace

uint32_t codePointOf(unsigned char byte) {
    return (byte >= 0x80 && byte < 0xA0) ? high[byte - 0x80] : byte;
}

void appendCp1252AsUtf8(std::string_view cp1252, std::string& out) {
    for (char c : cp1252) {
        uint32_t cp = codePointOf(static_cast<unsigned char>(c));
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
}

std::string cp1252ToUtf8(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    appendCp1252AsUtf8(cp1252, out);
    return out;
}

bool utf8ToCp1252(std::string_view utf8, std::string& out) {
    out.clear();
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        uint32_t cp;
        size_t extra;
        uint32_t minimum;
        if (lead < 0x80) {
            cp = lead, extra = 0, minimum = 0;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F, extra = 1, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F, extra = 2, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            cp = lead & 0x07, extra = 3, minimum = 0x10000;
        } else {
            return false;
        }
        if (utf8.size() - i - 1 < extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;  // overlong or invalid
        int byte = byteOf(cp);
        if (byte < 0) return false;
        out.push_back(static_cast<char>(byte));
        i += extra + 1;
    }
    return true;
}

}  // namespace varnok::platform
