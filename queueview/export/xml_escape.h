// XmlEscape: a value as the text of an XML element.
//
// Trailing spaces are dropped first (leading spaces stay). Then each of the
// five characters & < > " ' becomes its entity (&amp; &lt; &gt; &quot;
// &apos;), exactly once: the text of an inserted entity is never looked at
// again, so "&amp;" in a value is written "&amp;amp;". The result is never
// cut, however long.
//
// So that every export is well-formed XML 1.0 and reads back as written:
//   - the control bytes XML 1.0 does not allow anywhere (0x00 to 0x08, 0x0B,
//     0x0C, 0x0E to 0x1F) are left out;
//   - a carriage return is written as "&#13;", because a reader turns a
//     literal one into a line feed. Tab and line feed stay as they are;
//   - the bytes 0x80 to 0x9F, which the program holds as Windows-1252 text
//     ("\x80" is the euro sign) but ISO-8859-1, the declared encoding, reads
//     as control characters, are written as the character references of
//     their Windows-1252 characters ("&#8364;").
// Every other byte is copied unchanged (ISO-8859-1 and Windows-1252 agree
// on them).
#pragma once
#include <string>
#include <string_view>

namespace varnok::queueview {

std::string XmlEscape(std::string_view text);
// The same, appended to out.
void appendXmlEscaped(std::string& out, std::string_view text);

}  // namespace varnok::queueview
