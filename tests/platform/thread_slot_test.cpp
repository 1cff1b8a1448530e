// Per-thread values: each thread sees its own, and a thread that ends with
// a value has it released on that thread, once.
#include "platform/thread_slot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace varnok::platform {
namespace {

struct Released {
    std::atomic<int> count{0};
    std::atomic<intptr_t> sum{0};
};
Released gReleased;

void countRelease(void* value) {
    gReleased.count.fetch_add(1);
    gReleased.sum.fetch_add(reinterpret_cast<intptr_t>(value));
}

ThreadSlot& countingSlot() {
    static ThreadSlot slot(&countRelease);
    return slot;
}

TEST(ThreadSlot, EachThreadSeesItsOwnValueAndEndingThreadsReleaseTheirsOnce) {
    ThreadSlot& slot = countingSlot();
    ASSERT_TRUE(slot.valid());
    gReleased.count = 0;
    gReleased.sum = 0;
    int mainValue = 0;
    ASSERT_TRUE(slot.set(&mainValue));

    constexpr int kThreads = 8;
    std::vector<std::thread> threads;
    std::vector<int> sawNullFirst(kThreads, 0), sawOwn(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            sawNullFirst[t] = slot.get() == nullptr;
            // Odd threads set nothing, or set a value and clear it again:
            // neither is released.
            if (t % 2 == 1) {
                if (t == 3) slot.set(reinterpret_cast<void*>(intptr_t{999}));
                if (t == 3) slot.set(nullptr);
                return;
            }
            slot.set(reinterpret_cast<void*>(intptr_t{t + 1}));
            sawOwn[t] = slot.get() == reinterpret_cast<void*>(intptr_t{t + 1});
        });
    }
    for (auto& thread : threads) thread.join();

    for (int t = 0; t < kThreads; ++t) {
        EXPECT_TRUE(sawNullFirst[t]) << "thread " << t;
        if (t % 2 == 0) {
            EXPECT_TRUE(sawOwn[t]) << "thread " << t;
        }
    }
    EXPECT_EQ(gReleased.count.load(), kThreads / 2);
    EXPECT_EQ(gReleased.sum.load(), 1 + 3 + 5 + 7);
    EXPECT_EQ(slot.get(), &mainValue) << "the main thread keeps its value";
    slot.set(nullptr);
}

void freeString(void* value) { delete static_cast<std::string*>(value); }

// Threads that own memory through a slot start and end many times over
// while the main thread allocates: the heap stays whole (on Windows the
// compiler's own thread storage is freed before thread-end destructors run,
// so a thread_local string here corrupts the heap within a few hundred
// threads).
TEST(ThreadSlot, ManyThreadsOwningMemoryEndCleanly) {
    static ThreadSlot strings(&freeString);
    ASSERT_TRUE(strings.valid());
    std::vector<std::string> mainThreadAllocations;
    for (int i = 0; i < 500; ++i) {
        std::thread([&] {
            auto* text = new std::string(300 + i % 50, 't');
            ASSERT_TRUE(strings.set(text));
        }).join();
        mainThreadAllocations.emplace_back(40 + i % 200, 'm');
    }
    EXPECT_EQ(mainThreadAllocations.back(), std::string(40 + 499 % 200, 'm'));
}

}  // namespace
}  // namespace varnok::platform
