#include "platform/codepage.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <set>
#include <string>

namespace varnok::platform {
namespace {

// True when the character of OEM code c also exists in Windows-1252.
bool sharedCharacter(int oem) {
    for (int a = 0; a < 256; ++a)
        if (ansiToUnicode(uint8_t(a)) == oemToUnicode(uint8_t(oem))) return true;
    return false;
}

TEST(CodepageTest, AsciiIsUnchangedBothWays) {
    for (int c = 0; c < 128; ++c) {
        EXPECT_EQ(oemToAnsi(uint8_t(c)), c);
        EXPECT_EQ(ansiToOem(uint8_t(c)), c);
    }
}

TEST(CodepageTest, SharedCharactersRoundTripAndKeepTheirMeaning) {
    int shared = 0;
    for (int c = 0; c < 256; ++c) {
        uint8_t ansi = oemToAnsi(uint8_t(c));
        if (sharedCharacter(c)) {
            ++shared;
            EXPECT_EQ(ansiToUnicode(ansi), oemToUnicode(uint8_t(c))) << c;
            EXPECT_EQ(ansiToOem(ansi), c) << c;
        } else {
            EXPECT_LT(ansi, 128) << "look-alikes are plain characters: " << c;
        }
        uint8_t oem = ansiToOem(uint8_t(c));
        if (oemToUnicode(oem) == ansiToUnicode(uint8_t(c))) {
            EXPECT_EQ(oemToAnsi(oem), c);
        }
    }
    // Code page 437 shares 128 ASCII codes and 54 higher characters with 1252.
    EXPECT_EQ(shared, 128 + 54);
}

TEST(CodepageTest, KnownCharacters) {
    EXPECT_EQ(oemToAnsi(0x81), 0xFC);  // u with diaeresis
    EXPECT_EQ(oemToAnsi(0xE1), 0xDF);  // sharp s
    EXPECT_EQ(oemToAnsi(0x9C), 0xA3);  // pound sign
    EXPECT_EQ(oemToAnsi(0xC4), '-');   // box drawing
    EXPECT_EQ(oemToAnsi(0xE0), 'a');   // alpha
    EXPECT_EQ(ansiToOem(0xE4), 0x84);  // a with diaeresis
    EXPECT_EQ(ansiToOem(0xC0), 'A');   // A with grave: not in 437
    EXPECT_EQ(ansiToOem(0x80), 'E');   // euro sign
    EXPECT_EQ(oemToAnsi(std::string("M\x84rz")), "M\xE4rz");
    EXPECT_EQ(ansiToOem(std::string("M\xE4rz")), "M\x84rz");
}

TEST(CodepageTest, CasePairsAreSymmetric) {
    int pairs = 0;
    for (int c = 0; c < 256; ++c) {
        uint8_t u = uint8_t(c);
        EXPECT_FALSE(isAnsiUpper(u) && isAnsiLower(u)) << c;
        EXPECT_EQ(isAnsiAlpha(u), isAnsiUpper(u) || isAnsiLower(u));
        if (isAnsiUpper(u) && ansiToLower(u) != u) {
            ++pairs;
            EXPECT_TRUE(isAnsiLower(ansiToLower(u))) << c;
            EXPECT_EQ(ansiToUpper(ansiToLower(u)), u) << c;
        }
        if (!isAnsiAlpha(u)) {
            EXPECT_EQ(ansiToUpper(u), u);
            EXPECT_EQ(ansiToLower(u), u);
        }
    }
    EXPECT_EQ(pairs, 26 + 30 + 4);
    EXPECT_EQ(ansiToUpper(0xDF), 0xDF);  // sharp s has no capital here
    EXPECT_EQ(ansiToUpper(0xFF), 0x9F);
    EXPECT_EQ(ansiToLower(0xD7), 0xD7);  // multiplication sign
}

#ifdef _WIN32
// The tables against the system's own code pages 437 and 1252, for all 256
// codes of each.

uint16_t systemUnicode(UINT codePage, uint8_t code) {
    const char byte = char(code);
    wchar_t wide = 0;
    return ::MultiByteToWideChar(codePage, 0, &byte, 1, &wide, 1) == 1 ? uint16_t(wide) : 0xFFFF;
}

// The code the system gives a Unicode character in a code page: exact only
// (-1 when it has none), or with its best-fit look-alikes ('?' when none).
int systemCode(UINT codePage, uint16_t unicode, bool bestFit) {
    const wchar_t wide = wchar_t(unicode);
    char byte = 0;
    BOOL usedDefault = FALSE;
    const DWORD flags = bestFit ? 0 : WC_NO_BEST_FIT_CHARS;
    if (::WideCharToMultiByte(codePage, flags, &wide, 1, &byte, 1, "?", &usedDefault) != 1) return -1;
    if (usedDefault) return bestFit ? '?' : -1;
    return uint8_t(byte);
}

TEST(CodepageTest, EveryCodeStandsForTheSystemsCharacter) {
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(oemToUnicode(uint8_t(c)), systemUnicode(437, uint8_t(c))) << "code page 437, code " << c;
        EXPECT_EQ(ansiToUnicode(uint8_t(c)), systemUnicode(1252, uint8_t(c))) << "code page 1252, code " << c;
    }
}

// A character both sets have converts exactly as the system converts it.
// The look-alikes for the others are the tables' own; where the system's
// best fit differs they are listed (not a failure: the system's choice
// differs between Windows versions and Wine).
TEST(CodepageTest, ConversionsAgreeWithTheSystemWhereBothSetsHaveTheCharacter) {
    std::string differences;
    int exact = 0;
    for (int c = 128; c < 256; ++c) {
        const struct {
            const char* direction;
            uint8_t ours;
            uint16_t unicode;
            UINT target;
        } ways[] = {{"437->1252", oemToAnsi(uint8_t(c)), oemToUnicode(uint8_t(c)), 1252},
                    {"1252->437", ansiToOem(uint8_t(c)), ansiToUnicode(uint8_t(c)), 437}};
        for (const auto& way : ways) {
            const int system = systemCode(way.target, way.unicode, false);
            if (system >= 0) {
                ++exact;
                EXPECT_EQ(way.ours, system) << way.direction << " code " << c;
                continue;
            }
            const int bestFit = systemCode(way.target, way.unicode, true);
            if (bestFit != way.ours) {
                char line[96];
                std::snprintf(line, sizeof line, "%s %02X (U+%04X): ours %02X, system %02X\n", way.direction, c,
                              way.unicode, way.ours, bestFit);
                differences += line;
            }
        }
    }
    EXPECT_EQ(exact, 2 * 54) << "the 54 shared characters above ASCII, both ways";
    RecordProperty("LookAlikeDifferences", differences);
    std::printf("Look-alikes that differ from the system's best fit:\n%s", differences.c_str());
}

// The system's own case functions on the same characters (through Unicode,
// so whatever the ANSI code page of the machine).
TEST(CodepageTest, CasePairsAgreeWithTheSystem) {
    for (int c = 0; c < 256; ++c) {
        wchar_t upper[2] = {wchar_t(ansiToUnicode(uint8_t(c))), 0};
        wchar_t lower[2] = {upper[0], 0};
        ::CharUpperW(upper);
        ::CharLowerW(lower);
        const int systemUpper = systemCode(1252, uint16_t(upper[0]), false);
        const int systemLower = systemCode(1252, uint16_t(lower[0]), false);
        // A partner outside Windows-1252 (micro sign, sharp s, f with hook)
        // leaves the letter as it is.
        EXPECT_EQ(ansiToUpper(uint8_t(c)), systemUpper < 0 ? c : systemUpper) << c;
        EXPECT_EQ(ansiToLower(uint8_t(c)), systemLower < 0 ? c : systemLower) << c;
        if (::IsCharUpperW(wchar_t(ansiToUnicode(uint8_t(c))))) {
            EXPECT_TRUE(isAnsiUpper(uint8_t(c))) << c;
        }
    }
}
#endif

}  // namespace
}  // namespace varnok::platform
