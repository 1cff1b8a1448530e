// NUMERIC: the table of the rule, and agreement with the strict number
// syntax DEFORMAT's parser uses on every short text over the characters that
// matter.
#include "runtime/pictures/numeric_text.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/pictures/decimal_number.h"

namespace varnok {
namespace {

TEST(Numeric, Table) {
    struct Case {
        std::string_view text;
        bool numeric;
    } cases[] = {
        {"12", true},     {"-3.5", true},   {".5", true},      {"1.", true},     {"+2", true},
        {"1e5", true},    {"1E5", true},    {"2e-3", true},    {"2e+03", true},  {"-.5e1", true},
        {"0", true},      {"007", true},    {"  12", true},    {"12   ", true},  {" -1.25 ", true},
        {"", false},      {" ", false},     {"-", false},      {"+", false},     {".", false},
        {"-.", false},    {"1,000", false}, {"0x1F", false},   {"1 2", false},   {"1e", false},
        {"1e+", false},   {"1e-", false},   {"e5", false},     {".e5", false},   {"1.2.3", false},
        {"--1", false},   {"+-1", false},   {"1-", false},     {"1e5.0", false}, {"1e5e5", false},
        {"\t1", false},   {"1\t", false},   {"nan", false},    {"inf", false},   {"-inf", false},
        {"1e 5", false},  {"- 1", false},   {"12a", false},    {"a12", false},   {std::string_view("1\0", 2), false},
    };
    for (const Case& c : cases) EXPECT_EQ(NUMERIC(c.text), c.numeric) << '"' << c.text << '"';
}

TEST(Numeric, AgreesWithTheNumberParserOnEveryShortText) {
    // Every text of up to five characters over these eight; DEFORMAT's
    // parser reads the same syntax (it also sets tabs aside, which are not
    // among them).
    const std::string alphabet = " +-.e0x9";
    std::string text;
    int checked = 0;
    auto walk = [&](auto&& self, size_t length) -> void {
        if (text.size() == length) {
            DecimalNumber number;
            ASSERT_EQ(NUMERIC(text), DecimalNumber::parse(text, number)) << '"' << text << '"';
            ++checked;
            return;
        }
        for (char c : alphabet) {
            text.push_back(c);
            self(self, length);
            text.pop_back();
        }
    };
    for (size_t length = 0; length <= 5; ++length) walk(walk, length);
    EXPECT_EQ(checked, 1 + 8 + 64 + 512 + 4096 + 32768);
}

}  // namespace
}  // namespace varnok
