#include "runtime/locale/collating_sequence.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "platform/codepage.h"

namespace varnok {

void identityCollation(uint8_t table[256]) {
    for (int c = 0; c < 256; ++c) table[c] = uint8_t(c);
}

void collationFromSequence(std::string_view sequence, uint8_t table[256]) {
    bool seen[256] = {};
    uint8_t order[256];
    uint8_t ranks[256];
    size_t count = 0;
    for (char ch : sequence) {
        uint8_t c = uint8_t(ch);
        if (seen[c]) continue;
        seen[c] = true;
        order[count] = c;
        ranks[count] = table[c];
        ++count;
    }
    // The ranks the listed characters held, handed out again in list order.
    std::sort(ranks, ranks + count);
    for (size_t i = 0; i < count; ++i) table[order[i]] = ranks[i];
}

namespace {

// The Latin base letter of a Windows-1252 letter (0 for 'a' .. 25 for 'z'),
// 26 for the thorn and 27 for the micro sign, which have none.
int baseLetter(uint8_t c) {
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= 'A' && c <= 'Z') return c - 'A';
    uint8_t lower = platform::isAnsiUpper(c) ? platform::ansiToLower(c) : c;
    switch (lower) {
        case 0x83: return 'f' - 'a';
        case 0x9A: return 's' - 'a';
        case 0x9C: return 'o' - 'a';
        case 0x9E: return 'z' - 'a';
        case 0xAA: return 0;
        case 0xBA: return 'o' - 'a';
        case 0xB5: return 27;
        case 0xDF: return 's' - 'a';
        case 0xE7: return 'c' - 'a';
        case 0xF0: return 'd' - 'a';
        case 0xF1: return 'n' - 'a';
        case 0xFE: return 26;
        case 0xFF: case 0xFD: return 'y' - 'a';
        default: break;
    }
    if (lower >= 0xE0 && lower <= 0xE6) return 0;
    if (lower >= 0xE8 && lower <= 0xEB) return 'e' - 'a';
    if (lower >= 0xEC && lower <= 0xEF) return 'i' - 'a';
    if ((lower >= 0xF2 && lower <= 0xF6) || lower == 0xF8) return 'o' - 'a';
    if (lower >= 0xF9 && lower <= 0xFC) return 'u' - 'a';
    return 27;
}

int digitValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c == 0xB9) return 1;
    if (c == 0xB2) return 2;
    if (c == 0xB3) return 3;
    return -1;
}

bool isControl(uint8_t c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

}  // namespace

std::string windowsCollatingSequence() {
    using Key = std::tuple<int, int, int, int, int, int>;
    std::array<std::pair<Key, uint8_t>, 253> keyed{};
    for (int code = 2; code <= 254; ++code) {
        uint8_t c = uint8_t(code);
        Key key;
        if (isControl(c)) {
            key = Key{0, code, 0, 0, 0, 0};
        } else if (digitValue(c) >= 0) {
            key = Key{2, digitValue(c), c >= '0' && c <= '9' ? 0 : 1, 0, 0, code};
        } else if (platform::isAnsiAlpha(c)) {
            const bool plain = c < 128;
            const uint8_t folded = platform::isAnsiUpper(c) ? platform::ansiToLower(c) : c;
            key = Key{3, baseLetter(c), plain ? 0 : 1, folded, platform::isAnsiUpper(c) ? 1 : 0, code};
        } else {
            key = Key{1, code, 0, 0, 0, 0};
        }
        keyed[size_t(code - 2)] = {key, c};
    }
    std::sort(keyed.begin(), keyed.end());
    std::string sequence;
    for (const auto& k : keyed) sequence.push_back(char(k.second));
    return sequence;
}

}  // namespace varnok
