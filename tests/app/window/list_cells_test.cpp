#include "window/list_cells.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/txa/txa_records.h"
#include "runtime/pictures/picture.h"
#include "runtime/queue/queue.h"
#include "framework/windows/queue_list_source.h"

namespace varnok::window {
namespace {

const char* const kMainFormat =
    "12L(2)I@p p@130L(2)|M~Extension~@s64@110L(2)|M~Procedure~@s64@80L(2)|M~Template~@s40@"
    "30C(2)|M~From~@s6@30C(2)|M~To~@s6@";

TEST(ColumnFields, IconColumnsTakeTheNextFieldForTheirIconNumber) {
    struct Case {
        const char* format;
        std::vector<std::pair<int, int>> fields;
    };
    const Case cases[] = {
        {kMainFormat, {{1, 2}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}}},
        {"217L(2)|M~Message~S(255)@s255@42L(2)|M~Category~L(1)@s255@", {{1, 0}, {2, 0}}},
        {"10I10I10L", {{1, 2}, {3, 4}, {5, 0}}},
        {"10L10LI10L", {{1, 0}, {2, 3}, {4, 0}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        std::vector<ColumnFields> fields = columnFields(parseListFormat(c.format));
        ASSERT_EQ(fields.size(), c.fields.size());
        for (size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(fields[i].field, c.fields[i].first) << "column " << i + 1;
            EXPECT_EQ(fields[i].iconField, c.fields[i].second) << "column " << i + 1;
        }
    }
}

TEST(CellText, FieldTextThroughThePictureWithoutPadding) {
    struct Case {
        const char* picture;
        const char* value;
        const char* shown;
    };
    const Case cases[] = {
        {"@s64", "Logger", "Logger"},
        {"@s6", "1234567", "123456"},           // cut to the picture's width
        {"@s20", "two  words", "two  words"},   // inner blanks stay
        {"@p p", "1", ""},                      // a pattern without digit positions shows nothing
        {"@p p", "0", ""},
        {"@n-15.2", "-1234.5", "-1,234.50"},
        {"@n-15", "42", "42"},
        {"@n3", "7", "7"},
        {"@d06", "60000", "07/04/1965"},        // the text read as a standard date
        {"@s6", "", ""},
        {"@x", "anything", ""},                  // an invalid picture shows nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.picture) + " " + c.value);
        EXPECT_EQ(cellText(c.value, compilePicture(c.picture)), c.shown);
    }
}

TEST(IconNumber, PositiveNumbersOnly) {
    EXPECT_EQ(iconNumber("2"), 2);
    EXPECT_EQ(iconNumber(" 12"), 12);
    EXPECT_EQ(iconNumber("0"), 0);
    EXPECT_EQ(iconNumber(""), 0);
    EXPECT_EQ(iconNumber("-1"), 0);
    EXPECT_EQ(iconNumber("x"), 0);
    EXPECT_EQ(iconNumber("99999999999"), 0);
}

TEST(ListCells, ColumnsWithoutPictureShowTheTextAndOutOfRangeIsEmpty) {
    ListCells cells(parseListFormat("20L20R"));
    std::map<int, std::string> row = {{1, "left  "}, {2, "  right"}};
    auto field = [&](int n) { return row[n]; };
    EXPECT_EQ(cells.text(0, field), "left");
    EXPECT_EQ(cells.text(1, field), "  right");
    EXPECT_EQ(cells.text(2, field), "");
    EXPECT_EQ(cells.text(-1, field), "");
    EXPECT_EQ(cells.icon(0, field), 0);
}

// The main window's list over a real ExtensionQ: every cell of every row.
TEST(ListCells, MainWindowListOverExtensionQueue) {
    Queue queue(app::extensionLayout());
    struct Row {
        uint8_t ticked;
        const char* name;
        const char* proc;
        const char* templ;
        int32_t from, to;
    };
    const Row rows[] = {
        {0, "Logger", "", "ABC", 12, 40},
        {1, "Resizer", "Main", "ABC", 120, 180},
        {0, "Logger", "BrowseCustomers", "XYZ", 900, 0},
    };
    for (const Row& r : rows) {
        app::ExtensionRecord rec;
        rec.removeThis = r.ticked;
        rec.icon = r.ticked + 1;
        app::setFixed(rec.extensionName, sizeof rec.extensionName, r.name);
        app::setFixed(rec.procName, sizeof rec.procName, r.proc);
        app::setFixed(rec.templateName, sizeof rec.templateName, r.templ);
        rec.fromLineNo = r.from;
        rec.toLineNo = r.to;
        rec.write(queue.buffer());
        ADD(queue);
    }
    framework::QueueListSource source(queue);
    ListCells cells(parseListFormat(kMainFormat));
    ASSERT_EQ(cells.columnCount(), 6);
    for (int32_t r = 1; r <= 3; ++r) {
        SCOPED_TRACE(r);
        const Row& row = rows[r - 1];
        auto field = [&](int n) { return source.fieldText(r, n); };
        EXPECT_EQ(cells.text(0, field), "");
        EXPECT_EQ(cells.icon(0, field), row.ticked + 1);
        EXPECT_EQ(cells.text(1, field), row.name);
        EXPECT_EQ(cells.text(2, field), row.proc);
        EXPECT_EQ(cells.text(3, field), row.templ);
        EXPECT_EQ(cells.text(4, field), std::to_string(row.from));
        EXPECT_EQ(cells.text(5, field), std::to_string(row.to));
        for (int c = 1; c < 6; ++c) EXPECT_EQ(cells.icon(c, field), 0);
    }
    // All the cells of a row cost one read of the queue.
    EXPECT_EQ(source.reads(), 3u);
}

}  // namespace
}  // namespace varnok::window
