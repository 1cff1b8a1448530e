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
        // JSON stays JSON: an empty list.
        Outcome j = run("list --json " + quote(bad));
        EXPECT_EQ(j.status, 3) << bad;
        EXPECT_EQ(j.out, "[]\n");
        EXPECT_EQ(lines(j.err), 1) << j.err;
    }
    EXPECT_EQ(run("list").status, 2);
    EXPECT_EQ(run("list --bogus " + quote(input)).status, 2);
    EXPECT_EQ(run("list " + quote(input) + " " + quote(input)).status, 2);
    // Two names of one file are one file named twice.
    Outcome twice = runVarnok("list main.txa ./main.txa", dir, dir.path());
    EXPECT_EQ(twice.status, 2);
    EXPECT_NE(twice.err.find("are the same file"), std::string::npos) << twice.err;
}

// A file without a single section header lists nothing, as before, with a
// hint on standard error that it is no TXA file; the status stays 0.
TEST_F(CommandLine, AFileWithoutSectionsIsPointedOut) {
    const struct {
        const char* bytes;
        bool hint;
    } cases[] = {{"", true}, {"just text\r\nno headers\r\n", true}, {"\x7F" "ELF\x01\x02", true},
                 {"[PROCEDURE]\r\nNAME Main\r\n", false}};
    for (const auto& c : cases) {
        const std::string file = dir.write("notes.txt", c.bytes);
        for (const char* json : {"", "--json "}) {
            Outcome r = run(std::string("list ") + json + quote(file));
            EXPECT_EQ(r.status, 0) << c.bytes;
            EXPECT_EQ(r.err, c.hint ? "varnok: '" + file + "': no TXA sections\n" : "") << c.bytes;
        }
    }
}

#ifdef _WIN32
// Windows: the program expands wildcards in its file arguments, as no shell
// there does; a pattern without a match cannot be read.
TEST_F(CommandLine, WildcardsAreExpandedOnWindows) {
    dir.write("B.TXA", "[PROCEDURE]\r\nNAME B\r\n");
    Outcome all = runVarnok("list *.txa", dir, dir.path());
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out.find("==> B.TXA <=="), 0u) << all.out;
    EXPECT_NE(all.out.find("==> main.txa <=="), std::string::npos) << all.out;
    Outcome none = runVarnok("list none*.txa", dir, dir.path());
    EXPECT_EQ(none.status, 3);
    EXPECT_NE(none.err.find("cannot read 'none*.txa'"), std::string::npos) << none.err;
}
#endif

// "-o -" sends the copy or the export to standard output, byte for byte
// what the file would hold, and writes no file.
TEST_F(CommandLine, DashAsOutputIsStandardOutput) {
    const struct {
        const char* args;
        const char* file;
    } cases[] = {{"remove main.txa --ext Logger", "main_.txa"},
                 {"export main.txa --csv", "main.txa.csv"},
                 {"export main.txa --xml --extensions", "main.txa.xml"}};
    for (const auto& c : cases) {
        Outcome toFile = runVarnok(c.args, dir, dir.path());
        ASSERT_EQ(toFile.status, 0) << c.args << toFile.err;
        const std::string expected = readFile(dir.file(c.file));
        std::filesystem::remove(dir.file(c.file));
        Outcome r = runVarnok(std::string(c.args) + " -o -", dir, dir.path());
        EXPECT_EQ(r.status, 0) << c.args << r.err;
        EXPECT_EQ(r.out, expected) << c.args;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(dir.listing(), "main.txa\n") << c.args;
    }
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

// A read-only output is never replaced, --force or not: the copy and both
// exports exit 3 saying so, and the old file stays as it was.
TEST_F(CommandLine, AReadOnlyOutputIsNeverReplaced) {
    namespace fs = std::filesystem;
    const struct {
        const char* output;
        const char* args;
    } cases[] = {{"main_.txa", "remove main.txa --row 1 --force"},
                 {"main_.txa", "remove main.txa --row 1"},
                 {"main.txa.csv", "export main.txa --csv --force"},
                 {"main.txa.xml", "export main.txa --xml --force"}};
    for (const auto& c : cases) {
        const std::string old = dir.write(c.output, "old\r\n");
        fs::permissions(old, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        Outcome r = runVarnok(c.args, dir, dir.path());
        EXPECT_EQ(r.status, 3) << c.args;
        EXPECT_NE(r.err.find("read-only"), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(readFile(old), "old\r\n") << c.args;
        EXPECT_EQ(fs::status(old).permissions() & fs::perms::owner_write, fs::perms::none) << c.args;
        fs::permissions(old, fs::perms::owner_write, fs::perm_options::add);
        fs::remove(old);
    }
}

}  // namespace
}  // namespace varnok::testing
