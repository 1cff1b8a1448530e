// The XML export read back by Qt's XML reader, which takes the declared ISO-8859-1 at its
// word: the euro sign and the curly quotes come back as themselves, not as controls.
#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include "queueview/export/xml_export.h"
#include "tests/queueview/export/export_test_support.h"

namespace varnok::testing {
namespace {

TEST(XmlExportReading, EveryByteReadsBackAsItsWindows1252Character) {
    const std::pair<std::string, std::string> cases[] = {  // Windows-1252, and read as UTF-8
        {"\x80 12,50", "\u20AC 12,50"},
        {"\x93quoted\x94 \x85\x99", "\u201Cquoted\u201D \u2026\u2122"},
        {"caf\xE9 \xA0\xFF&<", "caf\u00E9 \u00A0\u00FF&<"},
    };
    Queue q(RecordLayoutBuilder().string("Text", 40).build());
    for (const auto& c : cases) setText(q, 1, c.first), ADD(q);
    CapturedFile file;
    ASSERT_EQ(queueview::ExportXml(q, "t.xml", "Queue", capturingWriter(file)), 1);
    QXmlStreamReader reader(QByteArray::fromStdString(file.bytes));
    std::vector<std::string> read;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("Text"))
            read.push_back(reader.readElementText().toStdString());
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_EQ(read, (std::vector<std::string>{cases[0].second, cases[1].second, cases[2].second}));
}

}  // namespace
}  // namespace varnok::testing
