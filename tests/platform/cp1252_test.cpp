#include "platform/cp1252.h"

#include <gtest/gtest.h>

namespace varnok::platform {
namespace {

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::string utf8 = cp1252ToUtf8(all);
    std::string back;
    ASSERT_TRUE(utf8ToCp1252(utf8, back));
    EXPECT_EQ(back, all);
}

TEST(Cp1252, KnownCharacters) {
    EXPECT_EQ(cp1252ToUtf8("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");   // euro sign
    EXPECT_EQ(cp1252ToUtf8("\x9F"), "\xC5\xB8");       // Y with diaeresis
    EXPECT_EQ(cp1252ToUtf8("\x99"), "\xE2\x84\xA2");   // trade mark
    // The unassigned bytes become the control characters of the same number.
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        std::string expected = {static_cast<char>(0xC2), static_cast<char>(b)};
        EXPECT_EQ(cp1252ToUtf8(std::string(1, static_cast<char>(b))), expected) << int(b);
    }
}

TEST(Cp1252, RejectsWhatCannotBeShown) {
    std::string out;
    EXPECT_FALSE(utf8ToCp1252("\xE4\xB8\xAD", out));         // a CJK character
    EXPECT_FALSE(utf8ToCp1252("\xC2\x80", out));             // U+0080 is not a Windows-1252 byte
    EXPECT_FALSE(utf8ToCp1252("\xC3", out));                 // cut sequence
    EXPECT_FALSE(utf8ToCp1252("\xC1\x81", out));             // overlong 'A'
    EXPECT_FALSE(utf8ToCp1252("\xED\xA0\x80", out));         // surrogate
    EXPECT_FALSE(utf8ToCp1252("\xFF", out));
    EXPECT_TRUE(utf8ToCp1252("M\xC3\xBCller \xE2\x82\xAC", out));
    EXPECT_EQ(out, "M\xFCller \x80");
}

}  // namespace
}  // namespace varnok::platform
