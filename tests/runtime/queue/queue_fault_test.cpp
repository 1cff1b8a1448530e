// Running out of memory: each operation is run with the 1st, 2nd, 3rd ...
// allocation failing until it succeeds. Every failed run must report 8 and
// leave every order's keys and sequence exactly as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "runtime/queue/allocation_fault.h"
#include "runtime/errors/error_codes.h"
#include "runtime/queue/queue.h"
#include "runtime/queue/queue_check.h"
#include "runtime/queue/queue_store.h"

namespace varnok::testing {
namespace {

// Each order as its key and the record images in its sequence, sorted so the
// most-recently-used arrangement (which a failed call may change) is ignored.
using Snapshot = std::vector<std::pair<std::vector<int32_t>, std::vector<std::vector<uint8_t>>>>;

Snapshot snapshot(Queue& q) {
    Snapshot shot;
    const QueueStore& s = *q.decl()->store;
    std::vector<uint8_t> image(q.recordSize());
    for (const auto& o : s.orders) {
        std::vector<std::vector<uint8_t>> seq;
        for (uint32_t i = 0; i < o->refs.size(); ++i) {
            s.readEntry(o->refs.at(i), image.data());
            seq.push_back(image);
        }
        shot.emplace_back(o->key.numbers(), std::move(seq));
    }
    std::sort(shot.begin(), shot.end());
    return shot;
}

void fill(Queue& q, int id, int text) {
    std::memset(q.buffer(), ' ', q.recordSize());
    std::memcpy(q.buffer(), &id, 4);
    const std::string t = "t" + std::string(static_cast<size_t>(text % 50), 'x');
    std::memcpy(q.buffer() + 4, t.data(), std::min<size_t>(t.size(), q.recordSize() - 8));
}

// Runs op with growing fault numbers; returns how many runs failed.
int runUntilSuccess(Queue& q, const std::function<void()>& prepare, const std::function<void()>& op) {
    for (int n = 1; n < 200; ++n) {
        const Snapshot before = snapshot(q);
        prepare();
        allocation_fault::failAfter(n);
        op();
        allocation_fault::failAfter(0);
        const int code = errorCode();
        std::string why;
        EXPECT_TRUE(queueCheck(q, &why)) << why << " (fault " << n << ")";
        if (code == 0) return n - 1;
        EXPECT_EQ(code, 8) << "fault " << n;
        EXPECT_TRUE(snapshot(q) == before) << "orders changed by a failed call, fault " << n;
        if (::testing::Test::HasFailure()) return n;
    }
    ADD_FAILURE() << "never succeeded";
    return 0;
}

void exercise(uint32_t textSize) {
    Queue q(RecordLayoutBuilder().longField("Id").string("Text", textSize).longField("Tail").build());
    // 256 entries fill every order's array, so the next ADD must grow them all.
    for (int i = 0; i < 256; ++i) {
        fill(q, (i * 37) % 101, i);
        ADD(q);
    }
    SORT(q, Key{2});
    for (int i = 0; i < 80; ++i) {  // enough searches for a hash index
        fill(q, i, i);
        GET(q, Key{-1});
    }
    SORT(q, Key{-1, 2});
    ASSERT_EQ(q.decl()->store->orders.size(), 3u);

    int failures = 0;
    failures += runUntilSuccess(q, [&] { fill(q, 5, 7); }, [&] { ADD(q); });
    failures += runUntilSuccess(q, [&] { fill(q, 6, 9); }, [&] { ADD(q, Key{1, -2}); });
    failures += runUntilSuccess(q, [&] { fill(q, 10, 3); }, [&] { GET(q, Key{2, 1}); });  // an existing entry
    failures += runUntilSuccess(q, [&] { GET(q, 10); fill(q, 99, 42); }, [&] { PUT(q); });
    failures += runUntilSuccess(q, [] {}, [&] { SORT(q, Key{3}); });
    EXPECT_GT(failures, 5);  // the faults did hit
    EXPECT_EQ(RECORDS(q), 258u);
}

TEST(QueueFaults, PlainQueueSurvivesEveryFailedAllocation) { exercise(20); }
TEST(QueueFaults, PackedQueueSurvivesEveryFailedAllocation) { exercise(300); }

TEST(QueueFaults, StoreThatCannotBeMadeIsNotKept) {
    Queue q(RecordLayoutBuilder().longField("Id").build());
    allocation_fault::failAfter(1);
    const uint32_t changes = CHANGES(q);
    allocation_fault::failAfter(0);
    EXPECT_EQ(errorCode(), 8);
    EXPECT_EQ(changes, 0u);
    EXPECT_EQ(q.decl()->store, nullptr);
}

}  // namespace
}  // namespace varnok::testing
