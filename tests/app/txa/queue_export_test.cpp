// The viewer's Export command: the popup, the file name in the current
// directory, the "Exported" message, nothing on no choice, nothing more after
// a failed write; and, through QueueTool's writer, a loaded line queue
// exported with its long lines whole.
#include "queueview/export/export_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/txa/queue_tool.h"
#include "app/txa/txa_records.h"
#include "platform/plain_file.h"
#include "tests/app/temp_folder.h"
#include "tests/queueview/export/export_readers.h"
#include "tests/queueview/export/export_test_support.h"
#include "tests/support/scripted_presenter.h"
#include "window/window_layer.h"

namespace varnok::testing {
namespace {

using queueview::exportCommand;
using queueview::ExportFormat;

// A window layer whose popup menus answer one item.
class PopupLayer : public window::WindowLayer {
public:
    explicit PopupLayer(int32_t answer) : answer_(answer), previous_(window::setWindowLayer(this)) {}
    ~PopupLayer() override { window::setWindowLayer(previous_); }
    std::unique_ptr<window::Window> open(std::string_view, window::Window*) override { return nullptr; }
    bool fileDialog(window::FileDialogRequest&) override { return false; }
    int32_t popup(std::string_view items) override {
        menus.emplace_back(items);
        return answer_;
    }
    void setCursor(window::Cursor) override {}
    std::vector<std::string> menus;

private:
    int32_t answer_;
    window::WindowLayer* previous_;
};

struct QueueToolExport : ::testing::Test {
    TempFolder dir;
    std::filesystem::path previous = std::filesystem::current_path();
    Queue lineQ{app::lineLayout()};
    app::QueueTool tool;

    void SetUp() override { std::filesystem::current_path(dir.path()); }
    void TearDown() override {
        std::filesystem::current_path(previous);
        platform::clearFileFaults();
    }
    void loadLines(const std::string& bytes) {
        ScriptedPresenter quiet;
        ASSERT_EQ(tool.LoadText(lineQ, dir.write("in.txa", bytes)), 1);
        std::filesystem::remove(dir.file("in.txa"));
    }
};

TEST_F(QueueToolExport, NoChoiceWritesNothing) {
    loadLines("[PROCEDURE]\r\nNAME Main\r\n");
    for (int32_t answer : {0, 3, -1}) {
        PopupLayer layer(answer);
        ScriptedPresenter boxes;  // any message fails the test
        EXPECT_EQ(exportCommand(lineQ, "main.txa", tool.exportWriter()), "");
        EXPECT_EQ(layer.menus, std::vector<std::string>{"Csv|Xml"});
        EXPECT_EQ(dir.listing(), "");
    }
}

TEST_F(QueueToolExport, WritesTheChosenFormatAndSaysSo) {
    loadLines("[PROCEDURE]\r\nNAME \"Main\"\r\n12\r\n");
    struct Case {
        int32_t item;
        std::string title, name, bytes;
    } cases[] = {
        {1, "C:\\Work\\main.txa", "C__Work_main.txa.csv",
         "C:\\Work\\main.txa\r\n\"Lyn\"\r\n\"[PROCEDURE]\"\r\n\"NAME \"\"Main\"\"\"\r\n\"12\"\r\n"},
        {2, "  ", "queue.xml",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\r\n<Queue>\r\n"
         "<Entry>\r\n<Lyn>[PROCEDURE]</Lyn>\r\n</Entry>\r\n<Entry>\r\n<Lyn>NAME &quot;Main&quot;</Lyn>\r\n</Entry>\r\n"
         "<Entry>\r\n<Lyn>12</Lyn>\r\n</Entry>\r\n</Queue>\r\n"},
    };
    for (const Case& c : cases) {
        PopupLayer layer(c.item);
        ScriptedPresenter boxes;
        boxes.expect("Exported", window::ButtonOk);
        EXPECT_EQ(exportCommand(lineQ, c.title, tool.exportWriter()), c.name);
        boxes.verifyDone();
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].text, c.name);
        EXPECT_EQ(boxes.shown()[0].caption, "Exported");
        EXPECT_EQ(boxes.shown()[0].icon, window::IconInformation);
        EXPECT_EQ(readFile(dir.file(c.name)), c.bytes);
    }
}

// A failure at any step, in a small export and in one of many buffers
// (where it shows while lines are still being made): one message, the old
// file as it was, no temporary file.
TEST_F(QueueToolExport, AFailedWriteIsReportedOnce) {
    std::string many;
    for (int i = 0; i < 60000; ++i) many += "line " + std::to_string(i) + " " + std::string(60, 'x') + "\r\n";
    for (const std::string& bytes : {std::string("a\r\n"), many}) {
        loadLines(bytes);
        dir.write("Lines.csv", "old");
        PopupLayer layer(1);
        for (platform::FileOp op : {platform::FileOp::Open, platform::FileOp::Write, platform::FileOp::Rename}) {
            platform::failFileOperation(op, 1);
            ScriptedPresenter boxes;
            boxes.expect("Error", window::ButtonOk);
            EXPECT_EQ(exportCommand(lineQ, "Lines", tool.exportWriter()), "");
            boxes.verifyDone();
            EXPECT_EQ(boxes.shown().size(), 1u);
            EXPECT_EQ(readFile(dir.file("Lines.csv")), "old");
            EXPECT_EQ(dir.listing(), "Lines.csv\n");  // no temporary file left
            platform::clearFileFaults();
        }
    }
}

TEST_F(QueueToolExport, LongLinesOfALoadedFileAreExportedWhole) {
    std::string longQuoted(1500, 'q');
    for (size_t i = 0; i < longQuoted.size(); i += 100) longQuoted[i] = '"';
    // The first 1024 bytes end in spaces that belong inside the line.
    const std::string spaced = std::string(1000, 's') + std::string(100, ' ') + "end&";
    const std::vector<std::string> lines = {"[PROCEDURE]", longQuoted, "short", spaced, std::string(3000, '<')};
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    loadLines(bytes);

    ScriptedPresenter boxes;
    boxes.expect("Exported", window::ButtonOk).expect("Exported", window::ButtonOk);
    {
        PopupLayer layer(1);
        ASSERT_EQ(exportCommand(lineQ, "t", tool.exportWriter()), "t.csv");
    }
    CsvFile csv = readCsv(readFile(dir.file("t.csv")).substr(3));  // after the title line "t"
    ASSERT_TRUE(csv.ok);
    ASSERT_EQ(csv.records.size(), lines.size() + 1);
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(csv.records[i + 1].at(0).text, lines[i]) << i;

    {
        PopupLayer layer(2);
        ASSERT_EQ(exportCommand(lineQ, "t", tool.exportWriter()), "t.xml");
    }
    XmlDocument doc = readXml(readFile(dir.file("t.xml")));
    ASSERT_TRUE(doc.ok) << doc.error;
    ASSERT_EQ(doc.root.children.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(doc.root.children[i].children.at(0).text, lines[i]) << i;
    boxes.verifyDone();

    // The thin members write the same files.
    ASSERT_EQ(tool.ExportCsv(lineQ, "again.csv", "t", true), 1);
    EXPECT_EQ(readFile(dir.file("again.csv")), readFile(dir.file("t.csv")));
    ASSERT_EQ(tool.ExportXml(lineQ, "again.xml", "Queue"), 1);
    EXPECT_EQ(readFile(dir.file("again.xml")), readFile(dir.file("t.xml")));
}

}  // namespace
}  // namespace varnok::testing
