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

}  // namespace
}  // namespace varnok::queueview
