#include "framework/errors/error_log_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "framework/errors/log_line.h"
#include "runtime/calendar/dates.h"
#include "runtime/pictures/regional_pictures.h"
#include "tests/app/temp_folder.h"
#include "tests/framework/errors/current_folder.h"

namespace varnok::framework {
namespace {

using testing::InFolder;
using testing::readFile;
using testing::TempFolder;

class ErrorLogFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    InFolder inFolder{folder.path()};
    std::string logText() { return readFile(folder.file("KTLError.Log")); }
};

TEST_F(ErrorLogFileTest, OpenMakesTheFileAndLinesAreAppended) {
    ErrorLogFile log;
    EXPECT_FALSE(std::filesystem::exists(folder.file("KTLError.Log")));
    ASSERT_EQ(log.Open(false), 0);
    EXPECT_TRUE(std::filesystem::exists(folder.file("KTLError.Log")));
    EXPECT_EQ(log.WriteLine("first"), 0);
    EXPECT_EQ(log.WriteLine("second   "), 0);
    EXPECT_EQ(log.WriteLine(""), 0);
    EXPECT_EQ(log.WriteLine("   "), 0);
    EXPECT_EQ(log.Close(false), 0);
    EXPECT_EQ(logText(), "first\r\nsecond\r\n\r\n\r\n");

    // An existing log is kept and appended to, never truncated.
    ErrorLogFile again;
    ASSERT_EQ(again.Open(false), 0);
    EXPECT_EQ(again.WriteLine("third"), 0);
    EXPECT_EQ(again.Close(false), 0);
    EXPECT_EQ(logText(), "first\r\nsecond\r\n\r\n\r\nthird\r\n");
}

TEST_F(ErrorLogFileTest, LinesAreCutAtTheRecordSize) {
    ErrorLogFile log;
    ASSERT_EQ(log.Open(false), 0);
    EXPECT_EQ(log.WriteLine(std::string(1500, 'x')), 0);
    EXPECT_EQ(log.Close(false), 0);
    EXPECT_EQ(logText(), std::string(1024, 'x') + "\r\n");
}

TEST_F(ErrorLogFileTest, UsageCountsNestedOpensAndCloses) {
    ErrorLogFile log;
    EXPECT_EQ(log.WriteLine("closed"), 5) << "no write before an open";
    EXPECT_EQ(log.usage(), 0);
    // Each step: operation, force, expected result, expected usage afterwards.
    const struct {
        char op;
        bool force;
        uint8_t result;
        int32_t usage;
    } steps[] = {
        {'O', false, 0, 1}, {'O', false, 0, 2}, {'O', true, 0, 3},  {'W', false, 0, 3},
        {'C', false, 0, 2}, {'W', false, 0, 2}, {'C', false, 0, 1}, {'W', false, 0, 1},
        {'C', false, 0, 0}, {'W', false, 5, 0}, {'C', false, 0, 0},  // never below 0
        {'O', false, 0, 1}, {'O', false, 0, 2}, {'C', true, 0, 0},  {'W', false, 5, 0},
    };
    int step = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(step++);
        uint8_t result = s.op == 'O' ? log.Open(s.force) : s.op == 'C' ? log.Close(s.force) : log.WriteLine("line");
        EXPECT_EQ(result, s.result);
        EXPECT_EQ(log.usage(), s.usage);
    }
    EXPECT_EQ(logText(), "line\r\nline\r\nline\r\n");
}

TEST_F(ErrorLogFileTest, ALogThatCannotBeMadeFailsUntilItCanAgain) {
    std::filesystem::create_directory(folder.file("KTLError.Log"));
    ErrorLogFile log;
    EXPECT_EQ(log.Open(false), 5);
    EXPECT_EQ(log.usage(), 0) << "a failed open is not counted";
    EXPECT_EQ(log.WriteLine("lost"), 5);
    EXPECT_EQ(log.Close(false), 0);

    std::filesystem::remove(folder.file("KTLError.Log"));
    ASSERT_EQ(log.Open(false), 0);
    EXPECT_EQ(log.WriteLine("back"), 0);
    EXPECT_EQ(log.Close(false), 0);
    EXPECT_EQ(logText(), "back\r\n");
}

TEST_F(ErrorLogFileTest, TheNameIsTakenInTheCurrentDirectoryAtEachOpen) {
    ErrorLogFile log;
    TempFolder other;
    {
        InFolder there(other.path());
        ASSERT_EQ(log.Open(false), 0);
        EXPECT_EQ(log.WriteLine("elsewhere"), 0);
        EXPECT_EQ(log.Close(false), 0);
    }
    ASSERT_EQ(log.Open(false), 0);
    EXPECT_EQ(log.WriteLine("here"), 0);
    EXPECT_EQ(log.Close(false), 0);
    EXPECT_EQ(readFile(other.file("KTLError.Log")), "elsewhere\r\n");
    EXPECT_EQ(logText(), "here\r\n");
}

TEST(ErrorLogLine, DateAtTimeArrowText) {
    replaceRegionalPicturesForTesting(RegionalSettings{});  // MM/dd/yy, 12-hour clock with zeros
    const int32_t date = DATE(12, 8, 2025);
    const int32_t afternoon = ((14 * 60 + 5) * 60 + 9) * 100 + 1;
    EXPECT_EQ(errorLogLine(date, afternoon, "Disk full"), "12/08/25@02:05:09 PM --> Disk full");
    const int32_t morning = ((9 * 60 + 30) * 60 + 0) * 100 + 1;
    EXPECT_EQ(errorLogLine(date, morning, ""), "12/08/25@09:30:00 AM --> ");

    RegionalSettings day;
    day.sShortDate = "dd.MM.yyyy";
    day.iTime = 1;
    replaceRegionalPicturesForTesting(day);
    EXPECT_EQ(errorLogLine(date, afternoon, "x"), "08.12.2025@14:05:09 --> x");
    replaceRegionalPicturesForTesting(RegionalSettings{});
}

}  // namespace
}  // namespace varnok::framework
