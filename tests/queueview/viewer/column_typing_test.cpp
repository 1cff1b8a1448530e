// The typing pass and the column looks: the cases the viewer must get right,
// a differential check against a plain reading of every value, and the
// promise that the viewed queue is left as it was.
#include "queueview/viewer/column_typing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "runtime/calendar/dates.h"
#include "runtime/pictures/numeric_text.h"
#include "runtime/records/record_reflection.h"

namespace varnok::queueview {
namespace {

// One STRING(400) field named `name`, one entry per value.
std::unique_ptr<Queue> textQueue(const std::string& name, const std::vector<std::string>& values) {
    auto q = std::make_unique<Queue>(RecordLayoutBuilder().string(name, 400).build());
    for (const std::string& v : values) {
        std::memset(q->buffer(), ' ', 400);
        std::memcpy(q->buffer(), v.data(), std::min<size_t>(v.size(), 400));
        ADD(*q);
    }
    return q;
}

std::unique_ptr<Queue> longQueue(const std::string& name, int32_t from, int32_t to) {
    auto q = std::make_unique<Queue>(RecordLayoutBuilder().longField(name).build());
    for (int32_t v = from; v <= to; ++v) {
        std::memcpy(q->buffer(), &v, 4);
        ADD(*q);
    }
    return q;
}

std::vector<ColumnEntry> typed(QueueDecl* q) {
    std::vector<ColumnEntry> columns;
    DimensionedField dimensioned;
    EXPECT_TRUE(describeColumns(q, columns, dimensioned));
    typeColumns(q, columns);
    return columns;
}

TEST(ColumnTyping, DateRangeIsThe1950sTo2040s) {
    EXPECT_EQ(firstViewerDate(), 54425);
    EXPECT_EQ(lastViewerDate(), 90949);
}

struct LookCase {
    const char* what;
    std::unique_ptr<Queue> queue;
    const char* picture;
    int32_t width;
    char align;
};

TEST(ColumnTyping, LooksForTheTypicalColumns) {
    std::vector<LookCase> cases;
    cases.push_back({"0 and 1: numbers, not dates", longQueue("flag", 0, 1), "@n-15", 4 * 4 + 10, 'R'});
    cases.push_back({"60000 to 60100: dates", longQueue("day", 60000, 60100), "@d06", 50, 'C'});
    cases.push_back({"one decimal and two", textQueue("x", {"1.5", "2.25"}), "@n-15.2", 4 * 4 + 10, 'R'});
    cases.push_back({"one decimal alone", textQueue("x", {"1.5"}), "@n-15.2", 4 * 3 + 10, 'R'});
    cases.push_back({"three decimals", textQueue("x", {"1.125"}), "@n-15.3", 4 * 5 + 10, 'R'});
    cases.push_back({"whole numbers as text", textQueue("x", {"12", "-7", "+3"}), "@n-15", 4 * 2 + 10, 'R'});
    cases.push_back({"a 300-character text", textQueue("t", {std::string(300, 'a'), "b"}), "@s255", 4 * 300 + 10, 'L'});
    cases.push_back({"a 30-character text", textQueue("t", {std::string(30, 'a')}), "@s30", 4 * 30 + 10, 'L'});
    cases.push_back({"a 255-character text", textQueue("t", {std::string(255, 'a')}), "@s255", 4 * 255 + 10, 'L'});
    cases.push_back({"a 256-character text", textQueue("t", {std::string(256, 'a')}), "@s255", 4 * 256 + 10, 'L'});
    cases.push_back({"a short text", textQueue("t", {"abc", "12"}), "@s20", 4 * 3 + 10, 'L'});
    cases.push_back({"a long name, short text", textQueue(std::string(25, 'n'), {"abc"}), "@s25", 4 * 25 + 10, 'L'});
    cases.push_back({"a number, then a text", textQueue("t", {"5", "five"}), "@s20", 4 * 4 + 10, 'L'});
    cases.push_back({"a date and a number beyond", textQueue("t", {"60000", "90950"}), "@n-15", 4 * 5 + 10, 'R'});
    cases.push_back({"an empty queue", textQueue("emptyish", {}), "@d06", 50, 'C'});
    cases.push_back({"blank values are not numbers", textQueue("t", {"", " "}), "@s20", 4 * 1 + 10, 'L'});
    for (LookCase& c : cases) {
        const std::vector<ColumnEntry> columns = typed(*c.queue);
        ASSERT_EQ(columns.size(), 1u) << c.what;
        const ColumnLook look = columnLook(columns[0]);
        EXPECT_EQ(look.picture, c.picture) << c.what;
        EXPECT_EQ(look.width, c.width) << c.what;
        EXPECT_EQ(look.align, c.align) << c.what;
        EXPECT_EQ(look.headerAlign, c.align) << c.what;
    }
}

// A point in front counts its decimals like any other point; a point at the
// end counts none. Each value alone, then all of a column together.
TEST(ColumnTyping, DecimalsCountFromALeadingPoint) {
    struct Case {
        std::vector<std::string> values;
        int16_t decimals;
        const char* picture;
    };
    const Case cases[] = {
        {{".5"}, 1, "@n-15.2"},
        {{".25"}, 2, "@n-15.2"},
        {{".125"}, 3, "@n-15.3"},
        {{"1.125"}, 3, "@n-15.3"},
        {{"-.5"}, 1, "@n-15.2"},
        {{" .25"}, 2, "@n-15.2"},
        {{"5."}, 0, "@n-15"},
        {{".5", ".25", ".125"}, 3, "@n-15.3"},
        {{".125", "1.5"}, 3, "@n-15.3"},
        {{".5", "x.25"}, 1, "@s20"},  // a text ends the counting
    };
    for (const Case& c : cases) {
        auto q = textQueue("f", c.values);
        const std::vector<ColumnEntry> columns = typed(*q);
        EXPECT_EQ(columns[0].Decimals, c.decimals) << c.values[0];
        EXPECT_EQ(columnLook(columns[0]).picture, c.picture) << c.values[0];
    }
}

TEST(ColumnTyping, NamesGetTheirFirstLetterInUpperCase) {
    Queue q(RecordLayoutBuilder().string("lyn", 4).longField("fromLineNo").byte("REM:Icon").string("9lives", 2).build());
    const std::vector<ColumnEntry> columns = typed(q);
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[0].PFieldName, "Lyn");
    EXPECT_EQ(columns[1].PFieldName, "FromLineNo");
    EXPECT_EQ(columns[2].PFieldName, "REM:Icon");
    EXPECT_EQ(columns[3].PFieldName, "9lives");
    EXPECT_EQ(columns[1].MaxLen, 10) << "the name's length counts";
}

TEST(ColumnTyping, LengthsAndSameLength) {
    struct Case {
        std::vector<std::string> values;
        int32_t maxFieldLen;
        uint8_t sameLen;
    };
    const Case cases[] = {
        {{"ABCD", "WXYZ", "1234"}, 4, 1},
        {{"AB", "ABCD"}, 4, 0},
        {{"ABCD", "AB"}, 4, 0},
        {{"ABCD", "AB", "ABCD"}, 4, 0},
        {{"A   "}, 1, 1},  // trailing spaces do not count
        {{}, 0, 0},
    };
    for (const Case& c : cases) {
        auto q = textQueue("v", c.values);
        const std::vector<ColumnEntry> columns = typed(*q);
        EXPECT_EQ(columns[0].MaxFieldLen, c.maxFieldLen);
        EXPECT_EQ(columns[0].SameLen, c.sameLen);
        EXPECT_EQ(columns[0].QueueField, 0);
    }
}

TEST(ColumnTyping, DimensionedFieldStopsTheDescription) {
    Queue q(RecordLayoutBuilder().string("name", 4).longField("scores").dim({3, 2}).byte("after").build());
    std::vector<ColumnEntry> columns;
    DimensionedField dimensioned;
    EXPECT_FALSE(describeColumns(q, columns, dimensioned));
    EXPECT_EQ(dimensioned.name, "Scores");
    EXPECT_EQ(dimensioned.dimensions, 6);
    EXPECT_EQ(dimensionedFieldMessage(dimensioned),
              "Column: Scores has 6 dimensions|Cannot view a queue wih dimensioned fields");
}

TEST(ColumnTyping, GroupsCountAsColumns) {
    Queue q(RecordLayoutBuilder().beginGroup("g").string("a", 2).string("b", 3).endGroup().byte("c").build());
    std::memcpy(q.buffer(), "xyabc", 5);
    q.buffer()[5] = 7;
    ADD(q);
    const std::vector<ColumnEntry> columns = typed(q);
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[0].MaxFieldLen, 5) << "the group's text is its bytes";
    EXPECT_EQ(columnLook(columns[3]).picture, "@n-15");
}

TEST(ColumnTyping, TheViewedQueueIsLeftAsItWas) {
    auto q = textQueue("v", {"a", "bb", "ccc"});
    GET(*q, 2);
    std::memcpy(q->buffer(), "changed", 7);  // a buffer the program has not put
    const uint32_t changes = CHANGES(*q);
    const std::vector<uint8_t> buffer(q->buffer(), q->buffer() + q->recordSize());
    typed(*q);
    EXPECT_EQ(POINTER(*q), 2u);
    EXPECT_EQ(CHANGES(*q), changes);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), q->buffer()));
}

// The Part's algorithm read plainly: every value through the reflection and
// the numeric test, nothing skipped.
std::vector<ColumnEntry> plainTyping(Queue& q) {
    std::vector<ColumnEntry> columns;
    DimensionedField d;
    describeColumns(q, columns, d);
    for (uint32_t r = 1; r <= RECORDS(q); ++r) {
        GET(q, int32_t(r));
        for (size_t n = 0; n < columns.size(); ++n) {
            ColumnEntry& c = columns[n];
            const std::string v = reflectFieldValue(q.decl(), int(n + 1));
            const int32_t len = int32_t(v.size());
            if (NUMERIC(v)) {
                // p counts from 1: 0 < p < len.
                const size_t dot = v.find('.');
                const int32_t p = dot == std::string::npos ? 0 : int32_t(dot) + 1;
                if (p > 0 && p < len) c.Decimals = std::max<int16_t>(c.Decimals, int16_t(len - p));
                const double value = std::strtod(v.c_str(), nullptr);
                if (value < 54425 || value > 90949) c.DateField = 0;
            } else {
                c.Numeric = 0;
                c.DateField = 0;
            }
            c.MaxLen = std::max(c.MaxLen, len);
            if (r == 1) {
                c.MaxFieldLen = len;
                c.SameLen = 1;
            } else {
                if (len != c.MaxFieldLen) c.SameLen = 0;
                if (len > c.MaxFieldLen) c.MaxFieldLen = len;
            }
        }
    }
    return columns;
}

TEST(ColumnTyping, AgreesWithThePlainReadingOnRandomQueues) {
    std::mt19937 random(99);
    const char* pieces[] = {"1", "12", "60000", "90949", "90950", "54424", "-3", "2.5", "0.125", " 7",
                            "x", "", "1e3", "6e4", ".5", "5.", "12.000", "abcd", "+88",
                            ".125", "-.25", "0060000", "+6e4", "1e400", "9095e1"};
    for (int round = 0; round < 200; ++round) {
        Queue q(RecordLayoutBuilder().string("a", 12).longField("b").string("c", 6).date("d").build());
        const int rows = int(random() % 12);
        for (int r = 0; r < rows; ++r) {
            std::memset(q.buffer(), ' ', q.recordSize());
            const char* a = pieces[random() % std::size(pieces)];
            std::memcpy(q.buffer(), a, std::strlen(a));
            const int32_t b = int32_t(random() % 3 == 0 ? 54000 + random() % 40000 : random() % 100);
            std::memcpy(q.buffer() + 12, &b, 4);
            const char* c = pieces[random() % std::size(pieces)];
            std::memcpy(q.buffer() + 16, c, std::min<size_t>(6, std::strlen(c)));
            const int32_t d = int32_t(60000 + random() % 100);
            std::memcpy(q.buffer() + 22, &d, 4);
            ADD(q);
        }
        const std::vector<ColumnEntry> fast = typed(q);
        const std::vector<ColumnEntry> plain = plainTyping(q);
        ASSERT_EQ(fast.size(), plain.size());
        for (size_t n = 0; n < fast.size(); ++n) {
            SCOPED_TRACE("round " + std::to_string(round) + " column " + std::to_string(n + 1));
            EXPECT_EQ(fast[n].Numeric, plain[n].Numeric);
            EXPECT_EQ(fast[n].DateField, plain[n].DateField);
            EXPECT_EQ(fast[n].MaxLen, plain[n].MaxLen);
            EXPECT_EQ(fast[n].MaxFieldLen, plain[n].MaxFieldLen);
            EXPECT_EQ(fast[n].SameLen, plain[n].SameLen);
            if (plain[n].Numeric) {
                EXPECT_EQ(fast[n].Decimals, plain[n].Decimals);
            }
            EXPECT_EQ(columnLook(fast[n]).picture, columnLook(plain[n]).picture);
        }
    }
}

TEST(ColumnTyping, AlignmentFollowsThePicturesKind) {
    struct Case {
        const char* picture;
        char align;
    };
    const Case cases[] = {{"@s20", 'L'}, {"@S5", 'L'}, {"@n-15.2", 'R'}, {"@N9", 'R'}, {"@d06", 'C'},
                          {"@D1", 'C'},  {"@t1", 'C'}, {"@T4", 'C'},     {"@p##p", 0},  {"@e12.3", 0},
                          {"s20", 0},    {"@", 0},     {"", 0},          {"@k#k", 0}};
    for (const Case& c : cases) EXPECT_EQ(alignmentForPicture(c.picture), c.align) << c.picture;
}

}  // namespace
}  // namespace varnok::queueview
