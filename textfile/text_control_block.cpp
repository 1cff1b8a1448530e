#include "textfile/text_control_block.h"

#include <new>

namespace varnok::textfile {

namespace {

// A read buffer serves one line at a time; sizes beyond this are treated as
// memory running short, so the option handling halves them.
constexpr uint32_t kLargestReadBuffer = 64u << 20;

}  // namespace

bool TextControlBlock::resizeReadBuffer(uint32_t bytes) {
    if (bytes > kLargestReadBuffer) return false;
    try {
        std::vector<uint8_t> fresh(static_cast<size_t>(bytes) + 1);
        readBuffer.swap(fresh);
    } catch (const std::bad_alloc&) {
        return false;
    }
    bufferFill = 0;
    return true;
}

void TextControlBlock::invalidate(uint64_t offset, uint64_t count) {
    if (bufferFill == 0) return;
    const uint64_t end = count > UINT64_MAX - offset ? UINT64_MAX : offset + count;
    if (end > bufferStart && offset < bufferStart + bufferFill) bufferFill = 0;
}

}  // namespace varnok::textfile
