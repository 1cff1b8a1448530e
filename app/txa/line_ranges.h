// LineRanges: what a series of deletions takes out of a list of lines, as
// ranges of the list before the first of them.
//
// Removal deletes each ticked instance's lines as "count lines at position
// first" of the lines as they are by then, the last instance first, and a
// position past the end deletes nothing. deleteAt records one such deletion
// without touching the lines, so that the copy can be written from the
// lines as they are and the deletions made only once it was written.
//
//   LineRanges gone(30);
//   gone.deleteAt(12, 9);   // lines 12-20
//   gone.deleteAt(3, 6);    // lines 3-8 (before 12: numbered as at first)
//   gone.ranges()           // {3, 6}, {12, 9}
//
// Invariant: ranges_ is sorted by first line, descending; the ranges are
// apart (none touches another, so each run of deleted lines is one range)
// and lie within 1..lineCount; deleted_ is the sum of their counts.
#pragma once
#include <cstdint>
#include <vector>

namespace varnok::app {

struct LineRange {
    uint32_t first = 0;  // 1-based
    uint32_t count = 0;
    bool operator==(const LineRange&) const = default;
};

class LineRanges {
public:
    explicit LineRanges(uint32_t lineCount = 0) : lineCount_(lineCount) {}

    // Deletes count lines at position first of the lines left by the
    // deletions before (those that exist there). Returns the number deleted.
    uint32_t deleteAt(int64_t first, int64_t count);

    uint32_t lineCount() const { return lineCount_; }
    uint32_t deleted() const { return deleted_; }
    bool empty() const { return ranges_.empty(); }
    // The deleted lines, ascending, numbered as before any deletion.
    std::vector<LineRange> ranges() const { return {ranges_.rbegin(), ranges_.rend()}; }
    // The same, descending: the order in which deleting them one range at a
    // time leaves the numbers of the ranges still to go valid.
    const std::vector<LineRange>& descending() const { return ranges_; }

private:
    uint32_t lineCount_;
    uint32_t deleted_ = 0;
    std::vector<LineRange> ranges_;  // descending by first
};

}  // namespace varnok::app
