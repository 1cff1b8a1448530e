#include "app/txa/header_lines.h"

namespace varnok::app {

void HeaderLines::erase(uint32_t first, uint32_t count) {
    if (count == 0 || !valid_) return;
    if (!cuts_.empty() && first + count > cuts_.back().first) {
        valid_ = false;  // not below the previous range: numbering unknown
        return;
    }
    cuts_.push_back({first, count});
}

const std::vector<uint32_t>* HeaderLines::lines() {
    if (!valid_) return nullptr;
    if (!cuts_.empty()) {
        // Walk the lines and the ranges (ascending: cuts_ from its back)
        // together, dropping lines inside a range and moving later ones up.
        size_t out = 0;
        uint32_t removed = 0;  // lines removed before the current line
        size_t c = cuts_.size();
        for (size_t i = 0; i < lines_.size(); ++i) {
            const uint32_t line = lines_[i];
            while (c > 0 && cuts_[c - 1].first + cuts_[c - 1].count <= line) {
                removed += cuts_[c - 1].count;
                --c;
            }
            if (c > 0 && line >= cuts_[c - 1].first) continue;  // inside a range
            kinds_[out] = kinds_[i];
            lines_[out++] = line - removed;
        }
        lines_.resize(out);
        kinds_.resize(out);
        cuts_.clear();
    }
    return &lines_;
}

void HeaderLines::appendFrom(const HeaderLines& other, uint32_t offset, uint32_t count) {
    if (!other.valid_ || !other.cuts_.empty()) {
        valid_ = false;  // the other list is not known line by line
        return;
    }
    for (size_t i = 0; i < other.lines_.size() && other.lines_[i] <= count; ++i) append(offset + other.lines_[i], other.kinds_[i]);
}

void HeaderLines::build(QueueDecl* queue) {
    clear();
    const uint32_t count = RECORDS(queue);
    uint32_t clean = queue ? queue->recordSize : 0;  // GETPadded rewrites only what differs
    for (uint32_t line = 1; line <= count; ++line) {
        clean = GETPadded(queue, static_cast<int32_t>(line), clean);
        if (errorCode() == NoError && queue->buffer[0] == '[')
            append(line, headerKindOf(queue->buffer, queue->recordSize));
    }
}

}  // namespace varnok::app
