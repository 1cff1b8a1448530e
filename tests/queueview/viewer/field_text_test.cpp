// FieldTextReader gives, for every field type, exactly the text the record
// reflection gives, read from random records.
#include "queueview/viewer/field_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "runtime/records/record_reflection.h"

namespace varnok::queueview {
namespace {

RecordLayout everyType() {
    RecordLayoutBuilder b;
    b.byte("B").shortField("S").ushortField("US").longField("L").ulongField("UL");
    b.date("D").time("T").sreal("SR").real("R").decimal("DEC", 9, 2);
    b.string("Str", 12).cstring("CStr", 8).pstring("PStr", 8);
    b.field(FieldType::PDecimal, "PD", 5, {}, 3);
    b.field(FieldType::Queue, "Ref", 4);
    b.beginGroup("G").string("G1", 3).byte("G2").endGroup();
    b.longField("Arr").dim({3});
    return b.build();
}

TEST(FieldText, AgreesWithTheReflectionOnRandomRecords) {
    const RecordLayout layout = everyType();
    std::mt19937 random(7);
    std::vector<uint8_t> record(layout.size());
    FieldTextReader reader;
    for (int round = 0; round < 2000; ++round) {
        for (uint8_t& b : record) {
            // Plenty of spaces and zeros, so trimming and terminators matter.
            const unsigned r = random() % 8;
            b = r < 3 ? ' ' : (r == 3 ? 0 : static_cast<uint8_t>(random()));
        }
        for (int f = 0; f <= int(layout.fieldCount()) + 1; ++f) {
            const uint32_t elements = std::max<uint32_t>(1, reflectElementCount(layout, f));
            for (uint32_t e = 0; e <= elements + 1; ++e) {
                ASSERT_EQ(std::string(reader.text(layout, record.data(), f, e)),
                          reflectFieldValue(layout, record.data(), f, e))
                    << "field " << f << " element " << e << " round " << round;
            }
        }
    }
}

TEST(FieldText, MissingRecordGivesNothing) {
    const RecordLayout layout = everyType();
    FieldTextReader reader;
    EXPECT_TRUE(reader.text(layout, nullptr, 1).empty());
}

TEST(FieldText, LengthWithoutTrailingSpaces) {
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
        EXPECT_EQ(lengthWithoutTrailingSpaces(c.text.data(), c.text.size()), c.length) << '"' << c.text << '"';
}

// Every length up to a few blocks of the wide path, with the last
// non-space at every place (and none at all), against a byte-by-byte trim.
TEST(FieldText, LengthWithoutTrailingSpacesAgreesWithTheByteByByteTrim) {
    for (size_t size = 0; size <= 200; ++size) {
        for (size_t last = 0; last <= size; ++last) {  // last == size: spaces only
            std::string text(size, ' ');
            for (size_t i = 0; i < last; i += 3) text[i] = 'a';
            if (last < size) text[last] = 'z';
            size_t expected = size;
            while (expected > 0 && text[expected - 1] == ' ') --expected;
            ASSERT_EQ(lengthWithoutTrailingSpaces(text.data(), text.size()), expected)
                << "size " << size << " last " << last;
        }
    }
}

}  // namespace
}  // namespace varnok::queueview
