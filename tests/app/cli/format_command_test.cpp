// The format and deformat subcommands: exact output (one newline, blanks
// kept), exit statuses, and values that look like options.
#include <gtest/gtest.h>

#include <string>

#include "app/cli/command_line.h"
#include "runtime/calendar/dates.h"
#include "runtime/locale/locale.h"
#include "runtime/pictures/regional_pictures.h"

namespace varnok::app {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(int (*command)(const Args&), const Args& args) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = command(args);
    std::string out = ::testing::internal::GetCapturedStdout();
    std::string err = ::testing::internal::GetCapturedStderr();
    return Outcome{status, out, err};
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        resetLocaleToDefaults();
        replaceRegionalPicturesForTesting(RegionalSettings{});
    }
};

TEST_F(Commands, FormatPrintsTheTextAndOneNewline) {
    struct Case {
        Args args;
        std::string out;
    };
    const Case cases[] = {
        {{"1234567.891", "@n-15.2"}, "   1,234,567.89\n"},
        {{"-5", "@n-15.2"}, "          -5.00\n"},
        {{"--", "-5", "@n9.2-"}, "    5.00-\n"},
        {{"0", "@n9.2B"}, "         \n"},
        {{"hello", "@s7"}, "hello  \n"},
        {{"-x", "@s3"}, "-x \n"},
        {{"555-1234", "@p###-####p"}, "555-1234\n"},
        {{"abc", "@k##k"}, "ab\n"},
        {{"1234.5", "@e12.1"}, " 1.2345E+003\n"},
        {{std::to_string(DATE(1, 5, 2009)), "@d3"}, "JAN  5,2009\n"},
        {{std::to_string(14 * 360000 + 7 * 6000 + 1), "@t3"}, " 2:07PM\n"},
        {{"5", "@n"}, "\n"},       // invalid picture: empty line
        {{"5", "@s0"}, "\n"},
        {{"nonsense", "@q9"}, "\n"},
    };
    for (const Case& c : cases) {
        const Outcome r = run(formatCommand, c.args);
        EXPECT_EQ(r.status, ExitOk) << c.args[0];
        EXPECT_EQ(r.out, c.out) << c.args[0];
        EXPECT_EQ(r.err, "") << c.args[0];
    }
}

TEST_F(Commands, FormatRejectsMissingArgumentsAndNonNumbers) {
    for (const Args& args : {Args{}, Args{"5"}, Args{"--"}, Args{"1", "@n5", "extra"}}) {
        const Outcome r = run(formatCommand, args);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("usage: varnok format VALUE PICTURE"), std::string::npos);
    }
    for (const char* picture : {"@n9.2", "@d1", "@t1", "@e12.1"}) {
        const Outcome r = run(formatCommand, {"12abc", picture});
        EXPECT_EQ(r.status, ExitUsage) << picture;
        EXPECT_EQ(r.out, "") << picture;
        EXPECT_NE(r.err.find("'12abc' is not a number"), std::string::npos) << picture;
    }
}

TEST_F(Commands, DeformatWithAndWithoutPicture) {
    struct Case {
        Args args;
        std::string out;
    };
    const Case cases[] = {
        {{"(1,234.50)", "@n(10.2)"}, "-1234.50\n"},
        {{"-5"}, "-5\n"},
        {{"abc12.5x"}, "12.5\n"},
        {{"02:30PM", "@t3"}, "5220001\n"},
        {{"JAN  5,2009", "@d3"}, std::to_string(DATE(1, 5, 2009)) + "\n"},
        {{"12", "@n"}, "\n"},
        {{"--", "-7"}, "-7\n"},
    };
    for (const Case& c : cases) {
        const Outcome r = run(deformatCommand, c.args);
        EXPECT_EQ(r.status, ExitOk) << c.args[0];
        EXPECT_EQ(r.out, c.out) << c.args[0];
    }
    for (const Args& args : {Args{}, Args{"--"}, Args{"1", "@n5", "extra"}}) {
        const Outcome r = run(deformatCommand, args);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_NE(r.err.find("usage: varnok deformat TEXT [PICTURE]"), std::string::npos);
    }
}

TEST_F(Commands, DispatcherPassesNegativeValuesThrough) {
    char program[] = "varnok", name[] = "format", value[] = "-5", picture[] = "@n-6.1";
    char* argv[] = {program, name, value, picture};
    ::testing::internal::CaptureStdout();
    const int status = runCommandLine(4, argv);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "  -5.0\n");
    EXPECT_EQ(status, ExitOk);
}

}  // namespace
}  // namespace varnok::app
