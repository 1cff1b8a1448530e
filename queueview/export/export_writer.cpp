#include "queueview/export/export_writer.h"

#include "runtime/records/record_reflection.h"

namespace varnok::queueview {

void readExportValue(const ExportWriter& writer, QueueDecl* queue, uint32_t position, int field, std::string& value) {
    value = reflectFieldValue(queue, field);
    if (writer.completeValue) writer.completeValue(queue, position, field, value);
}

}  // namespace varnok::queueview
