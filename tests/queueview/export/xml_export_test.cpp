// ExportXml: the exact lines of a small export, the empty queue, and a
// reader that checks well-formedness getting back every value of queues
// whose values hold markup, control bytes and very long texts.
#include "queueview/export/xml_export.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/queueview/export/export_readers.h"
#include "tests/queueview/export/export_test_support.h"

namespace varnok::testing {
namespace {

using queueview::ExportXml;

const std::string declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>";

TEST(ExportXml, LinesOfASmallExport) {
    // Fields: 1 Q:NAME, 2 Pair (group of 3 Left, 4 Right), 5 Note.
    Queue q(RecordLayoutBuilder()
                .string("Q:NAME", 10)
                .beginGroup("Pair")
                .string("Left", 3)
                .string("Right", 3)
                .endGroup()
                .string("Note", 12)
                .build());
    setText(q, 1, "A&B<C");
    setText(q, 3, "ab");
    setText(q, 4, "cde");
    setText(q, 5, "  lead");
    ADD(q);
    setText(q, 1, "   ");
    setText(q, 3, "");
    setText(q, 4, "");
    setText(q, 5, "it's \"x\">");
    ADD(q);
    CapturedFile file;
    ASSERT_EQ(ExportXml(q, "s.xml", "Queue  ", capturingWriter(file)), 1);
    EXPECT_EQ(file.name, "s.xml");
    const std::vector<std::string> expected = {
        declaration,
        "<Queue>",
        "<Entry>",
        "<NAME>A&amp;B&lt;C</NAME>",
        "<Pair>ab cde</Pair>",
        "<Left>ab</Left>",
        "<Right>cde</Right>",
        "<Note>  lead</Note>",
        "</Entry>",
        "<Entry>",
        "<Note>it&apos;s &quot;x&quot;&gt;</Note>",
        "</Entry>",
        "</Queue>",
    };
    EXPECT_EQ(linesOf(file.bytes), expected);
}

TEST(ExportXml, EmptyQueue) {
    Queue q(RecordLayoutBuilder().string("Lyn", 1024).build());
    CapturedFile file;
    ASSERT_EQ(ExportXml(q, "e.xml", "Queue", capturingWriter(file)), 1);
    EXPECT_EQ(file.bytes, declaration + "\r\n<Queue>\r\n</Queue>\r\n");
    EXPECT_EQ(declaration.size(), 60u);
}

// Exports the queue's one text field and reads the file back; every entry
// must come back as its value with the bytes XML cannot hold left out.
void expectRoundTrip(const std::vector<std::string>& values, uint32_t fieldSize) {
    Queue q(RecordLayoutBuilder().string("Text", fieldSize).longField("No").build());
    for (size_t i = 0; i < values.size(); ++i) {
        setText(q, 1, values[i]);
        setNumber(q, 2, static_cast<int32_t>(i));
        ADD(q);
    }
    CapturedFile file;
    ASSERT_EQ(ExportXml(q, "r.xml", "Queue", capturingWriter(file)), 1);
    XmlDocument doc = readXml(file.bytes);
    ASSERT_TRUE(doc.ok) << doc.error;
    EXPECT_EQ(doc.root.name, "Queue");
    ASSERT_EQ(doc.root.children.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const XmlElement& entry = doc.root.children[i];
        EXPECT_EQ(entry.name, "Entry");
        std::string expected;
        for (char c : values[i]) {
            const auto u = static_cast<unsigned char>(c);
            if (u >= 0x20 || c == '\t' || c == '\n' || c == '\r') expected += c;
        }
        while (!expected.empty() && expected.back() == ' ') expected.pop_back();
        std::string text;
        for (const XmlElement& e : entry.children) {
            if (e.name == "Text") text = e.text;
        }
        EXPECT_EQ(text, expected) << "entry " << i;
        ASSERT_FALSE(entry.children.empty());
        EXPECT_EQ(entry.children.back().name, "No");
        EXPECT_EQ(entry.children.back().text, std::to_string(i));
    }
}

TEST(ExportXml, EveryValueReadsBack) {
    std::string everyByte;
    for (int c = 1; c < 256; ++c) everyByte += static_cast<char>(c);
    expectRoundTrip({"plain", "A&B<C>D\"E'F", "&amp; stays text", "  leading", "tab\there", "cr\rlf\nboth\r\n",
                     "\x01\x02\x08\x0b\x0c\x0e\x1f", "x\x01 ", everyByte, "<Text>not a tag</Text>", "caf\xE9"},
                    300);
}

TEST(ExportXml, ValuesLongerThanAnyLineAreWrittenWhole) {
    std::string markup;
    while (markup.size() < 4000) markup += "<&>\"'";
    expectRoundTrip({std::string(5000, 'x') + "end", markup, "short"}, 5003);

    // A completed value far longer than the line record.
    Queue q(RecordLayoutBuilder().string("Text", 10).build());
    setText(q, 1, "start");
    ADD(q);
    CapturedFile file;
    queueview::ExportWriter writer = capturingWriter(file);
    writer.completeValue = [](QueueDecl*, uint32_t, int, std::string& value) { value += std::string(50000, '&'); };
    ASSERT_EQ(ExportXml(q, "x.xml", "Queue", writer), 1);
    XmlDocument doc = readXml(file.bytes);
    ASSERT_TRUE(doc.ok) << doc.error;
    EXPECT_EQ(doc.root.children.at(0).children.at(0).text, "start" + std::string(50000, '&'));
}

TEST(ExportXml, TheOutputsFailureIsTheResult) {
    Queue q(RecordLayoutBuilder().string("Text", 10).build());
    CapturedFile file;
    EXPECT_EQ(ExportXml(q, "f.xml", "Queue", capturingWriter(file, 0)), 0);
    EXPECT_EQ(file.creates, 1);
    file.refuseCreate = true;
    EXPECT_EQ(ExportXml(q, "f.xml", "Queue", capturingWriter(file)), 0);
    EXPECT_FALSE(file.finished);
    for (int i = 0; i < 5; ++i) {
        setText(q, 1, "v" + std::to_string(i));
        ADD(q);
    }
    file.refuseCreate = false;
    file.failFromLine = 6;
    EXPECT_EQ(ExportXml(q, "f.xml", "Queue", capturingWriter(file)), 0);
    EXPECT_EQ(file.lines, 5);
    EXPECT_TRUE(file.finished);
}

}  // namespace
}  // namespace varnok::testing
