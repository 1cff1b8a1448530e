// Decimal digit strings: conversions from doubles and texts, against the
// C library's own conversions, and half-up rounding against integer
// arithmetic.
#include "runtime/pictures/decimal_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace varnok {
namespace {

TEST(DecimalNumber, DoublesSurviveTheDigitString) {
    std::mt19937_64 random(3);
    for (int round = 0; round < 20000; ++round) {
        double value;
        const uint64_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        const DecimalNumber d = DecimalNumber::fromDouble(value);
        ASSERT_EQ(d.toDouble(), value) << bits;
        // The plain text reads back as the same number, through strtod too.
        DecimalNumber again;
        ASSERT_TRUE(DecimalNumber::parse(d.plainText(), again));
        ASSERT_EQ(again.plainText(), d.plainText());
        if (std::fabs(value) > 1e-30 && std::fabs(value) < 1e30) {
            ASSERT_EQ(std::strtod(d.plainText().c_str(), nullptr), value);
        }
    }
    EXPECT_FALSE(DecimalNumber::fromDouble(std::numeric_limits<double>::infinity()).finite);
    EXPECT_FALSE(DecimalNumber::fromDouble(std::nan("")).finite);
    EXPECT_TRUE(DecimalNumber::fromDouble(-0.0).isZero());
    EXPECT_FALSE(DecimalNumber::fromDouble(-0.0).negative);
}

TEST(DecimalNumber, ParsesStrictNumberSyntax) {
    struct Case {
        const char* text;
        const char* plain;  // nullptr: rejected
    };
    const Case cases[] = {
        {"0", "0"},          {"-0", "0"},          {"+12", "12"},         {"007.50", "7.5"},
        {".5", "0.5"},       {"5.", "5"},          {"0.000123", "0.000123"}, {"-1.5e3", "-1500"},
        {"1E-2", "0.01"},    {"  42  ", "42"},     {"1e+0", "1"},         {"120e-1", "12"},
        {"", nullptr},       {"-", nullptr},       {".", nullptr},        {"1.2.3", nullptr},
        {"1e", nullptr},     {"1e+", nullptr},     {"12a", nullptr},      {"--1", nullptr},
        {"1 2", nullptr},    {"e5", nullptr},
    };
    for (const Case& c : cases) {
        DecimalNumber d;
        const bool ok = DecimalNumber::parse(c.text, d);
        ASSERT_EQ(ok, c.plain != nullptr) << c.text;
        if (ok) {
            EXPECT_EQ(d.plainText(), c.plain) << c.text;
        }
    }
    // Exponents far out of range are held, not overflowed.
    DecimalNumber huge;
    ASSERT_TRUE(DecimalNumber::parse("1e99999999999999999999", huge));
    EXPECT_EQ(huge.exponent, DecimalNumber::MaxExponent);
    ASSERT_TRUE(DecimalNumber::parse("1e-99999999999999999999", huge));
    EXPECT_EQ(huge.exponent, -DecimalNumber::MaxExponent);
}

TEST(DecimalNumber, RoundsHalfUpLikeIntegerArithmetic) {
    std::mt19937_64 random(5);
    for (int round = 0; round < 20000; ++round) {
        // value = units / 10^6; rounding to d decimals in integer arithmetic.
        const int64_t units = static_cast<int64_t>(random() % 100000000000LL) >> (random() % 36);
        const int decimals = static_cast<int>(random() % 8);
        char text[48];
        std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(units / 1000000),
                      static_cast<long long>(units % 1000000));
        DecimalNumber d;
        ASSERT_TRUE(DecimalNumber::parse(text, d));
        d.roundToDecimals(decimals);
        int64_t step = 1;
        for (int k = decimals; k < 6; ++k) step *= 10;
        const int64_t rounded = decimals >= 6 ? units : (units + step / 2) / step * step;
        std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(rounded / 1000000),
                      static_cast<long long>(rounded % 1000000));
        DecimalNumber expected;
        ASSERT_TRUE(DecimalNumber::parse(text, expected));
        ASSERT_EQ(d.plainText(), expected.plainText()) << units << " to " << decimals;
    }
    DecimalNumber d;
    ASSERT_TRUE(DecimalNumber::parse("-0.004", d));
    d.roundToDecimals(2);
    EXPECT_TRUE(d.isZero());
    EXPECT_FALSE(d.negative);  // no negative zero
    ASSERT_TRUE(DecimalNumber::parse("999.96", d));
    d.roundToDecimals(1);
    EXPECT_EQ(d.plainText(), "1000");
    ASSERT_TRUE(DecimalNumber::parse("0.5", d));
    d.roundToDecimals(0);
    EXPECT_EQ(d.plainText(), "1");
    ASSERT_TRUE(DecimalNumber::parse("0.05", d));
    d.roundToDecimals(0);
    EXPECT_EQ(d.plainText(), "0");
    ASSERT_TRUE(DecimalNumber::parse("99951", d));
    d.roundToSignificant(3);
    EXPECT_EQ(d.plainText(), "100000");
    EXPECT_EQ(d.digitAt(5), '1');
    EXPECT_EQ(d.digitAt(0), '0');
    EXPECT_EQ(d.digitAt(-1), '0');
}

}  // namespace
}  // namespace varnok
