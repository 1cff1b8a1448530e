// ExportWriter: what an export needs from its caller. The line list of
// app/txa (TxaLines) gives one that writes as its save does (a temporary
// file beside the target, renamed into place when complete) and completes
// the long lines of its queue; QueueTool's tells the user of a failure
// ("Error Open", "Error WriteFile"), the command line's only records it.
//
// An export hands its lines to an ExportOutput one at a time, as it makes
// them, so no copy of the whole export is ever held in memory.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/queue/queue.h"

namespace varnok::queueview {

// One export file being written. Each line goes out without its trailing
// spaces, ended by CR LF. Nothing appears under the file's name before
// finish() succeeds; an output destroyed unfinished leaves no trace.
class ExportOutput {
public:
    virtual ~ExportOutput() = default;
    // Appends one line. False once writing failed; finish() reports it.
    virtual bool add(std::string_view line) = 0;
    // Completes the file. 1 when written; 0 after a failure, which the
    // writer handled (reported to the user, or recorded for its maker).
    virtual uint8_t finish() = 0;
};

struct ExportWriter {
    // Starts the file; nullptr after a failure, which the writer handled.
    std::function<std::unique_ptr<ExportOutput>(std::string_view fileName)> create;
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
