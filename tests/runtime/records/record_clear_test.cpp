// CLEAR: each type's zero, highest and lowest value, every element of arrays
// and group arrays, and bytes outside the fields left alone.
#include "runtime/records/record_clear.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <vector>

#include "runtime/queue/queue.h"
#include "runtime/records/record_compare.h"

namespace varnok::testing {
namespace {

RecordLayout everyType() {
    return RecordLayoutBuilder()
        .byte("B")
        .shortField("S")
        .ushortField("U")
        .longField("L")
        .ulongField("UL")
        .sreal("F")
        .real("D")
        .decimal("Dec", 5, 2)
        .date("Day")
        .time("Tm")
        .string("Str", 4)
        .cstring("C", 4)
        .pstring("P", 4)
        .beginGroup("G", {2})
        .shortField("GS")
        .string("GT", 2)
        .dim({2})
        .endGroup()
        .build();
}

template <class T>
T at(const uint8_t* r, const RecordLayout& l, int field, uint32_t extra = 0) {
    T v;
    std::memcpy(&v, r + l.field(field)->offset + extra, sizeof v);
    return v;
}

TEST(RecordClear, EachHowGivesEachTypesValue) {
    Queue q(everyType());
    const RecordLayout& l = q.layout();
    uint8_t* r = q.buffer();

    std::memset(r, 0x5A, q.recordSize());
    CLEAR(q);
    EXPECT_EQ(at<uint8_t>(r, l, 1), 0);
    EXPECT_EQ(at<int16_t>(r, l, 2), 0);
    EXPECT_EQ(at<double>(r, l, 7), 0.0);
    EXPECT_EQ(std::memcmp(r + l.field(11)->offset, "    ", 4), 0);
    EXPECT_EQ(r[l.field(12)->offset], 0);
    EXPECT_EQ(r[l.field(13)->offset], 0);
    for (uint32_t e = 0; e < 2; ++e) {  // every element of the group array
        const uint32_t shift = e * l.field(14)->size;
        EXPECT_EQ(at<int16_t>(r, l, 15, shift), 0);
        EXPECT_EQ(std::memcmp(r + l.field(16)->offset + shift, "    ", 4), 0);
    }

    CLEAR(q, 1);
    EXPECT_EQ(at<uint8_t>(r, l, 1), 255);
    EXPECT_EQ(at<int16_t>(r, l, 2), 32767);
    EXPECT_EQ(at<uint16_t>(r, l, 3), 65535);
    EXPECT_EQ(at<int32_t>(r, l, 4), 2147483647);
    EXPECT_EQ(at<uint32_t>(r, l, 5), 4294967295u);
    EXPECT_EQ(at<float>(r, l, 6), FLT_MAX);
    EXPECT_EQ(at<double>(r, l, 7), DBL_MAX);
    EXPECT_EQ(at<int32_t>(r, l, 9), 2147483647);
    EXPECT_EQ(r[l.field(11)->offset], 0xFF);
    EXPECT_EQ(r[l.field(12)->offset + 3], 0);  // the CSTRING keeps its terminator
    EXPECT_EQ(r[l.field(13)->offset], 3);      // the PSTRING is full
    EXPECT_EQ(at<int16_t>(r, l, 15, l.field(14)->size), 32767);
    const std::vector<uint8_t> high(r, r + q.recordSize());

    CLEAR(q, -1);
    EXPECT_EQ(at<int16_t>(r, l, 2), -32768);
    EXPECT_EQ(at<uint16_t>(r, l, 3), 0);
    EXPECT_EQ(at<int32_t>(r, l, 4), -2147483647 - 1);
    EXPECT_EQ(at<double>(r, l, 7), -DBL_MAX);
    EXPECT_EQ(r[l.field(11)->offset], 0);
    const std::vector<uint8_t> low(r, r + q.recordSize());

    // Field by field, the highest value sorts after zero and the lowest before.
    std::vector<uint8_t> zero(q.recordSize());
    CLEAR(q);
    std::memcpy(zero.data(), r, zero.size());
    for (int n = 1; n <= 13; ++n) {
        const FieldDesc& f = *l.field(n);
        if (f.type == FieldType::ULong || f.type == FieldType::UShort || f.type == FieldType::Byte ||
            isTextType(f.type)) {
            EXPECT_LE(compareField(f, low.data() + f.offset, zero.data() + f.offset), 0) << n;
        } else {
            EXPECT_LT(compareField(f, low.data() + f.offset, zero.data() + f.offset), 0) << n;
        }
        EXPECT_GT(compareField(f, high.data() + f.offset, zero.data() + f.offset), 0) << n;
    }
}

TEST(RecordClear, BytesOutsideFieldsAndPastTheRecordStay) {
    RecordLayout l = RecordLayoutBuilder().longField("A").string("B", 3).build();
    std::vector<uint8_t> record(12, 0xEE);
    clearRecordWithin(l, record.data(), 6, 0);  // B does not fit in 6 bytes
    EXPECT_EQ(std::vector<uint8_t>(record.begin(), record.begin() + 4), std::vector<uint8_t>(4, 0));
    EXPECT_EQ(std::vector<uint8_t>(record.begin() + 4, record.end()), std::vector<uint8_t>(8, 0xEE));
}

}  // namespace
}  // namespace varnok::testing
