// Run-length packing: random records round-trip, the coded length matches an
// independent model of the coding rules, and every control form decodes.
#include "runtime/records/record_pack.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace varnok::testing {
namespace {

size_t headerModel(size_t count) { return count < 64 ? 1 : count < 8192 ? 2 : count < 65536 ? 3 : 5; }

// Coded length by the rules alone: maximal stretches of equal bytes become
// runs when 4 or longer (3 or longer at the end), the rest joins literals.
size_t codedLengthModel(const std::vector<uint8_t>& r) {
    size_t total = 0, literal = 0;
    for (size_t i = 0; i < r.size();) {
        size_t j = i;
        while (j < r.size() && r[j] == r[i]) ++j;
        const size_t len = j - i;
        if (len >= 4 || (len >= 3 && j == r.size())) {
            if (literal) total += headerModel(literal) + literal;
            literal = 0;
            total += headerModel(len) + 1;
        } else {
            literal += len;
        }
        i = j;
    }
    if (literal) total += headerModel(literal) + literal;
    return total;
}

std::vector<uint8_t> randomRecord(std::mt19937& rng, size_t size) {
    std::vector<uint8_t> r(size);
    std::uniform_int_distribution<int> kind(0, 3), length(1, 12), longLength(60, 70000), byte(0, 255);
    for (size_t i = 0; i < size;) {
        const int k = kind(rng);
        size_t n = k == 3 ? static_cast<size_t>(longLength(rng)) : static_cast<size_t>(length(rng));
        n = std::min(n, size - i);
        const uint8_t b = static_cast<uint8_t>(byte(rng) % (k == 0 ? 3 : 256));
        for (size_t m = 0; m < n; ++m) r[i + m] = k == 1 ? static_cast<uint8_t>(byte(rng) % 4) : b;
        i += n;
    }
    return r;
}

TEST(RecordPack, RandomRecordsRoundTripAtTheModelLength) {
    std::mt19937 rng(7);
    const size_t sizes[] = {128, 129, 300, 1024, 9000, 70000, 140000};
    for (size_t size : sizes) {
        for (int round = 0; round < 40; ++round) {
            const std::vector<uint8_t> r = randomRecord(rng, size);
            std::vector<uint8_t> coded(size * 2 + 16);
            const size_t length = packRecord(r.data(), r.size(), coded.data(), coded.size());
            ASSERT_EQ(length, codedLengthModel(r)) << size << "/" << round;
            std::vector<uint8_t> back(size, 0xAA);
            ASSERT_TRUE(unpackRecord(coded.data(), length, back.data(), size, size));
            ASSERT_EQ(back, r);
            // A partial decode writes exactly the prefix asked for.
            std::vector<uint8_t> prefix(size, 0xAA);
            const size_t limit = size / 3;
            ASSERT_TRUE(unpackRecord(coded.data(), length, prefix.data(), size, limit));
            ASSERT_TRUE(std::equal(prefix.begin(), prefix.begin() + static_cast<long>(limit), r.begin()));
        }
    }
}

// A padded text: a random head, then the padding byte to the end. Packing
// told where the padding starts gives the very coding of a blind pack, for
// heads that end in the padding byte, in short stretches, or fill the record.
TEST(RecordPack, PromisedUniformTailCodesAsWithoutThePromise) {
    std::mt19937 rng(19);
    const size_t sizes[] = {128, 300, 1024};
    std::uniform_int_distribution<int> pick(0, 255);
    for (size_t size : sizes) {
        for (int round = 0; round < 300; ++round) {
            std::vector<uint8_t> r = randomRecord(rng, size);
            const uint8_t pad = pick(rng) % 2 ? uint8_t(' ') : r[static_cast<size_t>(pick(rng)) % size];
            size_t from = static_cast<size_t>(pick(rng)) * size / 255;
            if (round % 7 == 0) from = size - static_cast<size_t>(pick(rng) % 5);  // short or empty tail
            if (from > size) from = size;
            std::fill(r.begin() + static_cast<long>(from), r.end(), pad);
            if (from == size && size > 0) r[size - 1] = pad;  // the promise needs the last byte to match
            // The head may end with padding bytes too: the promise holds for
            // any point inside the tail, not just its first byte.
            const size_t promised = from == 0 ? 0 : from - static_cast<size_t>(pick(rng) % 2 == 0 && r[from - 1] == pad);
            std::vector<uint8_t> blind(size * 2 + 16), told(size * 2 + 16);
            const size_t blindLength = packRecord(r.data(), size, blind.data(), blind.size());
            const size_t toldLength = packRecord(r.data(), size, told.data(), told.size(), promised);
            ASSERT_EQ(toldLength, blindLength) << size << "/" << round << " from " << promised;
            ASSERT_TRUE(std::equal(blind.begin(), blind.begin() + static_cast<long>(blindLength), told.begin()));
            // Too little room is still reported the same way.
            const size_t room = blindLength / 2;
            ASSERT_EQ(packRecord(r.data(), size, told.data(), room, promised),
                      packRecord(r.data(), size, blind.data(), room));
        }
    }
}

// Decoding over a buffer that already holds a previous record's padding
// gives the record itself, whatever the buffer held, and the mark it
// returns is a point from which the record is only its last byte.
TEST(RecordPack, DecodingOverAPaddedBufferGivesTheRecord) {
    std::mt19937 rng(23);
    std::uniform_int_distribution<int> pick(0, 255);
    const size_t sizes[] = {128, 300, 1024};
    for (size_t size : sizes) {
        std::vector<uint8_t> buffer(size, 0xAA);
        size_t clean = size;  // nothing known at first
        for (int round = 0; round < 400; ++round) {
            std::vector<uint8_t> r = randomRecord(rng, size);
            const uint8_t pad = pick(rng) % 4 ? uint8_t(' ') : uint8_t('x');
            size_t from = static_cast<size_t>(pick(rng)) * size / 255;
            if (round % 9 == 0) from = size;  // no padding at all
            std::fill(r.begin() + static_cast<long>(from), r.end(), pad);
            std::vector<uint8_t> coded(size * 2 + 16);
            const size_t length = packRecord(r.data(), size, coded.data(), coded.size());
            const size_t mark = unpackRecordOver(coded.data(), length, buffer.data(), size, clean);
            ASSERT_NE(mark, SIZE_MAX);
            ASSERT_EQ(buffer, r) << size << "/" << round << " clean " << clean;
            ASSERT_LE(mark, size);
            ASSERT_TRUE(std::all_of(r.begin() + static_cast<long>(mark), r.end(), [&](uint8_t c) { return c == r[size - 1]; }));
            clean = mark;
        }
        // A damaged coding is reported.
        EXPECT_EQ(unpackRecordOver(nullptr, 0, buffer.data(), size, clean), SIZE_MAX);
    }
}

// Decoding as text leaves out only a last run of the pad byte: what it
// writes, then the pad to the end, is the record, whatever byte the record
// ends in (a record full of text ends in its own last run).
TEST(RecordPack, DecodingAsTextLeavesOutOnlyTheLastPadRun) {
    std::mt19937 rng(29);
    std::uniform_int_distribution<int> pick(0, 255);
    for (size_t size : {128u, 300u, 1024u}) {
        for (int round = 0; round < 400; ++round) {
            std::vector<uint8_t> r = randomRecord(rng, size);
            const uint8_t fill = pick(rng) % 3 ? uint8_t(' ') : uint8_t('x');
            const size_t from = round % 5 == 0 ? size : static_cast<size_t>(pick(rng)) * size / 255;
            std::fill(r.begin() + static_cast<long>(from), r.end(), fill);
            std::vector<uint8_t> coded(size * 2 + 16);
            const size_t length = packRecord(r.data(), size, coded.data(), coded.size());
            std::vector<uint8_t> out(size, 0xAA);
            const size_t n = unpackText(coded.data(), length, out.data(), size, ' ');
            ASSERT_LE(n, size);
            ASSERT_TRUE(std::equal(out.begin(), out.begin() + static_cast<long>(n), r.begin())) << size << "/" << round;
            ASSERT_TRUE(std::all_of(r.begin() + static_cast<long>(n), r.end(), [](uint8_t c) { return c == ' '; }))
                << size << "/" << round;
            // Nothing is written past the text.
            ASSERT_TRUE(std::all_of(out.begin() + static_cast<long>(n), out.end(), [](uint8_t c) { return c == 0xAA; }));
        }
    }
}

TEST(RecordPack, TooLittleRoomIsReported) {
    std::vector<uint8_t> r(256);
    for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint8_t>(i * 7);
    std::vector<uint8_t> coded(300);
    EXPECT_EQ(packRecord(r.data(), r.size(), coded.data(), 242), 243u);
    EXPECT_EQ(packRecord(r.data(), r.size(), coded.data(), 258), 258u);  // 2-byte header + 256
}

TEST(RecordPack, RunsAndLiteralsUseTheShortestForms) {
    struct Case {
        size_t literal, run;
        std::vector<uint8_t> expectHeader;  // control bytes of the run
    };
    const Case cases[] = {
        {5, 63, {0x3F}},
        {5, 64, {0x40, 0x40}},
        {5, 8191, {0x5F, 0xFF}},
        {5, 8192, {0x7F, 0x00, 0x20}},
        {5, 65535, {0x7F, 0xFF, 0xFF}},
        {5, 65536, {0x70, 0x00, 0x00, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> r;
        for (size_t i = 0; i < c.literal; ++i) r.push_back(static_cast<uint8_t>('a' + i));
        r.insert(r.end(), c.run, ' ');
        std::vector<uint8_t> coded(r.size() + 16);
        const size_t length = packRecord(r.data(), r.size(), coded.data(), coded.size());
        ASSERT_EQ(coded[0], 0x80 | c.literal);
        const std::vector<uint8_t> header(coded.begin() + 1 + static_cast<long>(c.literal),
                                          coded.begin() + 1 + static_cast<long>(c.literal + c.expectHeader.size()));
        EXPECT_EQ(header, c.expectHeader) << c.run;
        EXPECT_EQ(coded[length - 1], ' ');
    }
}

TEST(RecordPack, ThreeEqualBytesRunOnlyAtTheEnd) {
    const std::vector<uint8_t> middle = {'a', 'x', 'x', 'x', 'b'};
    const std::vector<uint8_t> end = {'a', 'b', 'x', 'x', 'x'};
    std::vector<uint8_t> coded(16);
    EXPECT_EQ(packRecord(middle.data(), middle.size(), coded.data(), coded.size()), 6u);  // one literal
    EXPECT_EQ(packRecord(end.data(), end.size(), coded.data(), coded.size()), 5u);        // literal + run
    EXPECT_EQ(coded[0], 0x82);
    EXPECT_EQ(coded[3], 0x03);
}

TEST(RecordPack, EveryControlFormDecodes) {
    // Runs of 5 'q' in each count form, then a literal "ok" in the 32-bit form.
    const std::vector<uint8_t> coded = {
        0x05, 'q',                          // short count
        0x40, 0x05, 'q',                    // 14-bit count
        0x7F, 0x05, 0x00, 'q',              // 16-bit count
        0x70, 0x05, 0x00, 0x00, 0x00, 'q',  // 32-bit count
        0xF0, 0x02, 0x00, 0x00, 0x00, 'o', 'k',
    };
    std::vector<uint8_t> out(22);
    ASSERT_TRUE(unpackRecord(coded.data(), coded.size(), out.data(), out.size(), out.size()));
    EXPECT_EQ(std::string(out.begin(), out.end()), "qqqqqqqqqqqqqqqqqqqqok");
}

TEST(RecordPack, DamagedCodingNeverWritesPastTheRecord) {
    std::mt19937 rng(11);
    std::vector<uint8_t> out(128);
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> coded(1 + rng() % 40);
        for (uint8_t& b : coded) b = static_cast<uint8_t>(rng());
        // Under ASan any write past `out` fails the test; the result only
        // has to be false when the coding cannot fill the record.
        const bool ok = unpackRecord(coded.data(), coded.size(), out.data(), out.size(), out.size());
        (void)ok;
    }
    const std::vector<uint8_t> tooLong = {0x7F, 0xFF, 0x00, 'x'};  // 255 bytes into 128
    EXPECT_FALSE(unpackRecord(tooLong.data(), tooLong.size(), out.data(), out.size(), out.size()));
    const std::vector<uint8_t> badForm = {0x75, 'x'};
    EXPECT_FALSE(unpackRecord(badForm.data(), badForm.size(), out.data(), out.size(), out.size()));
    const std::vector<uint8_t> shortData = {0x88, 'a', 'b'};
    EXPECT_FALSE(unpackRecord(shortData.data(), shortData.size(), out.data(), 8, 8));
}

TEST(RecordPack, TidyingClearsTheSlackOfTextFields) {
    const RecordLayout layout = RecordLayoutBuilder()
                                    .cstring("C", 6)
                                    .pstring("P", 6)
                                    .beginGroup("G", {2})
                                    .pstring("Q", 4)
                                    .endGroup()
                                    .string("S", 4)
                                    .build();
    const std::vector<TidyField> fields = tidyFields(layout, layout.size());
    ASSERT_EQ(fields.size(), 4u);  // C, P, and Q twice
    uint8_t r[24] = {'a', 'b', 0, 'x', 'y', 'z',  2, 'h', 'i', 'j', 'k', 'l',
                     0,   'm', 'n', 'o',        1, 'r', 's', 't',  'w', 'x', 'y', 'z'};
    tidyRecord(fields, r);
    const uint8_t expect[24] = {'a', 'b', 0, 0,   0,   0,    2, 'h', 'i', 'i', 'i', 'i',
                                0,   0,   0, 0,           1, 'r', 'r', 'r', 'w', 'x', 'y', 'z'};
    EXPECT_EQ(std::vector<uint8_t>(r, r + 24), std::vector<uint8_t>(expect, expect + 24));
}

}  // namespace
}  // namespace varnok::testing
