// The format and deformat subcommands through the command line: exact output
// (one newline, blanks kept), exit statuses, values that look like options,
// and UTF-8 in and out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cli/command_line.h"
#include "tests/app/temp_folder.h"
#include "runtime/calendar/dates.h"
#include "runtime/locale/locale.h"
#include "runtime/pictures/regional_pictures.h"

namespace varnok::app {
namespace {

using testing::TempFolder;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

using Args = std::vector<std::string>;

// Runs "varnok <command> <args...>" in this process.
Outcome run(const std::string& command, const Args& args) {
    Args all = {"varnok", command};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = runCommandLine(static_cast<int>(argv.size()), argv.data());
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
        const Outcome r = run("format", c.args);
        EXPECT_EQ(r.status, ExitOk) << c.args[0];
        EXPECT_EQ(r.out, c.out) << c.args[0];
        EXPECT_EQ(r.err, "") << c.args[0];
    }
}

TEST_F(Commands, FormatRejectsMissingArgumentsAndNonNumbers) {
    for (const Args& args : {Args{}, Args{"5"}, Args{"--"}, Args{"1", "@n5", "extra"}}) {
        const Outcome r = run("format", args);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("varnok: format: expects VALUE and PICTURE"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("(try 'varnok format --help')"), std::string::npos) << r.err;
    }
    for (const char* picture : {"@n9.2", "@d1", "@t1", "@e12.1"}) {
        const Outcome r = run("format", {"12abc", picture});
        EXPECT_EQ(r.status, ExitUsage) << picture;
        EXPECT_EQ(r.out, "") << picture;
        EXPECT_EQ(r.err, "varnok: format: '12abc' is not a number (try 'varnok format --help')\n") << picture;
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
        const Outcome r = run("deformat", c.args);
        EXPECT_EQ(r.status, ExitOk) << c.args[0];
        EXPECT_EQ(r.out, c.out) << c.args[0];
    }
    for (const Args& args : {Args{}, Args{"--"}, Args{"1", "@n5", "extra"}}) {
        const Outcome r = run("deformat", args);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_NE(r.err.find("varnok: deformat: expects TEXT and an optional PICTURE"), std::string::npos) << r.err;
    }
}

TEST_F(Commands, TextsAreUtf8OnTheCommandLineAndWindows1252Inside) {
    TempFolder dir;
    reinitialiseLocale(dir.write("varnok.ENV", "ORVMONTH=Januar,Februar,M\xE4rz\r\nORVMON=Jan,Feb,M\xE4r\r\n"));
    const std::string march5 = std::to_string(DATE(3, 5, 2009));
    Outcome f = run("format", {march5, "@d4"});
    EXPECT_EQ(f.status, ExitOk) << f.err;
    EXPECT_EQ(f.out, "M\xC3\xA4rz  5, 2009     \n");  // nine positions for the name, as picture widths go
    Outcome d = run("deformat", {"M\xC3\xA4rz 5, 2009", "@d4"});  // the abbreviation picks the month
    EXPECT_EQ(d.status, ExitOk) << d.err;
    EXPECT_EQ(d.out, march5 + "\n");
    // A string is cut and padded by characters, not by UTF-8 bytes.
    Outcome s = run("format", {"Caf\xC3\xA9!", "@s6"});
    EXPECT_EQ(s.out, "Caf\xC3\xA9! \n");
    Outcome p = run("format", {"5", "@p\xC2\xB0#p"});
    EXPECT_EQ(p.out, "\xC2\xB0" "5\n");

    for (const Args& args : {Args{"\xE4\xB8\xAD", "@s3"}, Args{"1", "@s\xFF"}}) {
        Outcome bad = run("format", args);
        EXPECT_EQ(bad.status, ExitUsage);
        EXPECT_EQ(bad.out, "");
        EXPECT_NE(bad.err.find("is not Windows-1252 text"), std::string::npos) << bad.err;
    }
    Outcome badText = run("deformat", {"\xE4\xB8\xAD"});
    EXPECT_EQ(badText.status, ExitUsage);
    resetLocaleToDefaults();
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
