// ExportLines against a plain list of the lines added: whatever their
// lengths and however often the record grows, the queue holds every line
// whole, in order, padded with spaces.
#include "queueview/export/export_lines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "runtime/records/packed_decimal.h"
#include "runtime/records/record_reflection.h"

namespace varnok::queueview {
namespace {

void expectHolds(ExportLines& lines, const std::vector<std::string>& model) {
    ASSERT_EQ(lines.count(), model.size());
    for (uint32_t i = 1; i <= model.size(); ++i) {
        GET(lines.queue(), static_cast<int32_t>(i));
        const std::string record(reinterpret_cast<const char*>(lines.queue()->buffer), lines.recordSize());
        ASSERT_GE(record.size(), model[i - 1].size());
        EXPECT_EQ(record.substr(0, model[i - 1].size()), model[i - 1]) << "line " << i;
        EXPECT_EQ(record.find_first_not_of(' ', model[i - 1].size()), std::string::npos) << "line " << i;
    }
}

TEST(ExportLines, GrowsAndKeepsEveryLine) {
    std::mt19937 random(7);
    for (size_t start : {size_t(1), size_t(4), size_t(100), size_t(200)}) {
        ExportLines lines(start);
        std::vector<std::string> model;
        for (int i = 0; i < 300; ++i) {
            const size_t length = random() % 4 == 0 ? random() % 3000 : random() % 40;
            std::string line(length, ' ');
            for (char& c : line) c = static_cast<char>('!' + random() % 90);
            if (length > 2 && random() % 3 == 0) line[length / 2] = ' ';
            ASSERT_TRUE(lines.add(line));
            model.push_back(line);
        }
        expectHolds(lines, model);
        EXPECT_GE(lines.recordSize(), 2900u);
    }
}

TEST(ExportLines, StartSizeIsBounded) {
    EXPECT_EQ(ExportLines(0).recordSize(), 1u);
    EXPECT_EQ(ExportLines(size_t(1) << 40).recordSize(), ExportLines::MaxStartSize);
    ExportLines lines(3);
    ASSERT_TRUE(lines.add(""));
    ASSERT_TRUE(lines.add("abcdefgh"));
    ASSERT_TRUE(lines.add("x"));
    expectHolds(lines, {"", "abcdefgh", "x"});
}

TEST(ExportLines, NoReflectedValueIsLongerThanItsBound) {
    // The widest value of every kind of field.
    RecordLayout layout = RecordLayoutBuilder()
                              .byte("B")
                              .shortField("S")
                              .ushortField("U")
                              .longField("L")
                              .ulongField("UL")
                              .sreal("F")
                              .sreal("Ftiny")
                              .real("R")
                              .real("Rtiny")
                              .decimal("D", 31, 0)
                              .decimal("Dp", 31, 31)
                              .string("Str", 77)
                              .cstring("C", 12)
                              .pstring("P", 9)
                              .beginGroup("G")
                              .string("InG", 6)
                              .endGroup()
                              .build();
    std::vector<uint8_t> record(layout.size(), 'x');
    auto at = [&](int n) { return record.data() + layout.field(n)->offset; };
    auto put = [&](int n, auto v) { std::memcpy(at(n), &v, sizeof v); };
    put(1, uint8_t(255));
    put(2, int16_t(-32768));
    put(3, uint16_t(65535));
    put(4, int32_t(INT32_MIN));
    put(5, uint32_t(UINT32_MAX));
    put(6, -std::numeric_limits<float>::max());
    put(7, -std::numeric_limits<float>::denorm_min());
    put(8, -std::numeric_limits<double>::max());
    put(9, -std::numeric_limits<double>::denorm_min());
    decimalSetExtreme(at(10), layout.field(10)->size, true);
    decimalSetExtreme(at(11), layout.field(11)->size, true);
    at(14)[0] = 200;  // a length beyond the field
    for (int n = 1; n <= static_cast<int>(layout.fieldCount()); ++n) {
        const std::string value = reflectFieldValue(layout, record.data(), n);
        EXPECT_FALSE(value.empty()) << n;
        EXPECT_LE(value.size(), longestValueText(*layout.field(n))) << layout.field(n)->name << ": " << value;
    }
}

}  // namespace
}  // namespace varnok::queueview
