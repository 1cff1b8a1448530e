// varnok export end to end: the files written for the lines and for the
// extension list, in CSV and XML, their names, and the exit statuses 0, 2,
// 3 and 4 with one line on standard error; the input is never written.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/cli/varnok_run.h"

namespace varnok::testing {
namespace {

struct ExportCommand : ::testing::Test {
    TempFolder dir;
    TempFolder outputs;  // kept apart, so that the input folder's listing is the input alone
    // Lines: 1-2 procedure, 3-5 "Logger" (Tools), 6-8 "Caf\xE9" (Other)
    std::string txa =
        "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Tools Logger\r\n%A \"q\", 2  \r\n"
        "[ADDITION]\r\nNAME Other Caf\xE9\r\n12\r\n[END]\r\n";
    std::string input;

    void SetUp() override { input = dir.write("main.txa", txa); }

    // Runs varnok with args in the outputs folder.
    Outcome run(const std::string& args) { return runVarnok(args, dir, outputs.path()); }
};

TEST_F(ExportCommand, LinesAsCsvAndXml) {
    Outcome csv = run("export --csv " + quote(input));
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::string csvName = "_" + input.substr(1);  // every '/' made '_'
    std::string expectedName = input;
    // The name's path characters (a drive's ":" too) become "_".
    for (char& c : expectedName)
        if (std::string_view("|><\"?*:/\\").find(c) != std::string_view::npos) c = '_';
    EXPECT_EQ(csv.out, expectedName + ".csv\n");
    EXPECT_EQ(csv.err, "");
    EXPECT_EQ(readFile(outputs.file(expectedName + ".csv")),
              input + "\r\n\"Lyn\"\r\n\"[PROCEDURE]\"\r\n\"NAME Main\"\r\n\"[ADDITION]\"\r\n\"NAME Tools Logger\"\r\n"
                      "\"%A \"\"q\"\", 2\"\r\n\"[ADDITION]\"\r\n\"NAME Other Caf\xE9\"\r\n\"12\"\r\n\"[END]\"\r\n");

    Outcome xml = run("export " + quote(input) + " --xml -o lines.xml");
    ASSERT_EQ(xml.status, 0) << xml.err;
    EXPECT_EQ(xml.out, "lines.xml\n");
    const std::string x = readFile(outputs.file("lines.xml"));
    EXPECT_EQ(x.substr(0, 71), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\r\n<Queue>\r\n");
    EXPECT_NE(x.find("<Entry>\r\n<Lyn>%A &quot;q&quot;, 2</Lyn>\r\n</Entry>\r\n"), std::string::npos) << x;
    EXPECT_EQ(x.substr(x.size() - 10), "</Queue>\r\n");
    EXPECT_EQ(readFile(input), txa);
    EXPECT_EQ(dir.listing(), "main.txa\n");
}

TEST_F(ExportCommand, TheTitleIsTheFileAsGiven) {
    dir.write("a b.txa", "x\r\n");
    std::filesystem::copy_file(dir.file("a b.txa"), outputs.file("a b.txa"));
    Outcome r = run("export --csv " + quote("a b.txa"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "a b.txa.csv\n");
    EXPECT_EQ(readFile(outputs.file("a b.txa.csv")), "a b.txa\r\n\"Lyn\"\r\n\"x\"\r\n");
}

TEST_F(ExportCommand, ExtensionListAsCsv) {
    Outcome r = run("export " + quote(input) + " --extensions --csv -o ext.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(outputs.file("ext.csv")),
              input + "\r\n\"RemoveThis\",\"Icon\",\"ExtensionName\",\"ProcName\",\"Template\",\"FromLineNo\",\"ToLineNo\"\r\n"
                      "0,1,\"Logger\",\"Main\",\"Tools\",3,5\r\n"
                      "0,1,\"Caf\xE9\",\"Main\",\"Other\",6,8\r\n");
}

TEST_F(ExportCommand, LfFilesAndLongLines) {
    const std::string longLine = std::string(1500, 'L') + "\"," + std::string(1500, 'M');
    const std::string lf = dir.write("lf.txa", "[PROCEDURE]\nNAME Main\n" + longLine + "\n");
    Outcome r = run("export --csv " + quote(lf) + " -o lf.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string quoted = longLine;
    quoted.replace(1500, 1, "\"\"");
    EXPECT_EQ(readFile(outputs.file("lf.csv")), lf + "\r\n\"Lyn\"\r\n\"[PROCEDURE]\"\r\n\"NAME Main\"\r\n\"" + quoted + "\"\r\n");
}

TEST_F(ExportCommand, AnExistingOutputIsReplacedOnlyWithForce) {
    outputs.write("out.csv", "precious");
    Outcome r = run("export --csv " + quote(input) + " -o out.csv");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("'out.csv' already exists"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readFile(outputs.file("out.csv")), "precious");
    EXPECT_EQ(outputs.listing(), "out.csv\n");

    Outcome forced = run("export --csv " + quote(input) + " -o out.csv --force");
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(readFile(outputs.file("out.csv")).substr(0, input.size()), input);
    EXPECT_EQ(outputs.listing(), "out.csv\n");
}

TEST_F(ExportCommand, UsageErrors) {
    std::filesystem::create_hard_link(input, dir.file("same.txa"));
    for (const std::string& args : std::vector<std::string>{
             "export " + quote(input), "export --csv --xml " + quote(input), "export --csv", "export --csv --bogus " + quote(input),
             "export --csv " + quote(input) + " " + quote(input), "export --csv " + quote(input) + " -o",
             "export --csv " + quote(input) + " -o " + quote(""), "export --xml " + quote(input) + " -o " + quote(input) + " --force",
             "export --xml " + quote(input) + " -o " + quote(dir.file("same.txa")) + " --force"}) {
        Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(lines(r.err), 1) << args << ": " << r.err;
        EXPECT_EQ(r.err.rfind("varnok: export: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("(try 'varnok export --help')"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(readFile(input), txa);
    EXPECT_EQ(outputs.listing(), "");
    Outcome help = run("export --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: varnok export [OPTIONS] FILE"), std::string::npos) << help.out;
}

TEST_F(ExportCommand, UnreadableInputAndUnwritableOutput) {
    for (const std::string& bad : {dir.file("missing.txa"), dir.path(), dir.write(".hidden.txa", "x")}) {
        Outcome r = run("export --csv " + quote(bad));
        EXPECT_EQ(r.status, 3) << bad;
        EXPECT_EQ(lines(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
    }
    Outcome cannot = run("export --xml " + quote(input) + " -o " + quote(dir.file("no/such/folder/out.xml")));
    EXPECT_EQ(cannot.status, 3);
    EXPECT_EQ(lines(cannot.err), 1) << cannot.err;
    EXPECT_NE(cannot.err.find("no/such/folder/out.xml"), std::string::npos) << cannot.err;
    Outcome folder = run("export --xml " + quote(input) + " -o " + quote(dir.path()) + " --force");
    EXPECT_EQ(folder.status, 3) << folder.err;
    EXPECT_EQ(outputs.listing(), "");
    EXPECT_EQ(readFile(input), txa);
}

}  // namespace
}  // namespace varnok::testing
