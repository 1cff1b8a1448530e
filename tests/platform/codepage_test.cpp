#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <set>

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

}  // namespace
}  // namespace varnok::platform
