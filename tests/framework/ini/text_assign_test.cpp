#include "framework/ini/text_assign.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "runtime/records/record_reflection.h"

namespace varnok::framework {
namespace {

TEST(TextAssign, NumbersFollowTheNumberSyntaxOrAreZero) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"0", 0},        {"17", 17},         {" -17 ", -17},        {"+5", 5},          {"4.9", 4},
        {"-4.9", -4},    {"1e3", 1000},      {"", 0},               {"abc", 0},         {"12abc", 0},
        {"1,000", 0},    {"- 1", 0},         {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},           {"-1e20", INT32_MIN},  {"1e400", INT32_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(textAsLong(c.text), c.value) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(textAsReal("2.5e-1"), 0.25);
    EXPECT_EQ(textAsReal("."), 0.0);
}

// Stores the text into the layout's only field and reads it back as text.
std::string through(const RecordLayout& layout, std::string_view text) {
    std::vector<uint8_t> record(layout.size(), 0xAB);
    EXPECT_TRUE(assignFieldText(layout, record.data(), 1, text));
    return reflectFieldValue(layout, record.data(), 1);
}

TEST(TextAssign, EachTypeTakesTheTextWithItsOwnConversion) {
    struct Case {
        RecordLayout layout;
        const char* text;
        const char* read;
    };
    const Case cases[] = {
        {RecordLayoutBuilder().byte("B").build(), "200", "200"},
        {RecordLayoutBuilder().byte("B").build(), "300", "255"},
        {RecordLayoutBuilder().byte("B").build(), "-5", "0"},
        {RecordLayoutBuilder().shortField("S").build(), "-40000", "-32768"},
        {RecordLayoutBuilder().ushortField("U").build(), "65535.9", "65535"},
        {RecordLayoutBuilder().longField("L").build(), "-123", "-123"},
        {RecordLayoutBuilder().ulongField("U").build(), "4294967295", "4294967295"},
        {RecordLayoutBuilder().ulongField("U").build(), "-1", "0"},
        {RecordLayoutBuilder().date("D").build(), "80000", "80000"},
        {RecordLayoutBuilder().real("R").build(), "-0.125", "-0.125"},
        {RecordLayoutBuilder().sreal("F").build(), "1.5", "1.5"},
        {RecordLayoutBuilder().sreal("F").build(), "1e39", "inf"},
        {RecordLayoutBuilder().sreal("F").build(), "-1e39", "-inf"},
        {RecordLayoutBuilder().decimal("D", 5, 2).build(), "12.345", "12.35"},
        {RecordLayoutBuilder().decimal("D", 5, 2).build(), "-12.344", "-12.34"},
        {RecordLayoutBuilder().decimal("D", 5, 2).build(), "-0.001", "0.00"},
        {RecordLayoutBuilder().decimal("D", 5, 2).build(), "123456.7", "456.70"},
        {RecordLayoutBuilder().decimal("D", 5, 2).build(), "x", "0.00"},
        {RecordLayoutBuilder().string("S", 5).build(), "ab", "ab"},
        {RecordLayoutBuilder().string("S", 5).build(), "abcdefg", "abcde"},
        {RecordLayoutBuilder().cstring("C", 5).build(), "abcdefg", "abcd"},
        {RecordLayoutBuilder().cstring("C", 5).build(), "", ""},
        {RecordLayoutBuilder().pstring("P", 4).build(), "abcdef", "abc"},
        {RecordLayoutBuilder().pstring("P", 4).build(), "a", "a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(through(c.layout, c.text), c.read) << c.layout.fields()[0].name << " <- \"" << c.text << '"';
}

TEST(TextAssign, OnlyTheNamedFieldChanges) {
    RecordLayout layout = RecordLayoutBuilder().string("A", 3).cstring("B", 4).longField("C").string("D", 2).build();
    std::vector<uint8_t> record(layout.size(), 0x5A);
    const std::vector<uint8_t> before = record;
    ASSERT_TRUE(assignFieldText(layout, record.data(), 2, "longer than four"));
    for (size_t i = 0; i < record.size(); ++i) {
        if (i < 3 || i >= 7) {
            EXPECT_EQ(record[i], before[i]) << i;
        }
    }
    EXPECT_EQ(record[6], 0) << "a CSTRING keeps its terminator";
    EXPECT_FALSE(assignFieldText(layout, record.data(), 5, "x"));
    EXPECT_FALSE(assignFieldText(layout, record.data(), 0, "x"));
    EXPECT_FALSE(assignFieldText(layout, nullptr, 1, "x"));
}

TEST(TextAssign, NumbersRoundTripThroughTheirText) {
    std::mt19937_64 random(9);
    const RecordLayout layout = RecordLayoutBuilder().longField("L").real("R").decimal("D", 15, 4).build();
    std::vector<uint8_t> record(layout.size());
    std::vector<uint8_t> scratch(layout.size());
    for (int i = 0; i < 500; ++i) {
        // LONG: any value.
        const std::string l = std::to_string(int32_t(random()));
        ASSERT_TRUE(assignFieldText(layout, record.data(), 1, l));
        EXPECT_EQ(reflectFieldValue(layout, record.data(), 1), l);
        // REAL: any finite value, written as the shortest text that reads back.
        double r;
        do {
            const uint64_t bits = random();
            std::memcpy(&r, &bits, sizeof r);
        } while (!std::isfinite(r));
        std::memcpy(scratch.data() + 4, &r, sizeof r);
        const std::string rText = reflectFieldValue(layout, scratch.data(), 2);
        ASSERT_TRUE(assignFieldText(layout, record.data(), 2, rText));
        double back;
        std::memcpy(&back, record.data() + 4, sizeof back);
        EXPECT_EQ(back, r) << rText;
        // DECIMAL(15,4): 11 digits before the point and 4 after.
        const uint64_t whole = random() % 100000000000ull;
        const uint64_t fraction = random() % 10000;
        std::string fractionText = std::to_string(fraction);
        fractionText.insert(0, 4 - fractionText.size(), '0');
        const bool negative = (random() & 1) && (whole != 0 || fraction != 0);
        const std::string d = (negative ? "-" : "") + std::to_string(whole) + "." + fractionText;
        ASSERT_TRUE(assignFieldText(layout, record.data(), 3, d));
        EXPECT_EQ(reflectFieldValue(layout, record.data(), 3), d);
    }
}

}  // namespace
}  // namespace varnok::framework
