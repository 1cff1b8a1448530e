#include "app/txa/long_line_tails.h"

#include <algorithm>

namespace varnok::app {

void LongLineTails::append(uint32_t line, std::string_view tail) {
    if (tail.empty()) return;
    if (!tails_.empty() && tails_.back().line >= line) return;  // keeps the order invariant
    tails_.push_back({line, std::string(tail)});
}

void LongLineTails::appendFrom(LongLineTails&& other, uint32_t offset, uint32_t count) {
    for (Tail& t : other.tails_) {
        if (t.line > count) break;
        if (tails_.empty() || tails_.back().line < offset + t.line) tails_.push_back({offset + t.line, std::move(t.text)});
    }
    other.tails_.clear();
}

std::string_view LongLineTails::tailOf(uint32_t line) const {
    auto it = std::lower_bound(tails_.begin(), tails_.end(), line,
                               [](const Tail& t, uint32_t l) { return t.line < l; });
    return it != tails_.end() && it->line == line ? std::string_view(it->text) : std::string_view();
}

void LongLineTails::eraseLines(uint32_t first, uint32_t count) {
    if (count == 0) return;
    auto lineLess = [](const Tail& t, uint32_t l) { return t.line < l; };
    auto from = std::lower_bound(tails_.begin(), tails_.end(), first, lineLess);
    auto to = std::lower_bound(from, tails_.end(), first + count, lineLess);
    for (auto it = to; it != tails_.end(); ++it) it->line -= count;
    tails_.erase(from, to);
}

std::string_view LongLineTails::Cursor::tailOf(uint32_t line) {
    const auto& all = tails_.tails_;
    while (next_ < all.size() && all[next_].line < line) ++next_;
    return next_ < all.size() && all[next_].line == line ? std::string_view(all[next_].text)
                                                         : std::string_view();
}

}  // namespace varnok::app
