// varnok with several files and list --summary, end to end: the summary's
// counts against a count made here from "list --json", the header lines of
// several files' output, one report per file and the highest exit status of
// them, and -o refused with several files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include "tests/app/cli/varnok_run.h"

namespace varnok::testing {
namespace {

struct PerExtension {
    std::string extension;
    long instances = 0, lines = 0;
    bool operator==(const PerExtension&) const = default;
};

std::ostream& operator<<(std::ostream& out, const PerExtension& e) {
    return out << e.extension << " " << e.instances << " " << e.lines;
}

// The per-extension counts of a "list --json" output, in first-appearance order.
std::vector<PerExtension> countFromListJson(const std::string& json) {
    static const std::regex entry(R"re("extension": "([^"]*)".*"from": (\d+), "to": (\d+)\})re");
    std::vector<PerExtension> counts;
    std::map<std::string, size_t> at;
    std::istringstream in(json);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, entry)) continue;
        auto [it, isNew] = at.try_emplace(m[1], counts.size());
        if (isNew) counts.push_back({m[1], 0, 0});
        counts[it->second].instances += 1;
        counts[it->second].lines += std::stol(m[3]) - std::stol(m[2]) + 1;
    }
    return counts;
}

std::vector<PerExtension> readSummaryJson(const std::string& json) {
    static const std::regex entry(R"re(^  \{"extension": "([^"]*)", "instances": (\d+), "lines": (\d+)\},?$)re");
    std::vector<PerExtension> rows;
    std::istringstream in(json);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_match(line, m, entry)) rows.push_back({m[1], std::stol(m[2]), std::stol(m[3])});
    }
    return rows;
}

// The rows of a summary table after its header (Extension as wide as the
// longest name); every line is as long as the header's, the last column
// being right-aligned.
std::vector<PerExtension> readSummaryTable(const std::string& table) {
    std::vector<PerExtension> rows;
    std::istringstream in(table);
    std::string header;
    std::getline(in, header);
    EXPECT_TRUE(std::regex_match(header, std::regex("Extension +Instances  Lines"))) << header;
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.size(), header.size()) << line;
        PerExtension e;
        std::istringstream(line) >> e.extension >> e.instances >> e.lines;
        rows.push_back(e);
    }
    return rows;
}

TEST(ListSummary, CountsOfTheSampleMatchTheListItself) {
    TempFolder scratch;
    const std::string sample = quote(VARNOK_SAMPLE_TXA);
    const Outcome list = runVarnok("list --json " + sample, scratch);
    ASSERT_EQ(list.status, 0) << list.err;
    const std::vector<PerExtension> expected = countFromListJson(list.out);
    ASSERT_GE(expected.size(), 3u);
    ASSERT_TRUE(std::any_of(expected.begin(), expected.end(), [](const PerExtension& e) { return e.instances > 1; }));

    const Outcome table = runVarnok("list --summary " + sample, scratch);
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(readSummaryTable(table.out), expected) << table.out;
    const Outcome json = runVarnok("list " + sample + " --json --summary", scratch);
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(readSummaryJson(json.out), expected) << json.out;
    EXPECT_EQ(lines(json.out), static_cast<int>(expected.size()) + 2) << json.out;  // "[", the entries, "]"
}

struct SeveralFiles : ::testing::Test {
    TempFolder dir;
    // Lines 3-6 "Logger", 7-9 "Caf\xE9", 10-12 "Logger".
    const std::string three =
        "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Tools Logger\r\n[PROMPTS]\r\n%A LONG (1)\r\n"
        "[ADDITION]\r\nNAME Other Caf\xE9\r\n[INSTANCE]\r\n[ADDITION]\r\nNAME Other Logger\r\nx\r\n[END]\r\n";
    // Lines 2-3 "Toolbar".
    const std::string one = "[PROCEDURE]\r\n[ADDITION]\r\nNAME Reports Toolbar\r\n[END]\r\n";

    Outcome run(const std::string& args) { return runVarnok(args, dir, dir.path()); }
};

TEST_F(SeveralFiles, SummaryTableAndJsonExactly) {
    dir.write("a.txa", three);
    dir.write("e.txa", "");
    EXPECT_EQ(run("list --summary a.txa").out,
              "Extension  Instances  Lines\n"
              "Logger             2      7\n"
              "Caf\xC3\xA9               1      3\n");
    EXPECT_EQ(run("list --summary --json a.txa").out,
              "[\n"
              "  {\"extension\": \"Logger\", \"instances\": 2, \"lines\": 7},\n"
              "  {\"extension\": \"Caf\xC3\xA9\", \"instances\": 1, \"lines\": 3}\n"
              "]\n");
    EXPECT_EQ(run("list --summary e.txa").out, "Extension  Instances  Lines\n");
    EXPECT_EQ(run("list --summary --json e.txa").out, "[]\n");
}

TEST_F(SeveralFiles, ListPrintsEachFileUnderItsHeader) {
    dir.write("a.txa", three);
    dir.write("b.txa", one);
    const std::string tableB = run("list b.txa").out;
    const std::string summaryA = run("list --summary a.txa").out;
    ASSERT_NE(tableB, "");

    const Outcome both = run("list b.txa missing.txa a.txa --summary");
    EXPECT_EQ(both.status, 3);
    EXPECT_EQ(lines(both.err), 1) << both.err;
    EXPECT_NE(both.err.find("missing.txa"), std::string::npos);
    const std::string summaryB = run("list --summary b.txa").out;
    EXPECT_EQ(both.out, "==> b.txa <==\n" + summaryB + "\n==> a.txa <==\n" + summaryA);

    const Outcome tables = run("list a.txa b.txa");
    EXPECT_EQ(tables.status, 0) << tables.err;
    EXPECT_EQ(tables.out, "==> a.txa <==\n" + run("list a.txa").out + "\n==> b.txa <==\n" + tableB);
}

TEST_F(SeveralFiles, ListJsonIsOneArrayWithAnEntryPerFile) {
    dir.write("b.txa", one);
    dir.write("e.txa", "");
    const Outcome j = run("list --json b.txa nope.txa e.txa");
    EXPECT_EQ(j.status, 3);
    EXPECT_EQ(j.out,
              "[\n"
              "  {\"file\": \"b.txa\", \"instances\": [\n"
              "    {\"row\": 1, \"extension\": \"Toolbar\", \"procedure\": \"\", \"template\": \"Reports\", \"from\": 2, \"to\": 3}\n"
              "  ]},\n"
              "  {\"file\": \"e.txa\", \"instances\": []}\n"
              "]\n");
    EXPECT_EQ(run("list --json --summary e.txa b.txa").out,
              "[\n"
              "  {\"file\": \"e.txa\", \"extensions\": []},\n"
              "  {\"file\": \"b.txa\", \"extensions\": [\n"
              "    {\"extension\": \"Toolbar\", \"instances\": 1, \"lines\": 2}\n"
              "  ]}\n"
              "]\n");
    const Outcome none = run("list --json nope.txa gone.txa");
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(none.out, "[]\n");
    EXPECT_EQ(lines(none.err), 2);
}

// remove on several files: one report per file, the status the highest of theirs.
TEST(SeveralFilesRemove, TheWorstStatusAndOneReportEach) {
    const std::string withToolbar = "[PROCEDURE]\r\n[ADDITION]\r\nNAME Reports Toolbar\r\n[END]\r\n";
    const std::string without = "[PROCEDURE]\r\n[ADDITION]\r\nNAME Tools Logger\r\n[END]\r\n";
    struct Case {
        std::vector<std::string> files;  // ok*: has Toolbar, none*: has not, missing*: not there
        bool copyOfOkExists;
        int status;
    } cases[] = {
        {{"ok.txa", "ok2.txa"}, false, 0},
        {{"ok.txa", "none.txa"}, false, 1},
        {{"none.txa", "ok.txa", "missing.txa"}, false, 3},
        {{"missing.txa", "none.txa", "ok.txa"}, true, 4},
        {{"none.txa", "none2.txa"}, false, 1},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        std::string args = "remove --ext Toolbar";
        std::vector<std::string> written, failed;
        for (const std::string& f : c.files) {
            args += " " + f;
            if (f.rfind("ok", 0) == 0) dir.write(f, withToolbar);
            if (f.rfind("none", 0) == 0) dir.write(f, without);
            const std::string copy = f.substr(0, f.find('.')) + "_.txa";
            if (f.rfind("ok", 0) == 0 && !c.copyOfOkExists) written.push_back(copy);
            else failed.push_back(f.rfind("ok", 0) == 0 ? copy : f);
        }
        if (c.copyOfOkExists) dir.write("ok_.txa", "old");
        const Outcome r = runVarnok(args, dir, dir.path());
        SCOPED_TRACE(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        std::string out;
        for (const std::string& w : written) {
            out += w + "\n";
            EXPECT_EQ(readFile(dir.file(w)), "[PROCEDURE]\r\n[END]\r\n");
        }
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(lines(r.err), static_cast<int>(failed.size())) << r.err;
        for (const std::string& f : failed) EXPECT_NE(r.err.find("'" + f + "'"), std::string::npos) << r.err;
        if (c.copyOfOkExists) {
            EXPECT_EQ(readFile(dir.file("ok_.txa")), "old");
        }
    }
}

TEST_F(SeveralFiles, DryRunShowsEachFileUnderItsHeader) {
    dir.write("a.txa", three);
    dir.write("b.txa", one);
    const Outcome r = run("remove --dry-run --ext Logger a.txa b.txa");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("==> a.txa <==\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("7 lines would be removed; the copy would be written to a_.txa\n\n==> b.txa <==\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("nothing to delete in 'b.txa'"), std::string::npos) << r.err;
    EXPECT_EQ(dir.listing(), "a.txa\nb.txa\n");
}

TEST_F(SeveralFiles, ExportWritesOneFilePerInput) {
    dir.write("a.txa", three);
    dir.write("b.txa", one);
    dir.write("b.txa.xml", "old");
    const Outcome r = run("export --xml a.txa nope.txa b.txa");
    EXPECT_EQ(r.status, 4);  // b's output exists, which ranks above nope.txa's 3
    EXPECT_EQ(r.out, "a.txa.xml\n");
    EXPECT_EQ(lines(r.err), 2) << r.err;
    EXPECT_NE(r.err.find("'nope.txa'"), std::string::npos);
    EXPECT_NE(r.err.find("'b.txa.xml'"), std::string::npos);
    EXPECT_EQ(readFile(dir.file("b.txa.xml")), "old");
    EXPECT_NE(readFile(dir.file("a.txa.xml")).find("NAME Other Caf\xE9"), std::string::npos);

    const Outcome csv = run("export --csv b.txa a.txa");
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "b.txa.csv\na.txa.csv\n");
    EXPECT_EQ(readFile(dir.file("b.txa.csv")), "b.txa\r\n\"Lyn\"\r\n\"[PROCEDURE]\"\r\n\"[ADDITION]\"\r\n"
                                               "\"NAME Reports Toolbar\"\r\n\"[END]\"\r\n");
}

TEST_F(SeveralFiles, OutputWithSeveralFilesIsRefused) {
    dir.write("a.txa", three);
    dir.write("b.txa", one);
    for (const std::string& args : {std::string("remove --ext Logger a.txa b.txa -o out.txa"),
                                    std::string("export --csv -o out.csv a.txa b.txa"),
                                    std::string("remove a.txa --ext Logger a.txa"), std::string("export --xml b.txa b.txa")}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(lines(r.err), 1) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(dir.listing(), "a.txa\nb.txa\n");
}

}  // namespace
}  // namespace varnok::testing
