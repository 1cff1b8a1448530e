// OutputBuffers: gathers the bytes of a file being written into large
// buffers and writes each full one at its place in the file on a helper
// thread, up to two at once, while the caller fills the next. The system's
// copying of the data then overlaps the making of it.
//
// Bytes go in through put(), or are made in place: reserve(n) gives room
// for at least n bytes at the current end, and used(n) counts n of them as
// written. finish() writes the rest and waits for every write; the first
// failure (an errno) is kept, and after it nothing more is written. The
// destructor waits for writes in flight, so the file may be abandoned
// right after.
#pragma once
#include <cstddef>
#include <cstdint>
#include <future>
#include <vector>

#include "platform/plain_file.h"

namespace varnok::platform {

class OutputBuffers {
public:
    OutputBuffers(SafeOutputFile& file, size_t bufferBytes);
    ~OutputBuffers() { waitAll(); }
    OutputBuffers(const OutputBuffers&) = delete;
    OutputBuffers& operator=(const OutputBuffers&) = delete;

    // Room for n bytes (n <= the buffer size); nullptr after a failure.
    char* reserve(size_t n);
    void used(size_t n) { used_ += n; }
    bool put(const char* bytes, size_t n);
    bool finish();
    int error() const { return error_; }

private:
    static constexpr int kBuffers = 3;  // one filling, up to two being written
    bool flush();
    void settle(int k);
    void waitAll();

    SafeOutputFile& file_;
    std::vector<char> buffers_[kBuffers];
    std::future<int> writes_[kBuffers];  // errno of each buffer's write, 0 when written
    int filling_ = 0;
    size_t used_ = 0;      // bytes in the buffer being filled
    uint64_t offset_ = 0;  // where that buffer goes in the file
    int error_ = 0;
};

}  // namespace varnok::platform
