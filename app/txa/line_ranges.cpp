#include "app/txa/line_ranges.h"

#include <algorithm>

namespace varnok::app {

uint32_t LineRanges::deleteAt(int64_t first, int64_t count) {
    const int64_t left = int64_t(lineCount_) - deleted_;
    if (first < 1 || count < 1 || first > left) return 0;
    const uint32_t n = static_cast<uint32_t>(std::min(count, left - first + 1));
    const uint32_t at = static_cast<uint32_t>(first);

    // Removal goes from the last instance to the first: the lines deleted
    // now lie before every range deleted so far, numbered as at first.
    if (ranges_.empty() || at + n <= ranges_.back().first) {
        if (!ranges_.empty() && at + n == ranges_.back().first) {
            ranges_.back().first = at;
            ranges_.back().count += n;
        } else {
            ranges_.push_back({at, n});
        }
        deleted_ += n;
        return n;
    }

    // Any other order: number the position as at first, then take the next
    // n lines not yet deleted, joining the ranges they meet.
    std::vector<LineRange> ascending(ranges_.rbegin(), ranges_.rend());
    uint32_t line = at;
    size_t i = 0;
    while (i < ascending.size() && ascending[i].first <= line) line += ascending[i++].count;
    std::vector<LineRange> merged(ascending.begin(), ascending.begin() + static_cast<std::ptrdiff_t>(i));
    auto add = [&](LineRange r) {
        if (!merged.empty() && merged.back().first + merged.back().count == r.first)
            merged.back().count += r.count;
        else
            merged.push_back(r);
    };
    uint32_t toTake = n;
    while (toTake > 0) {
        const uint32_t until = i < ascending.size() ? ascending[i].first : lineCount_ + 1;
        const uint32_t take = std::min(toTake, until - line);
        add({line, take});
        toTake -= take;
        line += take;
        if (toTake > 0) {  // the next range follows at once
            add(ascending[i]);
            line += ascending[i++].count;
        }
    }
    for (; i < ascending.size(); ++i) add(ascending[i]);
    ranges_.assign(merged.rbegin(), merged.rend());
    deleted_ += n;
    return n;
}

}  // namespace varnok::app
