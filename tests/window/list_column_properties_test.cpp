// The column properties both window layers read and write through one rule:
// what a write leaves, what reads back, and what is not a column's.
#include "window/list_column_properties.h"

#include <gtest/gtest.h>

#include "window/properties.h"

namespace varnok::window {
namespace {

TEST(ListColumnProperties, WritesReadBackAsTheColumnKeepsThem) {
    struct Case {
        int prop;
        const char* written;
        const char* readBack;
    };
    const Case cases[] = {
        {prop::ColumnHeader, "From", "From"},      {prop::ColumnWidth, "44", "44"},
        {prop::ColumnWidth, "-3", "0"},            {prop::ColumnPicture, "n-15.2  ", "@n-15.2"},
        {prop::ColumnPicture, "@s6", "@s6"},       {prop::ColumnPicture, "   ", ""},
        {prop::ColumnAlign, "right", "R"},         {prop::ColumnAlign, "c", "C"},
        {prop::ColumnAlign, "x", "L"},             {prop::ColumnAlign, "", "L"},
        {prop::HeaderAlign, "C", "C"},             {prop::ColumnFormat, "30R(2)|M~To~@n7@", "30R(2)|M~To~@n7@"},
    };
    for (const Case& c : cases) {
        std::vector<ListColumn> columns = parseListFormat("20L(2)|M~Name~@s20@60L(2)|M~Proc~@s40@");
        const std::string other = formatListColumn(columns[0]);
        EXPECT_EQ(setColumnProperty(columns, c.prop, c.written, 2), ColumnWrite::Written) << c.written;
        EXPECT_EQ(columnProperty(columns, c.prop, 2).value_or("?"), c.readBack) << c.written;
        EXPECT_EQ(formatListColumn(columns[0]), other) << "column 1 untouched by " << c.written;
        EXPECT_EQ(columnProperty(columns, prop::Format, 0).value_or("?"), formatListColumns(columns));
    }
}

TEST(ListColumnProperties, NoSuchColumnReadOnlyAndOtherProperties) {
    std::vector<ListColumn> columns = parseListFormat("20L(2)|M~Name~@s20@");
    const std::string before = formatListColumns(columns);
    for (int32_t index : {0, 2, -1}) {
        EXPECT_EQ(setColumnProperty(columns, prop::ColumnHeader, "x", index), ColumnWrite::Ignored) << index;
        EXPECT_EQ(columnProperty(columns, prop::ColumnWidth, index).value_or("?"), "") << index;
    }
    EXPECT_EQ(setColumnProperty(columns, prop::ColumnCount, "5", 0), ColumnWrite::Ignored);
    EXPECT_EQ(columnProperty(columns, prop::ColumnCount, 0).value_or("?"), "1");
    EXPECT_EQ(formatListColumns(columns), before);
    for (int other : {prop::Text, prop::Items, prop::Selected, prop::LineHeight}) {
        EXPECT_EQ(setColumnProperty(columns, other, "3", 1), ColumnWrite::NotAColumnProperty) << other;
        EXPECT_FALSE(columnProperty(columns, other, 1).has_value()) << other;
    }
    EXPECT_EQ(setColumnProperty(columns, prop::Format, "10L|M~A~@s5@10R|M~B~@n3@", 0), ColumnWrite::Written);
    EXPECT_EQ(columnProperty(columns, prop::ColumnCount, 0).value_or("?"), "2");
}

}  // namespace
}  // namespace varnok::window
