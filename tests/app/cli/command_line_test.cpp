// The varnok program end to end: exit statuses, what goes to standard output
// and standard error, the files written, and the input left unchanged.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/cli/varnok_run.h"

namespace varnok::testing {
namespace {

struct CommandLine : ::testing::Test {
    TempFolder dir;
    // Lines: 1-2 procedure, 3-6 "Logger" (Tools), 7-9 "Caf\xE9" (Other), 10-12 "Logger" (Other)
    std::string txa =
        "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Tools Logger\r\n[PROMPTS]\r\n%A LONG (1)  \r\n"
        "[ADDITION]\r\nNAME Other Caf\xE9\r\n[INSTANCE]\r\n[ADDITION]\r\nNAME Other Logger\r\nx\r\n[END]\r\n";
    std::string input;

    void SetUp() override { input = dir.write("main.txa", txa); }

    Outcome run(const std::string& args) { return runVarnok(args, dir); }
};

TEST_F(CommandLine, ListAsTableAndJson) {
    Outcome t = run("list " + quote(input));
    EXPECT_EQ(t.status, 0) << t.err;
    EXPECT_EQ(t.out,
              "Row  Extension  Procedure  Template  From  To\n"
              "  1  Logger     Main       Tools        3   6\n"
              "  2  Caf\xC3\xA9       Main       Other        7   9\n"
              "  3  Logger     Main       Other       10  12\n");
    Outcome j = run("list --json " + quote(input));
    EXPECT_EQ(j.status, 0);
    EXPECT_EQ(j.out,
              "[\n"
              "  {\"row\": 1, \"extension\": \"Logger\", \"procedure\": \"Main\", \"template\": \"Tools\", \"from\": 3, \"to\": 6},\n"
              "  {\"row\": 2, \"extension\": \"Caf\xC3\xA9\", \"procedure\": \"Main\", \"template\": \"Other\", \"from\": 7, \"to\": 9},\n"
              "  {\"row\": 3, \"extension\": \"Logger\", \"procedure\": \"Main\", \"template\": \"Other\", \"from\": 10, \"to\": 12}\n"
              "]\n");
    EXPECT_EQ(run("list --json " + quote(dir.write("empty.txa", ""))).out, "[]\n");
}

TEST_F(CommandLine, ListFailures) {
    for (const std::string& bad : {dir.file("missing.txa"), dir.path(), dir.write(".hidden.txa", "x")}) {
        Outcome r = run("list " + quote(bad));
        EXPECT_EQ(r.status, 3) << bad;
        EXPECT_EQ(lines(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(run("list").status, 2);
    EXPECT_EQ(run("list --bogus " + quote(input)).status, 2);
    EXPECT_EQ(run("list " + quote(input) + " " + quote(input)).status, 2);
}

// The small edges, run in the test's folder: status, the start of standard output, a part of
// standard error ("": none). Read-only outputs are never replaced; "-o -" is standard output.
TEST_F(CommandLine, Edges) {
    namespace fs = std::filesystem;
    dir.write("notes.txt", "just text\r\n");
    for (const char* name : {"B.txa", "a.txa"}) dir.write(name, "[PROCEDURE]\r\n");
    const std::string readOnly[] = {dir.write("main_.txa", "old"), dir.write("main.txa.xml", "old")};
    for (const std::string& f : readOnly) fs::permissions(f, fs::perms::owner_read);
    const struct {
        const char* args;
        int status;
        std::string out, err;
    } cases[] = {
        {"list --json missing.txa", 3, "[]\n", "cannot read 'missing.txa'"},
        {"list main.txa ./main.txa", 2, "", "'main.txa' and './main.txa' are the same file"},
        {"list --json notes.txt", 0, "[]\n", "varnok: 'notes.txt': no TXA sections\n"},
        {"remove main.txa --ext Logger -o -", 0, "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Other Caf\xE9\r\n[INST", ""},
        {"export main.txa --csv -o -", 0, "main.txa\r\n", ""},
        {"remove main.txa --row 1 --force", 3, "", "cannot write 'main_.txa': it is read-only"},
        {"export main.txa --xml --force", 3, "", "it is read-only"},
#ifdef _WIN32  // no shell expands wildcards there: the program does, sorted case-blind
        {"list ?.TXA MA?N.T?A", 0, "==> a.txa <==\nRow", ""},
        {"list none*.txa", 3, "", "cannot read 'none*.txa'"},
#endif
    };
    for (const auto& c : cases) {
        Outcome r = runVarnok(c.args, dir, dir.path());
        EXPECT_EQ(r.status, c.status) << c.args << r.err;
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out) << c.args;
        if (c.err.empty()) {
            EXPECT_EQ(r.err, "") << c.args;
        } else {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << r.err;
        }
    }
    EXPECT_EQ(readFile(readOnly[0]) + readFile(readOnly[1]), "oldold");
    EXPECT_EQ(dir.listing(), "B.txa\na.txa\nmain.txa\nmain.txa.xml\nmain_.txa\nnotes.txt\n");
    for (const std::string& f : readOnly) fs::permissions(f, fs::perms::owner_all);
}

TEST_F(CommandLine, RemoveByNameWritesTheCopyAndNamesIt) {
    Outcome r = run("remove " + quote(input) + " --ext Logger");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.file("main_.txa") + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir.file("main_.txa")),
              "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Other Caf\xE9\r\n[INSTANCE]\r\n[END]\r\n");
    EXPECT_EQ(readFile(input), txa);

    // The copy exists now: without --force nothing is written.
    std::string copy = readFile(dir.file("main_.txa"));
    Outcome again = run("remove " + quote(input) + " --row 2");
    EXPECT_EQ(again.status, 4);
    EXPECT_NE(again.err.find("main_.txa"), std::string::npos);
    EXPECT_EQ(lines(again.err), 1);
    EXPECT_EQ(readFile(dir.file("main_.txa")), copy);
    Outcome forced = run("remove " + quote(input) + " --row 2 --force");
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(readFile(dir.file("main_.txa")).find("Caf"), std::string::npos);
}

TEST_F(CommandLine, SelectorsAreUnitedAndNamesAreUtf8) {
    Outcome r = run("remove " + quote(input) + " --ext " + quote("Caf\xC3\xA9") + " --template Tools -o " + quote(dir.file("o.txa")));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("o.txa")),
              "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Other Logger\r\nx\r\n[END]\r\n");
    Outcome p = run("remove " + quote(input) + " --proc Main --dry-run");
    EXPECT_EQ(p.status, 0);
    EXPECT_NE(p.out.find("10 lines would be removed"), std::string::npos) << p.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("main_.txa")));
}

TEST_F(CommandLine, NothingToDelete) {
    for (const std::string& args : std::vector<std::string>{"", " --ext logger", " --proc Other", " --dry-run --ext None"}) {
        Outcome r = run("remove " + quote(input) + args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find("nothing to delete"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(input), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("main_.txa")));
}

TEST_F(CommandLine, UsageErrors) {
    std::filesystem::create_hard_link(input, dir.file("same.txa"));
    for (const std::string& args : std::vector<std::string>{" --row 4", " --row 0", " --row x", " --ext", " --what", " -o " + quote(input),
                                    " -o " + quote(dir.file("same.txa")) + " --row 1", " --ext " + quote("\xE4\xB8\xAD")}) {
        Outcome r = run("remove " + quote(input) + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(lines(r.err), 1) << r.err;
    }
    EXPECT_EQ(readFile(input), txa);
    EXPECT_EQ(run("remove").status, 2);
    EXPECT_EQ(run("frobnicate").status, 2);
    // Without a command the program opens its window (tests/app/startup).
    EXPECT_EQ(run("--version").status, 0);
    EXPECT_EQ(run("--help").status, 0);
}

TEST_F(CommandLine, UnreadableInputAndUnwritableOutput) {
    Outcome missing = run("remove " + quote(dir.file("nope.txa")) + " --row 1");
    EXPECT_EQ(missing.status, 3);
    Outcome folder = run("remove " + quote(dir.path()) + " --row 1");
    EXPECT_EQ(folder.status, 3);
    Outcome cannot = run("remove " + quote(input) + " --row 1 -o " + quote(dir.file("no/such/folder/out.txa")));
    EXPECT_EQ(cannot.status, 3);
    EXPECT_NE(cannot.err.find("no/such/folder/out.txa"), std::string::npos) << cannot.err;
    EXPECT_EQ(lines(cannot.err), 1);
    EXPECT_EQ(readFile(input), txa);
}

}  // namespace
}  // namespace varnok::testing
