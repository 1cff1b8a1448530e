// The command line's frame, in this process: what happens without a command
// (the hook, else the usage), the one form of usage errors whichever way
// CLI11 or a command finds them, and each command's own --help.
#include "app/cli/commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cli/command_line.h"

namespace varnok::app {
namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome run(std::vector<std::string> args, const std::function<int()>& withoutCommand = {}) {
    args.insert(args.begin(), "varnok");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = runCommandLine(static_cast<int>(argv.size()), argv.data(), withoutCommand);
    std::string out = ::testing::internal::GetCapturedStdout();
    return Outcome{status, out, ::testing::internal::GetCapturedStderr()};
}

TEST(CommandLineFrame, WithoutACommandTheHookRunsElseTheUsageIsShown) {
    int calls = 0;
    Outcome hooked = run({}, [&] {
        ++calls;
        return 7;
    });
    EXPECT_EQ(hooked.status, 7);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(hooked.out, "");

    Outcome plain = run({});
    EXPECT_EQ(plain.status, ExitOk);
    EXPECT_EQ(plain.err, "");
    for (const char* word : {"usage: varnok", "list", "remove", "export", "format", "deformat", "exit status"})
        EXPECT_NE(plain.out.find(word), std::string::npos) << word;

    // A command, help or version never reaches the hook.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"--version"}, {"format", "1", "@n3"}})
        run(args, [&] { return ++calls; });
    EXPECT_EQ(calls, 1);
}

TEST(CommandLineFrame, UsageErrorsHaveOneForm) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"frobnicate"}, "varnok: unknown command 'frobnicate' (try 'varnok --help')\n"},
        {{"--frob"}, "varnok: unknown option '--frob' (try 'varnok --help')\n"},
        {{"list"}, "varnok: list: FILE is required (try 'varnok list --help')\n"},
        {{"list", "a", "b", "a"}, "varnok: list: 'a' is named twice (try 'varnok list --help')\n"},
        {{"remove", "a", "b", "-o", "c"},
         "varnok: remove: -o names one output; it cannot be given with several files (try 'varnok remove --help')\n"},
        {{"export", "a", "b", "--csv", "-o", "c"},
         "varnok: export: -o names one output; it cannot be given with several files (try 'varnok export --help')\n"},
        {{"list", "--bogus", "a"},
         "varnok: list: the following argument was not expected: --bogus (try 'varnok list --help')\n"},
        {{"remove", "a", "--row", "0"},
         "varnok: remove: '--row' needs a row number from 1 up, not '0' (try 'varnok remove --help')\n"},
        {{"export", "a"}, "varnok: export: give one of --csv and --xml (try 'varnok export --help')\n"},
        {{"format", "1"}, "varnok: format: expects VALUE and PICTURE, not 1 argument (try 'varnok format --help')\n"},
    };
    for (const Case& c : cases) {
        Outcome r = run(c.args);
        EXPECT_EQ(r.status, ExitUsage) << c.args[0];
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

TEST(CommandLineFrame, EveryCommandHasItsOwnHelp) {
    struct Case {
        std::string command, usage;
    } cases[] = {
        {"list", "usage: varnok list [OPTIONS] FILE...\n"},
        {"remove", "usage: varnok remove [OPTIONS] FILE...\n"},
        {"export", "usage: varnok export [OPTIONS] FILE...\n"},
        {"format", "usage: varnok format [OPTIONS] VALUE PICTURE\n"},
        {"deformat", "usage: varnok deformat [OPTIONS] TEXT [PICTURE]\n"},
    };
    for (const Case& c : cases) {
        for (const char* flag : {"--help", "-h"}) {
            Outcome r = run({c.command, flag});
            EXPECT_EQ(r.status, ExitOk) << c.command;
            EXPECT_NE(r.out.find(c.usage), std::string::npos) << r.out;
            EXPECT_EQ(r.out.find("Subcommands"), std::string::npos) << c.command;  // not the program's help
        }
    }
    // The version is the project's, as the build gives it to the program.
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, ExitOk);
    EXPECT_EQ(version.out, "varnok " VARNOK_PROJECT_VERSION "\n");
}

}  // namespace
}  // namespace varnok::app
