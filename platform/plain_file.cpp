// The fault seam of plain files (platform/plain_file.h), the same on every
// system.
#include "platform/plain_file.h"

#include <atomic>
#include <cerrno>
#include <functional>
#include <utility>

namespace varnok::platform {

namespace {

struct Fault {
    std::atomic<int> countdown{0};  // the call that makes it reach 0 fails; 0 = disarmed
};
Fault faults[fileOpCount];

struct Hook {
    std::atomic<int> countdown{0};  // the call that makes it reach 0 runs the action first
    std::function<void()> action;   // set while countdown is 0
};
Hook hooks[fileOpCount];

// Counts one call down; true for the call that reaches 0.
bool countsDownToThisCall(std::atomic<int>& countdown) {
    int left = countdown.load(std::memory_order_relaxed);
    do {
        if (left == 0) return false;
    } while (!countdown.compare_exchange_weak(left, left - 1, std::memory_order_acq_rel));
    return left == 1;
}

}  // namespace

bool fileFaultInjected(FileOp op) {
    Hook& hook = hooks[static_cast<int>(op)];
    if (countsDownToThisCall(hook.countdown)) hook.action();
    // Atomic, as two threads may read one file at once.
    if (!countsDownToThisCall(faults[static_cast<int>(op)].countdown)) return false;
    errno = op == FileOp::Open ? EACCES : EIO;
    return true;
}

void failFileOperation(FileOp op, int nth) { faults[static_cast<int>(op)].countdown = nth < 0 ? 0 : nth; }

void beforeFileOperation(FileOp op, int nth, std::function<void()> action) {
    Hook& hook = hooks[static_cast<int>(op)];
    hook.countdown = 0;
    hook.action = std::move(action);
    hook.countdown = nth < 0 || !hook.action ? 0 : nth;
}

void clearFileFaults() {
    for (Fault& f : faults) f.countdown = 0;
    for (Hook& h : hooks) h.countdown = 0;
}

}  // namespace varnok::platform
