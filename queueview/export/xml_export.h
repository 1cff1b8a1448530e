// ExportXml: a queue as a small XML document, one element per line:
//
//   <?xml version="1.0" encoding="ISO-8859-1" standalone="yes"?>
//   <Queue>                                 (the root name given)
//   <Entry>                                 per entry, in queue order
//   <Name>escaped value</Name>              per field whose value is not empty
//   </Entry>
//   </Queue>
//
// Every field is written, groups too (a group as one element holding the text
// of the whole group, its members after it as elements of their own). Values
// are escaped by XmlEscape (xml_escape.h), so the file is well-formed XML
// whatever the values hold. Lines are never cut.
#pragma once
#include <cstdint>
#include <string_view>

#include "queueview/export/export_writer.h"
#include "runtime/queue/queue.h"

namespace varnok::queueview {

constexpr std::string_view XmlDeclaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>";

// Writes the lines through writer.create as it makes them. Returns 1 when the
// file was written, 0 when not (the failure was reported by a message).
uint8_t ExportXml(QueueDecl* queue, std::string_view fileName, std::string_view rootName, const ExportWriter& writer);

}  // namespace varnok::queueview
