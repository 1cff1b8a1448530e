// ExportWriter: what an export needs from its caller. QueueTool (app/txa)
// gives one that writes through its SaveText and completes the long lines of
// a line queue it loaded.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "runtime/queue/queue.h"

namespace varnok::queueview {

struct ExportWriter {
    // Writes every entry of the line queue as one line, without trailing
    // spaces, ended by CR LF. Returns 1 when written, 0 after a failure that
    // it reported to the user ("Error Open", "Error WriteFile").
    std::function<uint8_t(QueueDecl* lines, std::string_view fileName)> saveText;
    // Optional. Called with the value the record reflection gave for a field
    // of the entry at a position (the entry is in the queue's buffer); when
    // the entry holds only the start of a longer value, puts the whole value
    // in its place.
    std::function<void(QueueDecl* queue, uint32_t position, int field, std::string& value)> completeValue;
};

// The value of a field of the entry at a position, which the queue's buffer
// holds: the reflection's text, completed by the writer.
void readExportValue(const ExportWriter& writer, QueueDecl* queue, uint32_t position, int field, std::string& value);

}  // namespace varnok::queueview
