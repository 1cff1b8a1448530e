// ExportLines: the lines of an export file, built as a queue of text lines
// (one STRING field, one entry per line) that the caller's SaveText writes.
//
// No line is ever cut. The record starts at the size the caller expects the
// longest line to need (never more than MaxStartSize); a longer line makes a
// new queue with room for it, into which the lines so far are copied, so
// growing is rare and costs one copy of what was built.
//
// Invariant: every byte of the record buffer from filled_ on is a space, so
// each line is appended as its own bytes and the padding is never read.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/queue/queue.h"
#include "runtime/records/record_layout.h"

namespace varnok::queueview {

class ExportLines {
public:
    static constexpr size_t MaxStartSize = size_t(1) << 20;

    explicit ExportLines(size_t expectedLongest);

    // Appends a line. False when memory ran out (the queue's error code
    // tells); the lines so far stay.
    bool add(std::string_view line);

    QueueDecl* queue() { return lines_->decl(); }
    uint32_t count() { return RECORDS(lines_->decl()); }
    size_t recordSize() const { return lines_->recordSize(); }

private:
    static std::unique_ptr<Queue> makeQueue(size_t recordSize);
    bool grow(size_t longest);

    std::unique_ptr<Queue> lines_;
    size_t filled_ = 0;
};

// The longest text the record reflection can give for one element of a
// field: a text or group its size, a number its longest decimal form.
size_t longestValueText(const FieldDesc& field);

}  // namespace varnok::queueview
