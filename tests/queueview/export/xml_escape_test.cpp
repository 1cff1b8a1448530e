// XmlEscape: the entity table, each special character replaced once, the
// trailing spaces, the bytes XML cannot hold, and no length limit.
#include "queueview/export/xml_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace varnok::queueview {
namespace {

TEST(XmlEscape, Table) {
    struct Case {
        std::string_view text, escaped;
    } cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"A&B<C", "A&amp;B&lt;C"},
        {"&<>\"'", "&amp;&lt;&gt;&quot;&apos;"},
        {"&amp;", "&amp;amp;"},            // the text of an inserted entity is not looked at again
        {"&&", "&amp;&amp;"},
        {"  lead", "  lead"},
        {"trail   ", "trail"},
        {"   ", ""},
        {"a & b ", "a &amp; b"},
        {std::string_view("a\0b", 3), "ab"},
        {"\x01\x08\x0b\x0c\x0e\x1f", ""},
        {"tab\tlf\n", "tab\tlf\n"},
        {"cr\r", "cr&#13;"},
        {"x \x01", "x"},                    // no trailing space is left once a byte drops out
        {"caf\xE9 \xA0\xFF", "caf\xE9 \xA0\xFF"},  // ISO-8859-1 and Windows-1252 agree from 0xA0 on
        // 0x80 to 0x9F: the references of their Windows-1252 characters
        {"\x80 5", "&#8364; 5"},
        {"\x93quoted\x94", "&#8220;quoted&#8221;"},
        {"\x81\x9F\x9D", "&#129;&#376;&#157;"},  // the unassigned bytes keep their number
    };
    for (const Case& c : cases) EXPECT_EQ(XmlEscape(c.text), c.escaped) << '"' << c.text << '"';
}

TEST(XmlEscape, LongTextsAreNeverCut) {
    const std::string text(5000, '&');
    const std::string escaped = XmlEscape(text + "<");
    EXPECT_EQ(escaped.size(), 5000u * 5 + 4);
    EXPECT_EQ(escaped.substr(escaped.size() - 9), "&amp;&lt;");
}

TEST(XmlEscape, AppendsAfterWhatIsThere) {
    std::string out = "<Name> ";
    appendXmlEscaped(out, "   ");
    EXPECT_EQ(out, "<Name> ");  // only the appended part is trimmed
    appendXmlEscaped(out, "a<");
    EXPECT_EQ(out, "<Name> a&lt;");
}

}  // namespace
}  // namespace varnok::queueview
