#include "platform/codepage.h"

namespace varnok::platform {

namespace {

// Code page 437, codes 128 to 255.
constexpr uint16_t kOemHigh[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Windows-1252, codes 128 to 159; 160 to 255 are Latin-1 and stand for
// themselves. Unassigned codes stand for the control character of that code.
constexpr uint16_t kAnsiC1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

// Look-alikes for characters the target set lacks.
struct LookAlike {
    uint16_t code;
    char replacement;
};
constexpr LookAlike kLookAlikes[] = {
    // Box drawing, blocks and shades.
    {0x2500, '-'}, {0x2502, '|'}, {0x250C, '+'}, {0x2510, '+'}, {0x2514, '+'}, {0x2518, '+'},
    {0x251C, '+'}, {0x2524, '+'}, {0x252C, '+'}, {0x2534, '+'}, {0x253C, '+'}, {0x2550, '='},
    {0x2551, '|'}, {0x2552, '+'}, {0x2553, '+'}, {0x2554, '+'}, {0x2555, '+'}, {0x2556, '+'},
    {0x2557, '+'}, {0x2558, '+'}, {0x2559, '+'}, {0x255A, '+'}, {0x255B, '+'}, {0x255C, '+'},
    {0x255D, '+'}, {0x255E, '+'}, {0x255F, '+'}, {0x2560, '+'}, {0x2561, '+'}, {0x2562, '+'},
    {0x2563, '+'}, {0x2564, '+'}, {0x2565, '+'}, {0x2566, '+'}, {0x2567, '+'}, {0x2568, '+'},
    {0x2569, '+'}, {0x256A, '+'}, {0x256B, '+'}, {0x256C, '+'}, {0x2580, '-'}, {0x2584, '_'},
    {0x2588, '#'}, {0x258C, '|'}, {0x2590, '|'}, {0x2591, '#'}, {0x2592, '#'}, {0x2593, '#'},
    {0x25A0, '#'},
    // Greek letters and mathematical signs.
    {0x0393, 'G'}, {0x0398, 'T'}, {0x03A3, 'S'}, {0x03A6, 'F'}, {0x03A9, 'O'}, {0x03B1, 'a'},
    {0x03B4, 'd'}, {0x03B5, 'e'}, {0x03C0, 'p'}, {0x03C3, 's'}, {0x03C4, 't'}, {0x03C6, 'f'},
    {0x221E, '8'}, {0x2229, 'n'}, {0x2261, '='}, {0x2265, '>'}, {0x2264, '<'}, {0x2320, '('},
    {0x2321, ')'}, {0x2248, '~'}, {0x2219, '.'}, {0x221A, 'v'}, {0x207F, 'n'}, {0x20A7, 'P'},
    {0x2310, '-'},
    // Windows-1252 punctuation missing from code page 437.
    {0x20AC, 'E'}, {0x201A, ','}, {0x201E, '"'}, {0x2026, '.'}, {0x2020, '+'}, {0x2021, '+'},
    {0x02C6, '^'}, {0x2030, '%'}, {0x2039, '<'}, {0x203A, '>'}, {0x2018, '\''}, {0x2019, '\''},
    {0x201C, '"'}, {0x201D, '"'}, {0x2022, '.'}, {0x2013, '-'}, {0x2014, '-'}, {0x02DC, '~'},
    {0x2122, 'T'},
    // Latin-1 signs missing from code page 437.
    {0x00A4, '?'}, {0x00A6, '|'}, {0x00A7, '?'}, {0x00A8, '"'}, {0x00A9, 'c'}, {0x00AD, '-'},
    {0x00AE, 'r'}, {0x00AF, '-'}, {0x00B3, '3'}, {0x00B4, '\''}, {0x00B6, '?'}, {0x00B8, ','},
    {0x00B9, '1'}, {0x00BE, '?'}, {0x00D7, 'x'},
    // Letters: their base letter.
    {0x0160, 'S'}, {0x0161, 's'}, {0x0152, 'O'}, {0x0153, 'o'}, {0x017D, 'Z'}, {0x017E, 'z'},
    {0x0178, 'Y'}, {0x00C0, 'A'}, {0x00C1, 'A'}, {0x00C2, 'A'}, {0x00C3, 'A'}, {0x00C8, 'E'},
    {0x00CA, 'E'}, {0x00CB, 'E'}, {0x00CC, 'I'}, {0x00CD, 'I'}, {0x00CE, 'I'}, {0x00CF, 'I'},
    {0x00D0, 'D'}, {0x00D2, 'O'}, {0x00D3, 'O'}, {0x00D4, 'O'}, {0x00D5, 'O'}, {0x00D8, 'O'},
    {0x00D9, 'U'}, {0x00DA, 'U'}, {0x00DB, 'U'}, {0x00DD, 'Y'}, {0x00DE, 'T'}, {0x00E3, 'a'},
    {0x00F0, 'd'}, {0x00F5, 'o'}, {0x00F8, 'o'}, {0x00FD, 'y'}, {0x00FE, 't'},
};

uint16_t oemUnicode(unsigned c) { return c < 128 ? uint16_t(c) : kOemHigh[c - 128]; }
uint16_t ansiUnicode(unsigned c) {
    if (c < 128 || c >= 160) return uint16_t(c);
    return kAnsiC1[c - 128];
}

char lookAlike(uint16_t code) {
    for (const LookAlike& l : kLookAlikes)
        if (l.code == code) return l.replacement;
    return '?';
}

struct Tables {
    uint8_t oemToAnsi[256];
    uint8_t ansiToOem[256];
    Tables() {
        for (unsigned c = 0; c < 256; ++c) {
            oemToAnsi[c] = convert(oemUnicode(c), ansiUnicode);
            ansiToOem[c] = convert(ansiUnicode(c), oemUnicode);
        }
    }
    static uint8_t convert(uint16_t code, uint16_t (*target)(unsigned)) {
        for (unsigned t = 0; t < 256; ++t)
            if (target(t) == code) return uint8_t(t);
        return uint8_t(lookAlike(code));
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

std::string convertText(std::string_view text, const uint8_t* table) {
    std::string out(text);
    for (char& c : out) c = char(table[uint8_t(c)]);
    return out;
}

// The case partner in Windows-1252, 0 for none.
uint8_t ansiPartner(uint8_t c) {
    if (c >= 'A' && c <= 'Z') return uint8_t(c + 32);
    if (c >= 'a' && c <= 'z') return uint8_t(c - 32);
    switch (c) {
        case 0x8A: return 0x9A;
        case 0x9A: return 0x8A;
        case 0x8C: return 0x9C;
        case 0x9C: return 0x8C;
        case 0x8E: return 0x9E;
        case 0x9E: return 0x8E;
        case 0x9F: return 0xFF;
        case 0xFF: return 0x9F;
        default: break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return uint8_t(c + 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return uint8_t(c - 32);
    return 0;
}

}  // namespace

uint8_t oemToAnsi(uint8_t c) { return tables().oemToAnsi[c]; }
uint8_t ansiToOem(uint8_t c) { return tables().ansiToOem[c]; }
std::string oemToAnsi(std::string_view text) { return convertText(text, tables().oemToAnsi); }
std::string ansiToOem(std::string_view text) { return convertText(text, tables().ansiToOem); }
const uint8_t* oemToAnsiTable() { return tables().oemToAnsi; }
const uint8_t* ansiToOemTable() { return tables().ansiToOem; }
uint16_t oemToUnicode(uint8_t c) { return oemUnicode(c); }
uint16_t ansiToUnicode(uint8_t c) { return ansiUnicode(c); }

bool isAnsiUpper(uint8_t c) {
    if (c >= 'A' && c <= 'Z') return true;
    switch (c) {
        case 0x8A: case 0x8C: case 0x8E: case 0x9F: return true;
        default: return c >= 0xC0 && c <= 0xDE && c != 0xD7;
    }
}

bool isAnsiLower(uint8_t c) {
    if (c >= 'a' && c <= 'z') return true;
    switch (c) {
        case 0x83: case 0x9A: case 0x9C: case 0x9E: case 0xAA: case 0xB5: case 0xBA: case 0xDF: case 0xFF:
            return true;
        default: return c >= 0xE0 && c <= 0xFE && c != 0xF7;
    }
}

bool isAnsiAlpha(uint8_t c) { return isAnsiUpper(c) || isAnsiLower(c); }

uint8_t ansiToUpper(uint8_t c) { return isAnsiLower(c) && ansiPartner(c) ? ansiPartner(c) : c; }
uint8_t ansiToLower(uint8_t c) { return isAnsiUpper(c) && ansiPartner(c) ? ansiPartner(c) : c; }

}  // namespace varnok::platform
