// Which command lines open the window, and what the program does with them
// where there is no display.
#include "app/startup/desktop_arguments.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/app/temp_folder.h"
#include "tests/support/test_system.h"

namespace varnok::app {
namespace {

std::optional<std::string> startFile(std::vector<std::string> words) {
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    return desktopStartFile(static_cast<int>(words.size()), argv.data());
}

TEST(DesktopArguments, OneFileNameOpensTheWindowAnythingElseIsACommand) {
    struct Case {
        std::vector<std::string> words;
        std::optional<std::string> file;
    };
    const Case cases[] = {
        {{"varnok"}, std::nullopt},  // the window, but with no file
        {{"varnok", "main.txa"}, "main.txa"},
        {{"varnok", "../apps/main"}, "../apps/main"},
        {{"varnok", "./Makefile"}, "./Makefile"},
        {{"varnok", "list"}, std::nullopt},
        {{"varnok", "lsit"}, std::nullopt},  // a mistyped command stays a command
        {{"varnok", "--help"}, std::nullopt},
        {{"varnok", "-o.txa"}, std::nullopt},
        {{"varnok", ""}, std::nullopt},
        {{"varnok", "list", "main.txa"}, std::nullopt},
        {{"varnok", "a.txa", "b.txa"}, std::nullopt},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& w : c.words) line += w + " ";
        EXPECT_EQ(startFile(c.words), c.file) << line;
    }
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

// Runs the program with no display at all.
Outcome runWithoutDisplay(const testing::TempFolder& dir, const std::string& args) {
    Outcome r;
    r.status = testing::runProgram(VARNOK_BINARY, args, "", dir.file("out"), dir.file("err"),
                                   "DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM");
    r.out = testing::readFile(dir.file("out"));
    r.err = testing::readFile(dir.file("err"));
    return r;
}

TEST(DesktopArguments, WithoutADisplayTheWindowFormsSaySoAndExitWithTheUsageStatus) {
    testing::TempFolder dir;
#ifndef _WIN32  // a Windows desktop is always there: the window forms open the window (tests/app/win32)
    for (const std::string args : {"", "main.txa"}) {
        SCOPED_TRACE(args);
        const Outcome r = runWithoutDisplay(dir, args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
#endif
    // The commands need no display.
    const Outcome list = runWithoutDisplay(dir, "list " + testing::quoteArgument(dir.write("empty.txa", "")) + " --json");
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "[]\n");
}

}  // namespace
}  // namespace varnok::app
