// ExportCsv: the file read back by a CSV reader gives every value of the
// queue, quotes, commas and line breaks included; the title and header
// lines; the type pass; the field limit; lines longer than any record.
#include "queueview/export/csv_export.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/queueview/export/export_readers.h"
#include "tests/queueview/export/export_test_support.h"
#include "tests/support/scripted_presenter.h"

namespace varnok::testing {
namespace {

using queueview::ExportCsv;

// Fields: 1 Name, 2 Count, 3 Price, 4 Pair (group of 5 Left, 6 Right), 7 Note.
RecordLayout mixedLayout() {
    return RecordLayoutBuilder()
        .string("Q:Name", 40)
        .longField("Count")
        .real("Price")
        .beginGroup("Pair")
        .shortField("Left")
        .shortField("Right")
        .endGroup()
        .cstring("REM:Note", 60)
        .build();
}

struct Row {
    std::string name;
    int32_t count;
    double price;
    int16_t left, right;
    std::string note;
};

void addRows(Queue& q, const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        setText(q, 1, r.name);
        setNumber(q, 2, r.count);
        setNumber(q, 3, r.price);
        setNumber(q, 5, r.left);
        setNumber(q, 6, r.right);
        setText(q, 7, r.note);
        ADD(q);
    }
}

const std::vector<Row> awkwardRows = {
    {"plain", 1, 2.5, 3, -4, "x"},
    {"a \"quoted\" word", -7, 0.125, 0, 0, "comma, inside"},
    {"  leading spaces", 0, -1e10, 1, 1, "line\r\nbreak and \"quote"},
    {"", 42, 3, 2, 2, "\"\""},
    {"12", 5, 1e-7, -1, 32767, ",\","},
};

TEST(ExportCsv, ReadsBackAsTheQueue) {
    Queue q(mixedLayout());
    addRows(q, awkwardRows);
    CapturedFile file;
    ASSERT_EQ(ExportCsv(q, "out.csv", "My queue", true, capturingWriter(file)), 1);
    EXPECT_EQ(file.name, "out.csv");

    ASSERT_EQ(file.bytes.rfind("My queue\r\n", 0), 0u) << file.bytes;
    CsvFile csv = readCsv(std::string_view(file.bytes).substr(10));
    ASSERT_TRUE(csv.ok) << file.bytes;
    ASSERT_EQ(csv.records.size(), 1 + awkwardRows.size());
    const std::vector<std::string> names = {"Name", "Count", "Price", "Left", "Right", "Note"};
    ASSERT_EQ(csv.records[0].size(), names.size());
    for (size_t k = 0; k < names.size(); ++k) {
        EXPECT_EQ(csv.records[0][k].text, names[k]);
        EXPECT_TRUE(csv.records[0][k].quoted);
    }
    const int fields[] = {1, 2, 3, 5, 6, 7};
    const bool bare[] = {false, true, true, true, true, false};
    for (uint32_t i = 1; i <= awkwardRows.size(); ++i) {
        GET(q, static_cast<int32_t>(i));
        const CsvRecord& record = csv.records[i];
        ASSERT_EQ(record.size(), 6u) << "entry " << i;
        for (size_t k = 0; k < 6; ++k) {
            EXPECT_EQ(record[k].text, reflectFieldValue(q, fields[k])) << "entry " << i << " field " << fields[k];
            EXPECT_EQ(record[k].quoted, !bare[k]) << "entry " << i << " field " << fields[k];
        }
    }
}

TEST(ExportCsv, TitleAndHeaderLines) {
    struct Case {
        std::string_view title;
        bool withHeader;
        std::vector<std::string> lines;
    } cases[] = {
        {"Lines", true, {"Lines", "\"Name\",\"Count\",\"Price\",\"Left\",\"Right\",\"Note\"", "\"plain\",1,2.5,3,-4,\"x\""}},
        {"   ", true, {"\"Name\",\"Count\",\"Price\",\"Left\",\"Right\",\"Note\"", "\"plain\",1,2.5,3,-4,\"x\""}},
        {"", true, {"\"Name\",\"Count\",\"Price\",\"Left\",\"Right\",\"Note\"", "\"plain\",1,2.5,3,-4,\"x\""}},
        {"a, \"b\"  ", true, {"a, \"b\"", "\"Name\",\"Count\",\"Price\",\"Left\",\"Right\",\"Note\"", "\"plain\",1,2.5,3,-4,\"x\""}},
        {"Lines", false, {"\"plain\",1,2.5,3,-4,\"x\""}},
    };
    for (const Case& c : cases) {
        Queue q(mixedLayout());
        addRows(q, {awkwardRows[0]});
        CapturedFile file;
        ASSERT_EQ(ExportCsv(q, "t.csv", c.title, c.withHeader, capturingWriter(file)), 1);
        EXPECT_EQ(linesOf(file.bytes), c.lines) << '"' << c.title << '"';
    }
}

TEST(ExportCsv, EmptyQueueGivesTitleAndHeaderOnly) {
    Queue q(mixedLayout());
    CapturedFile file;
    ASSERT_EQ(ExportCsv(q, "e.csv", "Empty", true, capturingWriter(file)), 1);
    EXPECT_EQ(file.bytes, "Empty\r\n\"Name\",\"Count\",\"Price\",\"Left\",\"Right\",\"Note\"\r\n");
}

TEST(ExportCsv, OneTextInAColumnQuotesItInEveryRow) {
    struct Case {
        std::vector<std::string> values;
        bool bare;
    } cases[] = {
        {{"1", "2.5", "-3", " 4", "1e3"}, true},
        {{"1", "2", "x", "3"}, false},
        {{"1", "2", "3", ""}, false},    // an empty value is not a number
        {{"x", "1", "2"}, false},
        {{"1", "2", "3", "1,000"}, false},
    };
    for (const Case& c : cases) {
        Queue q(RecordLayoutBuilder().string("Code", 10).string("Label", 5).build());
        for (const std::string& v : c.values) {
            setText(q, 1, v);
            setText(q, 2, "L");
            ADD(q);
        }
        CapturedFile file;
        ASSERT_EQ(ExportCsv(q, "n.csv", "", true, capturingWriter(file)), 1);
        const std::vector<std::string> lines = linesOf(file.bytes);
        ASSERT_EQ(lines.size(), c.values.size() + 1);
        for (size_t i = 0; i < c.values.size(); ++i) {
            const std::string expected = c.bare ? c.values[i] : "\"" + c.values[i] + "\"";
            EXPECT_EQ(lines[i + 1], expected + ",\"L\"") << c.values[i];
        }
    }
}

TEST(ExportCsv, MoreThan1024FieldsShowsTheMessageAndWritesTheFirst1024) {
    RecordLayoutBuilder b;
    b.beginGroup("G").byte("InGroup").endGroup();  // fields 1 and 2
    for (int n = 3; n <= 1030; ++n) b.byte("F" + std::to_string(n));
    Queue q(b.build());
    for (int n = 2; n <= 1030; ++n) q.buffer()[q.layout().field(n)->offset] = static_cast<uint8_t>(n % 256);
    ADD(q);

    ScriptedPresenter boxes;
    boxes.expect("Too many fields", window::ButtonOk);
    CapturedFile file;
    ASSERT_EQ(ExportCsv(q, "w.csv", "", true, capturingWriter(file)), 1);
    boxes.verifyDone();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "1030 more than max 1024");
    EXPECT_EQ(boxes.shown()[0].caption, "Too many fields");
    EXPECT_EQ(boxes.shown()[0].icon, window::IconExclamation);

    CsvFile csv = readCsv(file.bytes);
    ASSERT_TRUE(csv.ok);
    ASSERT_EQ(csv.records.size(), 2u);
    // Fields 1 to 1024, less the group.
    ASSERT_EQ(csv.records[0].size(), 1023u);
    ASSERT_EQ(csv.records[1].size(), 1023u);
    EXPECT_EQ(csv.records[0][0].text, "InGroup");
    EXPECT_EQ(csv.records[0][1022].text, "F1024");
    EXPECT_EQ(csv.records[1][1022].text, std::to_string(1024 % 256));
}

TEST(ExportCsv, NoFieldLimitMessageAt1024) {
    RecordLayoutBuilder b;
    for (int n = 1; n <= 1024; ++n) b.byte("F" + std::to_string(n));
    Queue q(b.build());
    ScriptedPresenter boxes;  // any message fails the test
    CapturedFile file;
    ASSERT_EQ(ExportCsv(q, "w.csv", "", true, capturingWriter(file)), 1);
    EXPECT_EQ(readCsv(file.bytes).records.at(0).size(), 1024u);
}

TEST(ExportCsv, ValuesLongerThanAnyLineAreWrittenWhole) {
    // A value that fills its 3000-character field, quotes included, and a
    // completed value far longer than the record the export started with.
    Queue q(RecordLayoutBuilder().string("Text", 3000).longField("N").build());
    std::string full(3000, 'a');
    for (size_t i = 0; i < full.size(); i += 7) full[i] = '"';
    full.back() = 'z';
    const std::vector<std::string> values = {full, "short", std::string(1500, 'b') + "\"end"};
    for (const std::string& v : values) {
        setText(q, 1, v);
        setNumber(q, 2, int32_t(7));
        ADD(q);
    }
    const std::string completion(20000, 'c');
    CapturedFile file;
    queueview::ExportWriter writer = capturingWriter(file);
    writer.completeValue = [&](QueueDecl*, uint32_t position, int field, std::string& value) {
        if (position == 2 && field == 1) value += completion;
    };
    ASSERT_EQ(ExportCsv(q, "l.csv", "", true, writer), 1);
    CsvFile csv = readCsv(file.bytes);
    ASSERT_TRUE(csv.ok);
    ASSERT_EQ(csv.records.size(), 4u);
    EXPECT_EQ(csv.records[1][0].text, full);
    EXPECT_EQ(csv.records[2][0].text, "short" + completion);
    EXPECT_EQ(csv.records[3][0].text, values[2]);
    for (size_t i = 1; i < 4; ++i) EXPECT_EQ(csv.records[i][1].text, "7");
}

TEST(ExportCsv, TheOutputsFailureIsTheResult) {
    Queue q(mixedLayout());
    addRows(q, awkwardRows);
    CapturedFile file;
    EXPECT_EQ(ExportCsv(q, "f.csv", "T", true, capturingWriter(file, 0)), 0);
    EXPECT_EQ(file.creates, 1);
    EXPECT_TRUE(file.finished);
    EXPECT_EQ(ExportCsv(nullptr, "f.csv", "T", true, capturingWriter(file)), 0);
    EXPECT_EQ(file.creates, 1);
    // A file that cannot be made: nothing more happens.
    file.refuseCreate = true;
    EXPECT_EQ(ExportCsv(q, "f.csv", "T", true, capturingWriter(file)), 0);
    EXPECT_EQ(file.creates, 2);
    EXPECT_FALSE(file.finished);
    // A line that cannot be written: no line after it is tried, and the
    // file is finished as failed.
    file.refuseCreate = false;
    file.failFromLine = 3;
    EXPECT_EQ(ExportCsv(q, "f.csv", "T", true, capturingWriter(file)), 0);
    EXPECT_EQ(file.lines, 2);
    EXPECT_TRUE(file.finished);
}

TEST(CsvQuoting, DoublesEveryQuote) {
    struct Case {
        std::string_view text, quoted;
    } cases[] = {
        {"", "\"\""}, {"a", "\"a\""}, {"\"", "\"\"\"\""}, {"a\"b\"\"c", "\"a\"\"b\"\"\"\"c\""}, {"x\"", "\"x\"\"\""},
    };
    for (const Case& c : cases) {
        std::string line = "<";
        queueview::appendCsvQuoted(line, c.text);
        EXPECT_EQ(line, "<" + std::string(c.quoted)) << c.text;
    }
}

}  // namespace
}  // namespace varnok::testing
