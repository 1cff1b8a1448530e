// HeaderLines: the numbers of the lines that begin with "[", kept beside a
// line queue so that a scan can skip every other line without reading it.
//
// It follows range deletions made from the end of the queue towards its
// start (each range ends before the previous one begins), which is how
// removal deletes instances: such ranges are all numbered as in the queue
// before the first of them, so they are applied together in one pass when
// the lines are next asked for. A deletion out of that order makes the list
// invalid (lines() gives nullptr) until it is rebuilt (build).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/txa/header_kind.h"
#include "runtime/queue/queue.h"

namespace varnok::app {

// The header lines of a line list and their kinds, one kind per line.
struct HeaderIndex {
    const std::vector<uint32_t>& lines;  // ascending
    const std::vector<HeaderKind>& kinds;
};

class HeaderLines {
public:
    void clear() {
        lines_.clear();
        kinds_.clear();
        cuts_.clear();
        valid_ = true;
    }
    void invalidate() { valid_ = false; }
    // Adds a header line numbered above every line held so far.
    void append(uint32_t line, HeaderKind kind) {
        lines_.push_back(line);
        kinds_.push_back(kind);
    }
    // Adds the header lines among the first `count` lines of other, a list
    // of lines that follow this one's: line n there is line offset + n here.
    void appendFrom(const HeaderLines& other, uint32_t offset, uint32_t count);
    // Indexes every line of a line queue afresh (reads them all).
    void build(QueueDecl* queue);
    // The queue lost entries first..first+count-1.
    void erase(uint32_t first, uint32_t count);
    // Ascending header line numbers, or nullptr when no longer known.
    const std::vector<uint32_t>* lines();
    // The kind of each of those lines, in step with what lines() returned.
    const std::vector<HeaderKind>& kinds() const { return kinds_; }

private:
    struct Cut {
        uint32_t first, count;
    };
    std::vector<uint32_t> lines_;
    std::vector<HeaderKind> kinds_;  // one per line
    std::vector<Cut> cuts_;  // pending, in descending order of first
    bool valid_ = true;
};

}  // namespace varnok::app
