// QueueBatch and ADDBatch: a batch filled on another thread and appended
// leaves the queue exactly as ADD of each record would, in every order.
#include "runtime/queue/queue_batch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "runtime/errors/error_codes.h"
#include "runtime/queue/queue_check.h"

namespace varnok::testing {
namespace {

using Record = std::vector<uint8_t>;

// Text records of random length padded with spaces; the id after them.
std::vector<Record> randomRecords(const Queue& q, uint32_t textSize, int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Record> records;
    for (int i = 0; i < count; ++i) {
        Record r(q.recordSize(), ' ');
        const uint32_t length = rng() % (textSize + 1);
        for (uint32_t k = 0; k < length; ++k) r[k] = static_cast<uint8_t>(rng() % 4 == 0 ? 'x' : 'a' + rng() % 3);
        const int32_t id = static_cast<int32_t>(rng() % 50);
        std::memcpy(r.data() + textSize, &id, 4);
        records.push_back(std::move(r));
    }
    return records;
}

std::vector<Record> entriesOf(Queue& q) {
    std::vector<Record> out;
    for (uint32_t i = 1; i <= RECORDS(q); ++i) {
        GET(q, static_cast<int32_t>(i));
        out.emplace_back(q.buffer(), q.buffer() + q.recordSize());
    }
    return out;
}

// Two queues: one gets the records by ADD, the other by a batch filled on a
// helper thread. `prepare` runs on both first (earlier entries, orders).
template <class Prepare>
void expectBatchEqualsAdds(RecordLayout layout, uint32_t textSize, Prepare prepare, unsigned seed) {
    Queue byAdd(layout), byBatch(layout);
    prepare(byAdd);
    prepare(byBatch);
    const std::vector<Record> records = randomRecords(byAdd, textSize, 700, seed);
    const uint32_t changesBefore = CHANGES(byBatch);
    for (const Record& r : records) {
        std::memcpy(byAdd.buffer(), r.data(), r.size());
        ADD(byAdd);
        ASSERT_EQ(errorCode(), NoError);
    }
    QueueBatch batch(byBatch);
    std::thread helper([&] {
        for (const Record& r : records) ASSERT_TRUE(batch.add(r.data(), static_cast<uint32_t>(r.size())));
    });
    helper.join();
    ASSERT_EQ(batch.size(), records.size());
    std::vector<uint8_t> bufferBefore(byBatch.buffer(), byBatch.buffer() + byBatch.recordSize());
    ADDBatch(byBatch, batch);
    ASSERT_EQ(errorCode(), NoError);
    EXPECT_EQ(batch.size(), 0u);
    EXPECT_EQ(std::vector<uint8_t>(byBatch.buffer(), byBatch.buffer() + byBatch.recordSize()), bufferBefore);
    EXPECT_EQ(CHANGES(byBatch) - changesBefore, records.size());
    EXPECT_EQ(POINTER(byBatch), POINTER(byAdd));
    EXPECT_TRUE(queueCheck(byBatch));
    EXPECT_EQ(entriesOf(byBatch), entriesOf(byAdd));
    // Every other order holds the new entries where ADD put them.
    SORT(byAdd, Key{2});
    SORT(byBatch, Key{2});
    EXPECT_EQ(entriesOf(byBatch), entriesOf(byAdd));
}

RecordLayout packedLayout() { return RecordLayoutBuilder().string("Text", 300).longField("Id").build(); }
RecordLayout packedTidiedLayout() { return RecordLayoutBuilder().cstring("Text", 300).longField("Id").build(); }
RecordLayout plainLayout() { return RecordLayoutBuilder().string("Text", 12).longField("Id").build(); }

TEST(QueueBatch, AppendsAsAddWouldIntoAnEmptyQueue) {
    expectBatchEqualsAdds(packedLayout(), 300, [](Queue&) {}, 1);
    expectBatchEqualsAdds(packedTidiedLayout(), 300, [](Queue&) {}, 2);
    expectBatchEqualsAdds(plainLayout(), 12, [](Queue&) {}, 3);
}

TEST(QueueBatch, AppendsAsAddWouldBesideOtherOrders) {
    // Earlier entries, an order by id that stays kept, the text order current.
    auto prepare = [](Queue& q) {
        const std::vector<Record> early = randomRecords(q, 12, 40, 7);
        for (const Record& r : early) {
            std::memcpy(q.buffer(), r.data(), r.size());
            ADD(q);
        }
        SORT(q, Key{2});
        SORT(q, Key{1});
    };
    expectBatchEqualsAdds(plainLayout(), 12, prepare, 4);
    expectBatchEqualsAdds(packedLayout(), 300, prepare, 5);
}

TEST(QueueBatch, ABatchOfAnotherQueueOrAMissingOneIsRefused) {
    Queue a(plainLayout()), b(plainLayout());
    QueueBatch batch(a);
    ASSERT_TRUE(batch.add(a.buffer(), a.recordSize()));
    ADDBatch(b, batch);
    EXPECT_EQ(errorCode(), MemoryCorruptedErr);
    EXPECT_EQ(RECORDS(b), 0u);
    ADDBatch(nullptr, batch);
    EXPECT_EQ(errorCode(), MemoryCorruptedErr);
    QueueBatch none(nullptr);
    EXPECT_FALSE(none.add(a.buffer(), a.recordSize()));
    // The batch itself still appends to its own queue.
    ADDBatch(a, batch);
    EXPECT_EQ(errorCode(), NoError);
    EXPECT_EQ(RECORDS(a), 1u);
}

TEST(QueueBatch, ABatchNeverAppendedFreesItsEntries) {
    Queue q(RecordLayoutBuilder().string("Text", 3000).build());  // entries past the pooled sizes
    QueueBatch batch(q);
    std::vector<uint8_t> record(q.recordSize());
    for (int i = 0; i < 20; ++i) {
        for (uint8_t& c : record) c = static_cast<uint8_t>('a' + (i + (&c - record.data())) % 7);
        ASSERT_TRUE(batch.add(record.data(), q.recordSize()));
    }
    // The leak checker of the test build fails the test if any is lost.
}

}  // namespace
}  // namespace varnok::testing
