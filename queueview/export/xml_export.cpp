#include "queueview/export/xml_export.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/trailing_spaces.h"
#include "queueview/export/export_names.h"
#include "queueview/export/xml_escape.h"
#include "runtime/records/record_reflection.h"

namespace varnok::queueview {

static_assert(XmlDeclaration.size() == 60);

namespace {

struct Element {
    int field = 0;
    std::string name;
};

}  // namespace

uint8_t ExportXml(QueueDecl* queue, std::string_view fileName, std::string_view rootName, const ExportWriter& writer) {
    if (!queue || !queue->buffer || !queue->layout || !writer.create) return 0;
    const std::string root(platform::withoutTrailingSpaces(rootName));

    std::vector<Element> elements;
    for (int n = 1;; ++n) {
        std::string name = reflectFieldName(queue, n);
        if (name.empty()) break;
        elements.push_back(Element{n, exportFieldName(name)});
    }

    // Each line goes out as soon as it is made.
    const std::unique_ptr<ExportOutput> out = writer.create(fileName);
    if (!out) return 0;
    bool added = out->add(XmlDeclaration) && out->add("<" + root + ">");
    const uint32_t entries = RECORDS(queue);
    std::string value, line;
    uint32_t clean = queue->recordSize;  // GETPadded rewrites only what differs
    for (uint32_t i = 1; i <= entries && added; ++i) {
        clean = GETPadded(queue, static_cast<int32_t>(i), clean);
        if (errorCode() != NoError) continue;
        added = out->add("<Entry>");
        for (size_t k = 0; k < elements.size() && added; ++k) {
            readExportValue(writer, queue, i, elements[k].field, value);
            const std::string& name = elements[k].name;
            line.assign(1, '<').append(name).append(1, '>');
            const size_t start = line.size();
            appendXmlEscaped(line, value);
            if (line.size() == start) continue;  // an empty value gives no element
            line.append("</").append(name).append(1, '>');
            added = out->add(line);
        }
        if (added) added = out->add("</Entry>");
    }
    if (added) out->add("</" + root + ">");
    return out->finish();
}

}  // namespace varnok::queueview
