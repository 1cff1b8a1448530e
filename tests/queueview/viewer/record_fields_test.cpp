// The record view's field list: names with and without prefixes, arrays one
// entry per element, groups left out, dates shown beside their numbers.
#include "queueview/viewer/record_fields.h"

#include <gtest/gtest.h>

#include <cstring>

#include "queueview/viewer/column_typing.h"
#include "runtime/records/record_reflection.h"

namespace varnok::queueview {
namespace {

struct Pair {
    std::string name;
    std::string value;
};

std::vector<Pair> entries(Queue& fieldQ) {
    std::vector<Pair> out;
    for (uint32_t i = 1; i <= RECORDS(fieldQ); ++i) {
        GET(fieldQ, int32_t(i));
        out.push_back({reflectFieldValue(fieldQ.decl(), 1), reflectFieldValue(fieldQ.decl(), 2)});
    }
    return out;
}

TEST(RecordFields, ValuesInTheDateRangeShowTheirDate) {
    struct Case {
        const char* value;
        const char* shown;
    };
    const Case cases[] = {
        {"54789", "54789 (31/12/1950)"},
        {"54425", "54425 (01/01/1950)"},
        {"90949", "90949 (31/12/2049)"},
        {"54424", "54424"},
        {"90950", "90950"},
        {"60000.5", "60000.5"},
        {"6e4", "6e4 (07/04/1965)"},
        {"6.0e4", "6.0e4"},
        {"-60000", "-60000"},
        {"abc", "abc"},
        {"", ""},
        {"0", "0"},
        {"+60000", "+60000 (07/04/1965)"},
        {"00000000000060000", "00000000000060000 (07/04/1965)"},
    };
    for (const Case& c : cases) EXPECT_EQ(recordViewValue(c.value), c.shown) << c.value;
}

// The record view and the typing pass agree on what is a date: a value the
// record view dates is one that types a column as dates, and the other way
// round for every value written without a '.'.
TEST(RecordFields, DatesAsTheColumnTypingSeesThem) {
    struct Case {
        const char* value;
        const char* date;  // nullptr: no date
    };
    const Case cases[] = {
        {"60000", "07/04/1965"},
        {"+60000", "07/04/1965"},
        {"060000", "07/04/1965"},
        {"6e4", "07/04/1965"},
        {"0000000060000", "07/04/1965"},
        {"90949", "31/12/2049"},
        {"90950", nullptr},  // the day after the range
        {"9095e1", nullptr},
        {"54424", nullptr},
        {"1e400", nullptr},  // beyond a double
    };
    for (const Case& c : cases) {
        ColumnEntry column;
        takeColumnValue(column, c.value, true);
        EXPECT_EQ(column.Numeric, 1) << c.value;
        EXPECT_EQ(column.DateField, c.date ? 1 : 0) << c.value;
        EXPECT_EQ(columnLook(column).picture, c.date ? "@d06" : "@n-15") << c.value;
        const std::string expected = c.date ? std::string(c.value) + " (" + c.date + ")" : std::string(c.value);
        EXPECT_EQ(recordViewValue(c.value), expected) << c.value;
    }
}

TEST(RecordFields, Prefixes) {
    EXPECT_EQ(withoutPrefix("Q:NAME"), "NAME");
    EXPECT_EQ(withoutPrefix("REM:Icon"), "Icon");
    EXPECT_EQ(withoutPrefix("Plain"), "Plain");
    EXPECT_EQ(withoutPrefix(":x"), "x");
    EXPECT_EQ(withoutPrefix("a:b:c"), "b:c");
    const std::string late = std::string(79, 'p') + ":tail";
    EXPECT_EQ(withoutPrefix(late), late) << "a ':' past the 79th character is no prefix";
    const std::string edge = std::string(78, 'p') + ":tail";
    EXPECT_EQ(withoutPrefix(edge), "tail");
}

TEST(RecordFields, OneEntryPerFieldAndElementGroupsLeftOut) {
    RecordLayoutBuilder b;
    b.string("Q:Name", 10).date("Q:Born");
    b.beginGroup("Q:Pair").byte("Q:Left").byte("Q:Right").endGroup();
    b.shortField("Q:Score").dim({3});
    b.string("Q:", 2);
    b.longField("Q:Last");
    const RecordLayout layout = b.build();
    std::vector<uint8_t> record(layout.size(), 0);
    std::memcpy(record.data(), "Anna      ", 10);
    const int32_t born = 54789;
    std::memcpy(record.data() + 10, &born, 4);
    record[14] = 1;
    record[15] = 2;
    const int16_t scores[3] = {10, -4, 300};
    std::memcpy(record.data() + 16, scores, 6);
    std::memcpy(record.data() + 22, "zz", 2);
    const int32_t last = 9;
    std::memcpy(record.data() + 24, &last, 4);

    Queue fieldQ(fieldQueueLayout());
    fillFieldQueue(fieldQ, layout, record.data(), true);
    // Stripped, "Q:" is an empty name: the list ends before it.
    const std::vector<Pair> stripped = entries(fieldQ);
    const std::vector<Pair> expected = {
        {"Name", "Anna"},   {"Born", "54789 (31/12/1950)"}, {"Left", "1"},  {"Right", "2"},
        {"Score_1", "10"},  {"Score_2", "-4"},               {"Score_3", "300"},
    };
    ASSERT_EQ(stripped.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(stripped[i].name, expected[i].name) << i;
        EXPECT_EQ(stripped[i].value, expected[i].value) << i;
    }

    fillFieldQueue(fieldQ, layout, record.data(), false);  // frees first
    const std::vector<Pair> kept = entries(fieldQ);
    ASSERT_EQ(kept.size(), expected.size() + 2) << "unstripped, every field shows";
    EXPECT_EQ(kept[0].name, "Q:Name");
    EXPECT_EQ(kept[4].name, "Q:Score_1");
    EXPECT_EQ(kept[7].name, "Q:");
    EXPECT_EQ(kept[7].value, "zz");
    EXPECT_EQ(kept[8].name, "Q:Last");
}

TEST(RecordFields, LongValuesAreCutToTheField) {
    const RecordLayout layout = RecordLayoutBuilder().string("Big", 3000).build();
    std::vector<uint8_t> record(3000, 'x');
    Queue fieldQ(fieldQueueLayout());
    fillFieldQueue(fieldQ, layout, record.data(), true);
    ASSERT_EQ(RECORDS(fieldQ), 1u);
    GET(fieldQ, 1);
    EXPECT_EQ(reflectFieldValue(fieldQ.decl(), 2), std::string(FieldValueSize, 'x'));
}

}  // namespace
}  // namespace varnok::queueview
