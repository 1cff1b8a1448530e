#include "platform/output_buffers.h"

#include <cstring>
#include <system_error>

namespace varnok::platform {

OutputBuffers::OutputBuffers(SafeOutputFile& file, size_t bufferBytes) : file_(file) {
    for (std::vector<char>& b : buffers_) b.resize(bufferBytes);
}

void OutputBuffers::settle(int k) {
    if (!writes_[k].valid()) return;
    const int e = writes_[k].get();
    if (e != 0 && error_ == 0) error_ = e;
}

void OutputBuffers::waitAll() {
    for (int k = 0; k < kBuffers; ++k) settle(k);
}

// Sends the buffer being filled off to be written and moves on to the next
// one, once the write that last used it is done.
bool OutputBuffers::flush() {
    if (error_ != 0) return false;
    if (used_ > 0) {
        const char* data = buffers_[filling_].data();
        const size_t n = used_;
        const uint64_t at = offset_;
        try {
            writes_[filling_] = std::async(std::launch::async, [this, data, n, at] { return file_.writeAt(at, data, n); });
        } catch (const std::system_error&) {
            const int e = file_.writeAt(at, data, n);  // no thread: write here
            if (e != 0) error_ = e;
        }
        offset_ += n;
        used_ = 0;
        filling_ = (filling_ + 1) % kBuffers;
        settle(filling_);
    }
    return error_ == 0;
}

char* OutputBuffers::reserve(size_t n) {
    if (buffers_[filling_].size() - used_ < n && !flush()) return nullptr;
    return error_ == 0 ? buffers_[filling_].data() + used_ : nullptr;
}

bool OutputBuffers::put(const char* bytes, size_t n) {
    const size_t size = buffers_[filling_].size();
    if (n > size) {
        // Larger than a buffer: written here, after everything before it.
        if (!flush()) return false;
        waitAll();
        if (error_ != 0) return false;
        const int e = file_.writeAt(offset_, bytes, n);
        if (e != 0) error_ = e;
        offset_ += n;
        return error_ == 0;
    }
    char* room = reserve(n);
    if (!room) return false;
    std::memcpy(room, bytes, n);
    used_ += n;
    return true;
}

bool OutputBuffers::finish() {
    flush();
    waitAll();
    return error_ == 0;
}

}  // namespace varnok::platform
