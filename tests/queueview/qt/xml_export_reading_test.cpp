// The XML export read back by Qt's XML reader, which takes the declared
// ISO-8859-1 at its word: the euro sign and the curly quotes of the
// program's Windows-1252 text come back as themselves, not as control
// characters.
#include <gtest/gtest.h>

#include <QString>
#include <QXmlStreamReader>
#include <string>
#include <vector>

#include "queueview/export/xml_export.h"
#include "tests/queueview/export/export_test_support.h"

namespace varnok::testing {
namespace {

TEST(XmlExportReading, EveryByteReadsBackAsItsWindows1252Character) {
    struct Case {
        std::string text;      // Windows-1252, as the queue holds it
        QString read;          // what the reader gives
    } cases[] = {
        {"\x80 12,50", QString::fromUtf8("\u20AC 12,50")},
        {"\x93quoted\x94 \x85", QString::fromUtf8("\u201Cquoted\u201D \u2026")},
        {"caf\xE9 \xA0\xFF", QString::fromUtf8("caf\u00E9 \u00A0\u00FF")},
        {"A&B<C \x99", QString::fromUtf8("A&B<C \u2122")},
    };
    Queue q(RecordLayoutBuilder().string("Text", 40).build());
    for (const Case& c : cases) {
        setText(q, 1, c.text);
        ADD(q);
    }
    CapturedFile file;
    ASSERT_EQ(queueview::ExportXml(q, "t.xml", "Queue", capturingWriter(file)), 1);
    EXPECT_EQ(file.bytes.substr(0, 60), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>");

    QXmlStreamReader reader(QByteArray::fromStdString(file.bytes));
    std::vector<QString> read;
    QString encoding;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartDocument) encoding = reader.documentEncoding().toString();
        if (token == QXmlStreamReader::StartElement && reader.name() == QLatin1String("Text"))
            read.push_back(reader.readElementText());
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_EQ(encoding.toStdString(), "ISO-8859-1");
    ASSERT_EQ(read.size(), std::size(cases));
    for (size_t i = 0; i < read.size(); ++i) EXPECT_EQ(read[i].toStdString(), cases[i].read.toStdString()) << i;
}

}  // namespace
}  // namespace varnok::testing
