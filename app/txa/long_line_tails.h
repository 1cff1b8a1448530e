// LongLineTails: the part beyond the record of every line too long for its
// queue record, keyed by the line's position in the queue. Lines are kept
// whole this way while the queue record holds only their first bytes.
//
// Invariant: entries are sorted by line number, at most one per line, and
// no tail is empty. eraseLines keeps the numbers in step with a queue that
// lost a range of entries.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnok::app {

class LongLineTails {
public:
    void clear() { tails_.clear(); }
    bool empty() const { return tails_.empty(); }
    size_t size() const { return tails_.size(); }
    // The line of the last tail; 0 when there is none.
    uint32_t lastLine() const { return tails_.empty() ? 0 : tails_.back().line; }

    // Adds the tail of a line numbered above every line held so far.
    void append(uint32_t line, std::string_view tail);
    // Takes over the tails of the first `count` lines of other, a list of
    // lines that follow this one's: line n there is line offset + n here.
    void appendFrom(LongLineTails&& other, uint32_t offset, uint32_t count);
    // The tail of a line, empty when it has none.
    std::string_view tailOf(uint32_t line) const;
    // The queue lost entries first..first+count-1: drops their tails and
    // moves the later ones up by count.
    void eraseLines(uint32_t first, uint32_t count);

    // Walks the tails in line order; the cursor makes lookups of ascending
    // line numbers cost O(1) each.
    class Cursor {
    public:
        explicit Cursor(const LongLineTails& tails) : tails_(tails) {}
        std::string_view tailOf(uint32_t line);

    private:
        const LongLineTails& tails_;
        size_t next_ = 0;
    };

private:
    struct Tail {
        uint32_t line;
        std::string text;
    };
    std::vector<Tail> tails_;
};

}  // namespace varnok::app
