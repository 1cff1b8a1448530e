// The file lock: LOCKfile, LOCKfilesec, UNLOCK and the lock around a
// shared file's writes.
#include <atomic>
#include <chrono>
#include <thread>

#include "textfile/text_line_io.h"

namespace varnok::textfile {

namespace {

constexpr uint8_t kMostNested = 255;  // the lock count is one byte
std::atomic<uint32_t> gWriteLockWait{10'000};

}  // namespace

int32_t waitForWriteLock(platform::OsFile& file) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(gWriteLockWait.load());
    // Writers hold the lock for one write call, so a short wait is usual:
    // yield first, then sleep a little longer each time.
    auto pause = std::chrono::microseconds(20);
    for (int attempt = 0;; ++attempt) {
        const int32_t code = file.tryLock();
        if (code != 32) return code;
        if (Clock::now() >= deadline) return 32;
        if (attempt < 8) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(pause);
            if (pause < std::chrono::milliseconds(5)) pause *= 2;
        }
    }
}

uint32_t setWriteLockWaitMilliseconds(uint32_t milliseconds) {
    return gWriteLockWait.exchange(milliseconds);
}

int32_t lockFile(TextControlBlock& cb) {
    if (cb.lockCount > 0) {
        if (cb.lockCount == kMostNested) return 5;
        ++cb.lockCount;
        return 0;
    }
    for (;;) {
        const int32_t code = cb.file.tryLock();
        if (code == 0) break;
        if (code != 32) return code;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    cb.lockCount = 1;
    return 0;
}

int32_t lockFileFor(TextControlBlock& cb, uint32_t seconds,
                    void (*onFailure)(const void* context, int32_t code), const void* context) {
    if (cb.lockCount > 0) return lockFile(cb);
    for (uint32_t attempt = 0;; ++attempt) {
        const int32_t code = cb.file.tryLock();
        if (code == 0) {
            cb.lockCount = 1;
            return 0;
        }
        if (onFailure) onFailure(context, code);
        if (code != 32 || attempt >= seconds) return code;
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}

int32_t unlockFile(TextControlBlock& cb) {
    if (cb.lockCount == 0) return 0;
    if (--cb.lockCount > 0) return 0;
    return cb.file.unlock();
}

void dropFileLock(TextControlBlock& cb) {
    if (cb.lockCount == 0) return;
    cb.lockCount = 0;
    cb.file.unlock();
}

}  // namespace varnok::textfile
