// The length of a text without its trailing spaces, found in blocks,
// against a byte-by-byte trim.
#include "platform/trailing_spaces.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace varnok::platform {
namespace {

TEST(TrailingSpaces, Lengths) {
    struct Case {
        std::string text;
        size_t length;
    };
    const Case cases[] = {
        {"", 0},           {" ", 0},
        {"a", 1},          {"a ", 1},
        {"  a", 3},        {std::string(17, ' '), 0},
        {"x" + std::string(16, ' '), 1},
        {"ab" + std::string(7, ' ') + "c" + std::string(40, ' '), 10},
        {std::string(9, 'z'), 9},  {"a\t", 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(trimmedLength(c.text.data(), c.text.size()), c.length) << '"' << c.text << '"';
}

// Every length up to a few blocks of the wide path, with the last
// non-space at every place (and none at all), against a byte-by-byte trim.
TEST(TrailingSpaces, EveryLengthAndPlaceAgreesWithTheByteByByteTrim) {
    for (size_t size = 0; size <= 200; ++size) {
        for (size_t last = 0; last <= size; ++last) {  // last == size: spaces only
            std::string text(size, ' ');
            for (size_t i = 0; i < last; i += 3) text[i] = 'a';
            if (last < size) text[last] = 'z';
            size_t expected = size;
            while (expected > 0 && text[expected - 1] == ' ') --expected;
            ASSERT_EQ(trimmedLength(text.data(), text.size()), expected)
                << "size " << size << " last " << last;
        }
    }
}

// trimmedLength skips padding in blocks; it must agree with a plain scan,
// also on records long enough for the widest blocks.
TEST(TrailingSpaces, RandomRecordsAgreeWithAPlainScan) {
    std::mt19937 rng(1);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes(rng() % (round % 2 ? 300 : 1100), ' ');
        for (int k = 0, n = rng() % 4; k < n && !bytes.empty(); ++k) bytes[rng() % bytes.size()] = 'a' + rng() % 3;
        size_t plain = bytes.size();
        while (plain > 0 && bytes[plain - 1] == ' ') --plain;
        ASSERT_EQ(trimmedLength(bytes.data(), bytes.size()), plain);
    }
}

TEST(TrailingSpaces, WithoutTrailingSpaces) {
    EXPECT_EQ(withoutTrailingSpaces("ab c   "), "ab c");
    EXPECT_EQ(withoutTrailingSpaces("   "), "");
    EXPECT_EQ(withoutTrailingSpaces(""), "");
}

}  // namespace
}  // namespace varnok::platform
