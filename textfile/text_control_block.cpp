#include "textfile/text_control_block.h"

#include <algorithm>
#include <new>

namespace varnok::textfile {

namespace {

// A read buffer serves one line at a time; sizes beyond this are treated as
// memory running short, so the option handling halves them.
constexpr uint32_t kLargestReadBuffer = 64u << 20;

// Reads that may be served from the buffer (QUICKSCAN on) fetch at least this
// much at a time: a window is a whole record wide, so a buffer of twice the
// record size would go back to the system every few lines.
constexpr uint32_t kReadAhead = 64u << 10;

}  // namespace

bool TextControlBlock::resizeReadBuffer(uint32_t bytes) {
    if (bytes > kLargestReadBuffer) return false;
    try {
        decltype(readBuffer) fresh(static_cast<size_t>(std::max(bytes, kReadAhead)) + 1);
        readBuffer.swap(fresh);
    } catch (const std::bad_alloc&) {
        return false;
    }
    bufferFill = 0;
    return true;
}

size_t TextControlBlock::refillSize() const {
    const size_t physical = readBuffer.size() - 1;
    // Without QUICKSCAN every window is read afresh, so read only what the
    // FILEBUFFERS setting asks for.
    return options.quickScan ? physical : std::min<size_t>(physical, options.bufferSize);
}

void TextControlBlock::invalidate(uint64_t offset, uint64_t count) {
    if (bufferFill == 0) return;
    const uint64_t end = count > UINT64_MAX - offset ? UINT64_MAX : offset + count;
    if (end > bufferStart && offset < bufferStart + bufferFill) bufferFill = 0;
}

}  // namespace varnok::textfile
