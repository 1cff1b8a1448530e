#include "app/txa/line_reading.h"

#include <gtest/gtest.h>

#include "app/txa/txa_records.h"
#include "tests/app/temp_folder.h"
#include "tests/app/txa_reference.h"

namespace varnok::app {
namespace {

// The second half begins just past the first line end of the file's own
// kind at or after the middle (a lone LF is text in a CR LF file, and a CR
// LF whose CR lies before the middle is passed over); without one there is
// no second half. Its lines are the file's lines from there on.
TEST(SecondHalf, BeginsJustPastALineEndOfTheFilesKindAfterTheMiddle) {
    struct Case {
        const char* bytes;
        LineEnd end;
        uint64_t from;  // 0: no second half
    };
    const Case cases[] = {
        {"aaaa\r\nbbbb\r\ncc", LineEnd::CrLf, 12},
        {"aaaa\nbbbb\nc\r\ndd", LineEnd::CrLf, 13},
        {"abcd\r\nefgh\r\nij", LineEnd::CrLf, 12},
        {"abcd\r\nefgh", LineEnd::CrLf, 0},
        {"aaaaaa\nbb\ncc", LineEnd::CrLf, 0},
        {"aaaa\nbbbb\ncc", LineEnd::Lf, 10},
        {"aaaaaaaaa\n", LineEnd::Lf, 0},
        {"ab\r\ncdefghij", LineEnd::CrLf, 0},
    };
    testing::TempFolder dir;
    for (const Case& c : cases) {
        const std::string bytes = c.bytes;
        platform::InputFile file;
        ASSERT_TRUE(file.open(dir.write("halves.txt", bytes))) << bytes;
        Queue lineQ{lineLayout()};
        CLEAR(lineQ);  // to spaces, as a load starts
        BytesRead read{0};
        std::unique_ptr<SecondHalf> half = SecondHalf::start(file, lineQ, bytes.size(), 3, c.end, true, read);
        EXPECT_EQ(half ? half->from() : 0, c.from) << bytes;
        if (!half) continue;
        LongLineTails tails;
        HeaderLines headers;
        LineAppender appender{lineQ, &tails, &headers, lineQ.buffer()};
        int error = 0;
        EXPECT_EQ(half->appendTo(appender, &error), ReadEnd::Done) << bytes;
        EXPECT_EQ(read.load(), bytes.size() - c.from) << bytes;
        std::vector<std::string> expected;
        for (const std::string& line : testing::refSplit(bytes.substr(c.from)))
            expected.push_back(testing::rstrip(line));
        EXPECT_EQ(testing::linesOf(lineQ), expected) << bytes;
    }
}

}  // namespace
}  // namespace varnok::app
