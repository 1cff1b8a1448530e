// Record reflection: names, element counts, group flags and value texts of
// every field type, read through a queue's buffer.
#include "runtime/records/record_reflection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "runtime/records/packed_decimal.h"

namespace varnok::testing {
namespace {

template <class T>
void store(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

TEST(RecordReflection, NamesCountsAndGroupsFollowDeclarationOrder) {
    Queue q(RecordLayoutBuilder()
                .longField("REM:Id")
                .beginGroup("Pair")
                .shortField("A")
                .shortField("B")
                .endGroup()
                .string("Names", 5)
                .dim({3})
                .build());
    EXPECT_EQ(reflectFieldName(q, 1), "REM:Id");
    EXPECT_EQ(reflectFieldName(q, 2), "Pair");
    EXPECT_TRUE(reflectIsGroup(q, 2));
    EXPECT_FALSE(reflectIsGroup(q, 3));
    EXPECT_EQ(reflectFieldName(q, 4), "B");
    EXPECT_EQ(reflectElementCount(q, 5), 3u);
    EXPECT_EQ(reflectElementCount(q, 1), 1u);
    EXPECT_EQ(reflectFieldName(q, 6), "");
    EXPECT_EQ(reflectFieldName(q, 0), "");
    EXPECT_EQ(reflectElementCount(q, 6), 0u);
    EXPECT_EQ(reflectFieldName(nullptr, 1), "");

    std::memcpy(q.buffer() + 8, "one  two  three", 15);
    EXPECT_EQ(reflectFieldValue(q, 5, 1), "one");
    EXPECT_EQ(reflectFieldValue(q, 5, 2), "two");
    EXPECT_EQ(reflectFieldValue(q, 5, 3), "three");
    EXPECT_EQ(reflectFieldValue(q, 5, 4), "");
    EXPECT_EQ(reflectFieldValue(q, 5, 0), "");
}

TEST(RecordReflection, ValuesAsPlainText) {
    Queue q(RecordLayoutBuilder()
                .byte("B")
                .shortField("S")
                .ushortField("U")
                .longField("L")
                .ulongField("UL")
                .sreal("F")
                .real("D")
                .decimal("Dec", 7, 2)
                .cstring("C", 8)
                .pstring("P", 8)
                .date("Day")
                .build());
    uint8_t* b = q.buffer();
    auto at = [&](int n) { return b + q.layout().field(n)->offset; };
    store<uint8_t>(at(1), 200);
    store<int16_t>(at(2), -12345);
    store<uint16_t>(at(3), 65535);
    store<int32_t>(at(4), std::numeric_limits<int32_t>::min());
    store<uint32_t>(at(5), 4000000000u);
    store<float>(at(6), 0.1f);
    store<double>(at(7), -2.5e20);
    const uint8_t dec[4] = {0xF0, 0x12, 0x34, 0x05};  // -0012340.5 as 7 digits, 2 places
    std::memcpy(at(8), dec, 4);
    std::memcpy(at(9), "hi  \0zz", 8);
    std::memcpy(at(10), "\x03" "abcdefg", 8);
    store<int32_t>(at(11), 80000);

    EXPECT_EQ(reflectFieldValue(q, 1), "200");
    EXPECT_EQ(reflectFieldValue(q, 2), "-12345");
    EXPECT_EQ(reflectFieldValue(q, 3), "65535");
    EXPECT_EQ(reflectFieldValue(q, 4), "-2147483648");
    EXPECT_EQ(reflectFieldValue(q, 5), "4000000000");
    EXPECT_EQ(reflectFieldValue(q, 6), "0.1");
    EXPECT_EQ(reflectFieldValue(q, 7), "-250000000000000000000");
    EXPECT_EQ(reflectFieldValue(q, 8), "-1234.05");
    EXPECT_EQ(reflectFieldValue(q, 9), "hi");
    EXPECT_EQ(reflectFieldValue(q, 10), "abc");
    EXPECT_EQ(reflectFieldValue(q, 11), "80000");
}

TEST(RecordReflection, DecimalTextAndComparisonAgree) {
    // Zero has no sign, and the text shows every place.
    const uint8_t zero[3] = {0x00, 0x00, 0x00};
    const uint8_t minusZero[3] = {0xF0, 0x00, 0x00};
    const uint8_t small[3] = {0x00, 0x00, 0x07};
    const uint8_t negative[3] = {0xF0, 0x00, 0x07};
    EXPECT_EQ(decimalToText(minusZero, 3, 2), "0.00");
    EXPECT_EQ(decimalToText(small, 3, 2), "0.07");
    EXPECT_EQ(decimalToText(negative, 3, 0), "-7");
    EXPECT_EQ(compareDecimals(zero, minusZero, 3), 0);
    EXPECT_LT(compareDecimals(negative, zero, 3), 0);
    EXPECT_GT(compareDecimals(small, negative, 3), 0);
}

TEST(RecordReflection, TextsLoseExactlyTheirTrailingSpaces) {
    // Every text length in a 100-byte field, with spaces inside and at the
    // front, against the field padded behind it (the padding is skipped
    // in blocks, so every position relative to a block matters).
    Queue q(RecordLayoutBuilder().string("Text", 100).build());
    for (size_t length = 0; length <= 100; ++length) {
        std::string text(length, 'x');
        for (size_t i = 0; i < length; i += 3) text[i] = ' ';
        if (length > 0) text.back() = 'z';
        std::memset(q.buffer(), ' ', 100);
        std::memcpy(q.buffer(), text.data(), length);
        EXPECT_EQ(reflectFieldValue(q, 1), text) << length;
    }
}

}  // namespace
}  // namespace varnok::testing
