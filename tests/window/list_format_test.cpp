#include "window/list_format.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace varnok::window {
namespace {

const char* const kMainFormat =
    "12L(2)I@p p@130L(2)|M~Extension~@s64@110L(2)|M~Procedure~@s64@80L(2)|M~Template~@s40@"
    "30C(2)|M~From~@s6@30C(2)|M~To~@s6@";
const char* const kHistoryFormat = "217L(2)|M~Message~S(255)@s255@42L(2)|M~Category~L(1)@s255@";
const char* const kViewerColumn = "60L(2)|M~Veld~@s20@";

TEST(ListFormat, MainWindowColumns) {
    struct Expected {
        int32_t width;
        char align;
        bool icon, border, resizable;
        const char* header;
        const char* picture;
    };
    const Expected expected[] = {
        {12, 'L', true, false, false, "", "@p p"},
        {130, 'L', false, true, true, "Extension", "@s64"},
        {110, 'L', false, true, true, "Procedure", "@s64"},
        {80, 'L', false, true, true, "Template", "@s40"},
        {30, 'C', false, true, true, "From", "@s6"},
        {30, 'C', false, true, true, "To", "@s6"},
    };
    std::vector<ListColumn> columns = parseListFormat(kMainFormat);
    ASSERT_EQ(columns.size(), std::size(expected));
    for (size_t i = 0; i < columns.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const ListColumn& c = columns[i];
        EXPECT_EQ(c.width, expected[i].width);
        EXPECT_EQ(c.align, expected[i].align);
        EXPECT_TRUE(c.hasIndent);
        EXPECT_EQ(c.indent, 2);
        EXPECT_EQ(c.icon, expected[i].icon);
        EXPECT_EQ(c.rightBorder, expected[i].border);
        EXPECT_EQ(c.resizable, expected[i].resizable);
        EXPECT_EQ(c.hasHeader, i > 0);
        EXPECT_EQ(c.header, expected[i].header);
        EXPECT_EQ(c.picture, expected[i].picture);
        EXPECT_EQ(c.effectiveHeaderAlign(), expected[i].align);  // headers follow the data
        EXPECT_EQ(c.effectiveHeaderIndent(), 2);
        EXPECT_EQ(c.modifiers, "");
        EXPECT_EQ(c.headerModifiers, "");
    }
}

TEST(ListFormat, HistoryWindowHeaderAlignmentAndIgnoredScroll) {
    std::vector<ListColumn> columns = parseListFormat(kHistoryFormat);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].width, 217);
    EXPECT_EQ(columns[0].header, "Message");
    EXPECT_EQ(columns[0].headerAlign, 0);  // "S(255)" is no alignment
    EXPECT_EQ(columns[0].headerModifiers, "S(255)");
    EXPECT_EQ(columns[0].picture, "@s255");
    EXPECT_EQ(columns[1].width, 42);
    EXPECT_EQ(columns[1].header, "Category");
    EXPECT_EQ(columns[1].headerAlign, 'L');
    EXPECT_TRUE(columns[1].hasHeaderIndent);
    EXPECT_EQ(columns[1].effectiveHeaderIndent(), 1);
    EXPECT_EQ(columns[1].indent, 2);  // the data keeps its own
    EXPECT_EQ(columns[1].picture, "@s255");
}

TEST(ListFormat, ViewerFiftyColumns) {
    std::string format;
    for (int i = 0; i < 50; ++i) format += kViewerColumn;
    std::vector<ListColumn> columns = parseListFormat(format);
    ASSERT_EQ(columns.size(), 50u);
    for (const ListColumn& c : columns) EXPECT_EQ(c, columns.front());
    EXPECT_EQ(columns.front().header, "Veld");
    EXPECT_EQ(columns.front().width, 60);
    EXPECT_EQ(columns.front().picture, "@s20");
    EXPECT_EQ(formatListColumns(columns), format);
}

TEST(ListFormat, ProgramFormatsComeBackCharacterForCharacter) {
    for (const char* format : {kMainFormat, kHistoryFormat, kViewerColumn, "10R(-3)*F~a~R(4)Z(2)@n-15.2@",
                               "40L@k@@k@20C~~C"}) {
        EXPECT_EQ(formatListColumns(parseListFormat(format)), format);
    }
}

TEST(ListFormat, PatternAndKeyInPicturesRunToTheirClosingLetter) {
    std::vector<ListColumn> columns = parseListFormat("10L@k@@k@20L@P(###)P@30L@p##@");
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].picture, "@k@@k");
    EXPECT_EQ(columns[1].picture, "@P(###)P");
    // An unclosed pattern ends at the next '@' like any picture.
    EXPECT_EQ(columns[2].picture, "@p##");
}

TEST(ListFormat, ColumnsWithoutPicturesSplitAtNumbers) {
    std::vector<ListColumn> columns = parseListFormat("20L20R(1)~Amount~30C");
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].align, 'L');
    EXPECT_EQ(columns[1].align, 'R');
    EXPECT_EQ(columns[1].indent, 1);
    EXPECT_EQ(columns[1].header, "Amount");
    EXPECT_EQ(columns[2].align, 'C');
    EXPECT_EQ(columns[2].width, 30);
}

TEST(ListFormat, MalformedTextsGiveSensibleColumns) {
    struct Case {
        const char* text;
        size_t columns;
        int32_t width;        // of the first column
        const char* header;   // of the first column
        const char* picture;  // of the first column
    };
    const Case cases[] = {
        {"", 0, 0, "", ""},
        {"   ", 0, 0, "", ""},
        {"~Unclosed header", 1, 0, "Unclosed header", ""},
        {"40L~Name", 1, 40, "Name", ""},
        {"40L@s20", 1, 40, "", "@s20"},
        {"40L(", 1, 40, "", ""},
        {"40L(2", 1, 40, "", ""},
        {"40L(x)~A~@s5@", 1, 40, "A", "@s5"},
        {"((((", 0, 0, "", ""},
        {"))))", 0, 0, "", ""},
        {"@@@@", 2, 0, "", "@"},  // two empty pictures
        {"99999999999L", 1, 999999, "", ""},
        {"#$%^&", 0, 0, "", ""},
        {"12Q(3)~h~(7)@s2@", 1, 12, "h", "@s2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<ListColumn> columns = parseListFormat(c.text);
        ASSERT_EQ(columns.size(), c.columns);
        if (columns.empty()) continue;
        EXPECT_EQ(columns[0].width, c.width);
        EXPECT_EQ(columns[0].header, c.header);
        EXPECT_EQ(columns[0].picture, c.picture);
    }
    EXPECT_EQ(parseListColumn("").width, 0);
    EXPECT_EQ(parseListColumn("5R").align, 'R');
}

// Any text, however broken, parses into columns that write back into a text
// that parses into the same columns.
TEST(ListFormat, WritingAndParsingAgainKeepsTheColumns) {
    const std::string alphabet = "0123456789LCRIMlcrim|~@()SZFpPkK#-. *_/?xX";
    std::mt19937 random(20240601);
    for (int n = 0; n < 5000; ++n) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
        SCOPED_TRACE(text);
        std::vector<ListColumn> columns = parseListFormat(text);
        for (const ListColumn& c : columns) {
            EXPECT_GE(c.width, 0);
            EXPECT_TRUE(c.align == 'L' || c.align == 'C' || c.align == 'R');
        }
        std::string written = formatListColumns(columns);
        ASSERT_EQ(parseListFormat(written), columns) << written;
        EXPECT_EQ(formatListColumns(parseListFormat(written)), written);
    }
}

TEST(ListFormat, OneColumnWrittenAlone) {
    ListColumn c;
    c.width = 50;
    c.align = 'R';
    c.picture = "n-15.2";  // written without its '@'
    EXPECT_EQ(formatListColumn(c), "50R@n-15.2@");
    c.hasHeader = true;
    c.header = "Amount";
    c.headerAlign = 'C';
    EXPECT_EQ(formatListColumn(c), "50R~Amount~C@n-15.2@");
    EXPECT_EQ(parseListColumn(formatListColumn(c)).picture, "@n-15.2");
}

}  // namespace
}  // namespace varnok::window
