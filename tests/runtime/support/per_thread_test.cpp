// One object per thread, made on first use and destroyed with its thread.
#include "runtime/support/per_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace varnok {
namespace {

std::atomic<int> gMade{0}, gDestroyed{0};

struct Counted {
    Counted() { ++gMade; }
    ~Counted() { ++gDestroyed; }
    std::string text = std::string(200, 'c');
    int uses = 0;
};

PerThread<Counted>& counted() {
    static PerThread<Counted> perThread;
    return perThread;
}

TEST(PerThread, OneObjectPerThreadMadeOnFirstUseAndDestroyedWithTheThread) {
    counted().get().uses = 42;  // the main thread's, kept throughout
    const int madeBefore = gMade, destroyedBefore = gDestroyed;

    constexpr int kThreads = 200;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            if (counted().find() != nullptr) ++wrong;  // nothing before the first get
            Counted& mine = counted().get();
            if (mine.uses != 0 || &counted().get() != &mine) ++wrong;
            mine.uses = t;
            mine.text += std::to_string(t);
            if (counted().find() != &mine) ++wrong;
        });
        // Start and end threads while others run, so ends overlap uses.
        if (t % 8 == 7) {
            for (auto& thread : threads) thread.join();
            threads.clear();
        }
    }
    for (auto& thread : threads) thread.join();

    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(gMade - madeBefore, kThreads);
    EXPECT_EQ(gDestroyed - destroyedBefore, kThreads);
    EXPECT_EQ(counted().get().uses, 42);
}

TEST(PerThread, AThreadThatNeverAsksMakesNothing) {
    const int madeBefore = gMade;
    std::thread([] { EXPECT_EQ(counted().find(), nullptr); }).join();
    EXPECT_EQ(gMade.load(), madeBefore);
}

}  // namespace
}  // namespace varnok
