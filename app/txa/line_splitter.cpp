#include "app/txa/line_splitter.h"

#include <cstring>

namespace varnok::app {

bool LineSplitter::emit(const char* text, size_t length) {
    if (pending_.empty()) return sink_(context_, text, length);
    pending_.append(text, length);
    bool go = sink_(context_, pending_.data(), pending_.size());
    pending_.clear();
    return go;
}

bool LineSplitter::feed(const char* c, size_t n) {
    size_t start = 0;  // first byte of the current line inside the chunk
    if (mode_ == LineEnd::CrLf && n > 0 && c[0] == '\n' && !pending_.empty() && pending_.back() == '\r') {
        // The pair was split between the chunks.
        pending_.pop_back();
        bool go = sink_(context_, pending_.data(), pending_.size());
        pending_.clear();
        if (!go) return false;
        start = 1;
    }
    size_t from = start;  // where the search for the next LF goes on
    while (from < n) {
        const void* hit = std::memchr(c + from, '\n', n - from);
        if (!hit) break;
        size_t e = static_cast<size_t>(static_cast<const char*>(hit) - c);
        if (mode_ == LineEnd::Lf) {
            if (!emit(c + start, e - start)) return false;
            start = e + 1;
        } else if (e > start && c[e - 1] == '\r') {
            if (!emit(c + start, e - 1 - start)) return false;
            start = e + 1;
        }
        // else: a LF without its CR is text of the line; search on after it
        from = e + 1;
    }
    pending_.append(c + start, n - start);
    return true;
}

bool LineSplitter::finish() {
    if (pending_.empty()) return true;
    bool go = sink_(context_, pending_.data(), pending_.size());
    pending_.clear();
    return go;
}

void LineEndDetector::feed(const char* c, size_t n) {
    if (n == 0) return;
    if (lastWasCr_ && c[0] == '\n') crlf_ = true;
    size_t from = 0;
    while (!crlf_ && from < n) {
        const void* hit = std::memchr(c + from, '\n', n - from);
        if (!hit) break;
        size_t e = static_cast<size_t>(static_cast<const char*>(hit) - c);
        lf_ = true;
        if (e > 0 && c[e - 1] == '\r') crlf_ = true;
        from = e + 1;
    }
    if (!lf_ && (crlf_ || std::memchr(c, '\n', n))) lf_ = true;
    lastWasCr_ = c[n - 1] == '\r';
}

}  // namespace varnok::app
