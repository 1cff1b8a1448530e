// Queue operations: the documented positions, cursors, orders and error codes
// on small hand-built cases. The long random sequences are in
// queue_model_test.cpp.
#include "runtime/queue/queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>
#include <string>

#include "platform/local_time.h"
#include "runtime/errors/error_codes.h"
#include "runtime/queue/queue_check.h"
#include "runtime/queue/queue_store.h"

namespace varnok::testing {
namespace {

// Id LONG, Name STRING(10), Score SHORT: 16 bytes, stored plain.
RecordLayout smallLayout() {
    return RecordLayoutBuilder().longField("Id").string("Name", 10).shortField("Score").build();
}

struct Row {
    int32_t id;
    std::string name;
    int16_t score;
};

void put(Queue& q, const Row& r) {
    std::memcpy(q.buffer(), &r.id, 4);
    std::memset(q.buffer() + 4, ' ', 10);
    std::memcpy(q.buffer() + 4, r.name.data(), std::min<size_t>(r.name.size(), 10));
    std::memcpy(q.buffer() + 14, &r.score, 2);
}

int32_t idOf(const Queue& q) {
    int32_t v;
    std::memcpy(&v, q.buffer(), 4);
    return v;
}

void addAll(Queue& q, std::initializer_list<Row> rows) {
    for (const Row& r : rows) {
        put(q, r);
        ADD(q);
        ASSERT_EQ(errorCode(), 0);
    }
}

std::vector<int32_t> idsInOrder(Queue& q) {
    std::vector<int32_t> ids;
    for (uint32_t i = 1; i <= RECORDS(q); ++i) {
        GET(q, static_cast<int32_t>(i));
        ids.push_back(idOf(q));
    }
    return ids;
}

void expectSound(Queue& q) {
    std::string why;
    EXPECT_TRUE(queueCheck(q, &why)) << why;
}

TEST(QueueLifecycle, UnusedQueueHasNoStoreUntilChangesAsks) {
    Queue q(smallLayout());
    EXPECT_EQ(RECORDS(q), 0u);
    EXPECT_EQ(POINTER(q), 0u);
    CLEAR(q);
    FREE(q);
    EXPECT_EQ(q.decl()->store, nullptr);

    const int32_t before = platform::clockHundredths();
    const uint32_t seed = CHANGES(q);
    const int32_t after = platform::clockHundredths();
    ASSERT_NE(q.decl()->store, nullptr);
    bool matches = false;
    for (int32_t t = before; t <= after && !matches; ++t)
        matches = seed == static_cast<uint32_t>(t) * 25781083u;
    // Around midnight the clock wraps; the value must still be one it gave.
    if (after < before) matches = true;
    EXPECT_TRUE(matches) << seed;

    put(q, {1, "a", 0});
    ADD(q);
    EXPECT_EQ(CHANGES(q), seed + 1);
    releaseQueue(q);
    EXPECT_EQ(q.decl()->store, nullptr);
    EXPECT_EQ(RECORDS(q), 0u);
}

TEST(QueueLifecycle, MissingDeclarationPostsSevenAndChangesNothing) {
    postError(30);
    ADD(nullptr);
    EXPECT_EQ(errorCode(), 7);
    clearError();
    GET(nullptr, 1);
    EXPECT_EQ(errorCode(), 7);
    GET(nullptr, Key{1});
    EXPECT_EQ(errorCode(), 7);
    PUT(nullptr);
    EXPECT_EQ(errorCode(), 7);
    DELETE(nullptr);
    EXPECT_EQ(errorCode(), 7);
    SORT(nullptr, Key{1});
    EXPECT_EQ(errorCode(), 7);
    EXPECT_EQ(RECORDS(nullptr), 0u);
    EXPECT_EQ(errorCode(), 7);
    EXPECT_EQ(POINTER(nullptr), 0u);
    EXPECT_EQ(POSITION(nullptr), 0u);
    EXPECT_EQ(CHANGES(nullptr), 0u);
    EXPECT_EQ(fieldCount(nullptr), 0u);
    EXPECT_EQ(readForDisplay(nullptr, 0), 1);
    EXPECT_EQ(secondView(nullptr), nullptr);
    clearError();
    FREE(nullptr);
    CLEAR(nullptr, 1);
    releaseQueue(nullptr);
    EXPECT_EQ(errorCode(), 0);
}

TEST(QueueLifecycle, FreeEmptiesAndTheCounterGoesOn) {
    Queue q(smallLayout());
    addAll(q, {{3, "c", 1}, {1, "a", 2}});
    SORT(q, Key{1});
    const uint32_t before = CHANGES(q);
    FREE(q);
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(RECORDS(q), 0u);
    EXPECT_EQ(POINTER(q), 0u);
    EXPECT_EQ(CHANGES(q), before + 1);
    expectSound(q);
    addAll(q, {{5, "e", 0}, {4, "d", 0}});
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{5, 4}));  // insertion sequence again
}

TEST(QueueByPosition, GetOutOfRangeKeepsTheBuffer) {
    Queue q(smallLayout());
    addAll(q, {{1, "a", 0}, {2, "b", 0}});
    put(q, {9, "z", 9});
    GET(q, 0);
    EXPECT_EQ(errorCode(), 30);
    EXPECT_EQ(idOf(q), 9);
    EXPECT_EQ(POINTER(q), 0u);  // position 0 clears the cursor
    GET(q, 3);
    EXPECT_EQ(errorCode(), 30);
    EXPECT_EQ(idOf(q), 9);
    GET(q, -1);
    EXPECT_EQ(errorCode(), 30);
    GET(q, 2);
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(idOf(q), 2);
    EXPECT_EQ(POINTER(q), 2u);
    GET(q, 3);
    EXPECT_EQ(POINTER(q), 2u);  // out of range leaves the cursor
}

TEST(QueueByPosition, DeleteKeepsThePointerNumber) {
    Queue q(smallLayout());
    addAll(q, {{1, "a", 0}, {2, "b", 0}, {3, "c", 0}});
    GET(q, 2);
    DELETE(q);
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(POINTER(q), 2u);
    DELETE(q);  // now the entry that followed
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{1}));
    GET(q, 1);
    DELETE(q);
    EXPECT_EQ(POINTER(q), 1u);  // RECORDS + 1
    DELETE(q);
    EXPECT_EQ(errorCode(), 30);
    PUT(q);
    EXPECT_EQ(errorCode(), 30);
    expectSound(q);
}

TEST(QueueByPosition, PutReplacesAndFillsTheSecondView) {
    Queue q(smallLayout());
    addAll(q, {{1, "a", 0}, {2, "b", 0}});
    GET(q, 1);
    put(q, {7, "x", 3});
    PUT(q);
    EXPECT_EQ(errorCode(), 0);
    int32_t oldId;
    std::memcpy(&oldId, secondView(q), 4);
    EXPECT_EQ(oldId, 1);
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{7, 2}));
}

TEST(QueueKeys, SortedOrderStaysSortedOnlyWhileAppendsFit) {
    Queue q(smallLayout());
    addAll(q, {{5, "e", 0}, {2, "b", 0}, {8, "h", 0}});
    SORT(q, Key{1});
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{2, 5, 8}));
    addAll(q, {{9, "i", 0}});  // belongs at the end: still sorted
    EXPECT_EQ(q.decl()->store->current->kind, OrderKind::Keyed);
    addAll(q, {{1, "a", 0}});  // appended, and the order is unsorted now
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{2, 5, 8, 9, 1}));
    EXPECT_EQ(q.decl()->store->current->kind, OrderKind::Unsorted);
    SORT(q, Key{1});
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{1, 2, 5, 8, 9}));
    SORT(q, Key{-1});
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{9, 8, 5, 2, 1}));
    expectSound(q);
}

TEST(QueueKeys, SortLosesTheInsertionSequence) {
    Queue q(smallLayout());
    addAll(q, {{3, "a", 0}, {1, "b", 0}, {2, "c", 0}});
    SORT(q, Key{1});
    SORT(q, Key{2});
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{3, 1, 2}));  // by name
    SORT(q, Key{1});
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(q.decl()->store->orders.size(), 2u);  // the unsorted order was dropped
}

TEST(QueueKeys, GetByASecondKeyReportsThePositionInTheCurrentOrder) {
    Queue q(smallLayout());
    addAll(q, {{1, "d", 0}, {2, "c", 0}, {3, "b", 0}, {4, "a", 0}});
    put(q, {0, "b", 0});
    GET(q, Key{2});
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(idOf(q), 3);
    EXPECT_EQ(POINTER(q), 3u);
    put(q, {0, "zz", 0});
    GET(q, Key{2});
    EXPECT_EQ(errorCode(), 30);
    EXPECT_EQ(idOf(q), 0);  // buffer unchanged
    GET(q, Key{});
    EXPECT_EQ(errorCode(), 30);
}

TEST(QueueKeys, GetByKeyThenPutReplacesTheEntryFound) {
    Queue q(smallLayout());
    addAll(q, {{1, "d", 0}, {2, "c", 0}, {3, "b", 0}});
    GET(q, 1);
    put(q, {0, "c", 0});
    GET(q, Key{2});
    ASSERT_EQ(idOf(q), 2);
    put(q, {2, "a", 5});
    PUT(q);
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{1, 2, 3}));
    put(q, {0, "a", 0});
    GET(q, Key{2});
    EXPECT_EQ(idOf(q), 2);
    expectSound(q);
}

TEST(QueueKeys, KeyComponentsBeyondTheLayoutPost75) {
    Queue q(smallLayout());
    addAll(q, {{2, "b", 0}, {1, "a", 0}});
    SORT(q, Key{4});
    EXPECT_EQ(errorCode(), 75);
    SORT(q, Key{-4});
    EXPECT_EQ(errorCode(), 75);
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{2, 1}));
    ADD(q, Key{1, 4});
    EXPECT_EQ(errorCode(), 75);
    EXPECT_EQ(RECORDS(q), 2u);
    SORT(q, Key{1, 0, 4});  // 0 ends the list
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{1, 2}));
    // Seventeen components: the seventeenth is never read.
    SORT(q, Key{3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, -1, 99});
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(q.decl()->store->current->key.componentCount(), 16u);
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{2, 1}));
}

TEST(QueueKeys, SeventeenthKeyReusesTheLeastRecentlyUsedOrder) {
    RecordLayoutBuilder b;
    for (int i = 0; i < 18; ++i) b.byte("F" + std::to_string(i));
    Queue q(b.build());
    for (int r = 0; r < 5; ++r) {
        for (int i = 0; i < 18; ++i) q.buffer()[i] = static_cast<uint8_t>((r * 7 + i * 3) % 5);
        ADD(q);
    }
    SORT(q, Key{1});
    for (int k = 2; k <= 16; ++k) {
        q.buffer()[k - 1] = 0;
        GET(q, Key{k});
    }
    QueueStore* s = q.decl()->store;
    ASSERT_EQ(s->orders.size(), 16u);
    // The current order was used first, so it is last in the list; the
    // order before it is the one to give up.
    ASSERT_EQ(s->orders.back().get(), s->current);
    QueueOrder* lru = s->orders[14].get();
    GET(q, Key{17});
    EXPECT_EQ(s->orders.size(), 16u);
    EXPECT_EQ(s->orders.front().get(), lru);
    EXPECT_EQ(lru->key.numbers(), (std::vector<int32_t>{17}));
    expectSound(q);
}

TEST(QueueKeys, EqualKeysKeepTheirSequenceInSmallQueues) {
    Queue q(smallLayout());
    addAll(q, {{1, "b", 0}, {2, "a", 0}, {3, "b", 0}, {4, "a", 0}, {5, "b", 0}});
    SORT(q, Key{2});
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{2, 4, 1, 3, 5}));
}

TEST(QueueKeys, AddWithKeyGoesAfterEqualKeys) {
    Queue q(smallLayout());
    addAll(q, {{1, "a", 0}, {2, "c", 0}});
    SORT(q, Key{2});
    put(q, {3, "a", 0});
    ADD(q, Key{2});
    EXPECT_EQ(POINTER(q), 2u);
    put(q, {4, "b", 0});
    ADD(q, Key{2});
    EXPECT_EQ(idsInOrder(q), (std::vector<int32_t>{1, 3, 4, 2}));
    expectSound(q);
}

TEST(QueueKeys, PositionFindsTheFirstMatchOrWhereItWouldGo) {
    Queue q(smallLayout());
    addAll(q, {{5, "a", 0}, {3, "a", 0}, {3, "b", 0}, {9, "a", 0}});
    SORT(q, Key{1});
    put(q, {3, "", 0});
    EXPECT_EQ(POSITION(q), 1u);
    EXPECT_EQ(errorCode(), 0);
    put(q, {1, "", 0});
    EXPECT_EQ(POSITION(q), 1u);
    EXPECT_EQ(errorCode(), 30);
    put(q, {4, "", 0});
    EXPECT_EQ(POSITION(q), 3u);  // insertion point 2 (after both 3s), plus one
    EXPECT_EQ(errorCode(), 30);
    put(q, {9, "", 0});
    EXPECT_EQ(POSITION(q), 4u);
    EXPECT_EQ(errorCode(), 0);
}

TEST(QueueStorage, PackingStartsAt128Bytes) {
    Queue plain(RecordLayoutBuilder().string("S", 127).build());
    Queue packed(RecordLayoutBuilder().string("S", 128).build());
    EXPECT_FALSE(CHANGES(plain) == 0 && false);
    EXPECT_FALSE(plain.decl()->store->packed);
    CHANGES(packed);
    EXPECT_TRUE(packed.decl()->store->packed);
}

TEST(QueueStorage, PackedEntriesReadBackExactly) {
    Queue q(RecordLayoutBuilder().string("Line", 200).longField("N").build());
    for (int i = 0; i < 50; ++i) {
        std::memset(q.buffer(), ' ', 200);
        const std::string text = "line " + std::string(static_cast<size_t>(i), 'x');
        std::memcpy(q.buffer(), text.data(), text.size());
        std::memcpy(q.buffer() + 200, &i, 4);
        ADD(q);
    }
    for (int i = 0; i < 50; ++i) {
        GET(q, i + 1);
        const std::string text = "line " + std::string(static_cast<size_t>(i), 'x');
        EXPECT_EQ(std::string(reinterpret_cast<char*>(q.buffer()), text.size()), text);
        for (size_t k = text.size(); k < 200; ++k) ASSERT_EQ(q.buffer()[k], ' ');
        int32_t n;
        std::memcpy(&n, q.buffer() + 200, 4);
        EXPECT_EQ(n, i);
    }
    SORT(q, Key{-2});
    GET(q, 1);
    int32_t n;
    std::memcpy(&n, q.buffer() + 200, 4);
    EXPECT_EQ(n, 49);
    expectSound(q);
}

TEST(QueueStorage, ReadForDisplayLeavesBufferAndCursorAlone) {
    Queue q(smallLayout());
    addAll(q, {{1, "a", 0}, {2, "b", 0}});
    GET(q, 1);
    put(q, {7, "x", 0});
    const uint32_t changes = CHANGES(q);
    EXPECT_EQ(readForDisplay(q, 2), 0);
    int32_t shown;
    std::memcpy(&shown, secondView(q), 4);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(readForDisplay(q, 0), 0);
    std::memcpy(&shown, secondView(q), 4);
    EXPECT_EQ(shown, 7);
    EXPECT_EQ(readForDisplay(q, 3), 1);
    EXPECT_EQ(readForDisplay(q, -1), 1);
    EXPECT_EQ(idOf(q), 7);
    EXPECT_EQ(POINTER(q), 1u);
    EXPECT_EQ(CHANGES(q), changes);
    EXPECT_EQ(fieldCount(q), 3u);
}

TEST(QueueStorage, RecordsThatSaveUnder16BytesStayRaw) {
    Queue q(RecordLayoutBuilder().string("S", 128).build());
    auto fill = [&](size_t literal) {
        for (size_t i = 0; i < literal; ++i) q.buffer()[i] = static_cast<uint8_t>('a' + i % 20);
        std::memset(q.buffer() + literal, ' ', 128 - literal);
    };
    fill(108);  // 2 + 108 literal bytes and a 2-byte run: 112, saving exactly 16
    ADD(q);
    fill(109);  // 113: saves 15
    ADD(q);
    const QueueStore& s = *q.decl()->store;
    uint32_t length;
    std::memcpy(&length, s.current->refs.at(0), 4);
    EXPECT_EQ(length, 112u);
    std::memcpy(&length, s.current->refs.at(1), 4);
    EXPECT_EQ(length, 0u);
    GET(q, 2);
    std::vector<uint8_t> expect(128);
    for (size_t i = 0; i < 109; ++i) expect[i] = static_cast<uint8_t>('a' + i % 20);
    std::memset(expect.data() + 109, ' ', 19);
    EXPECT_EQ(std::vector<uint8_t>(q.buffer(), q.buffer() + 128), expect);
    expectSound(q);
}

// GETPadded, its mark passed from call to call, leaves the buffer exactly as
// GET would, for packed, raw and unpacked entries, and for positions that do
// not exist; the cursor and POINTER follow as with GET.
TEST(QueueStorage, GetPaddedReadsAsGet) {
    std::mt19937 rng(31);
    for (uint32_t size : {40u, 128u, 600u}) {
        Queue q(RecordLayoutBuilder().string("S", size).build());
        Queue twin(RecordLayoutBuilder().string("S", size).build());
        for (int i = 0; i < 200; ++i) {
            const uint32_t text = static_cast<uint32_t>(rng() % (size + 1));
            const uint8_t pad = rng() % 5 ? ' ' : '-';
            for (uint32_t k = 0; k < size; ++k) q.buffer()[k] = k < text ? static_cast<uint8_t>('a' + rng() % 3) : pad;
            ADD(q);
            std::memcpy(twin.buffer(), q.buffer(), size);
            ADD(twin);
        }
        uint32_t clean = size;
        for (int step = 0; step < 600; ++step) {
            const int32_t position = static_cast<int32_t>(rng() % 205);
            clean = GETPadded(q, position, clean);
            const int32_t code = errorCode();
            GET(twin, position);
            ASSERT_EQ(code, errorCode()) << size << " " << position;
            ASSERT_EQ(std::vector<uint8_t>(q.buffer(), q.buffer() + size),
                      std::vector<uint8_t>(twin.buffer(), twin.buffer() + size)) << size << " " << position;
            ASSERT_EQ(POINTER(q), POINTER(twin));
            ASSERT_LE(clean, size);
        }
        expectSound(q);
    }
}

// GETText gives the record as GET does, short of a last run of the pad
// byte, and moves POINTER as GET does; the buffer stays as it was.
TEST(QueueStorage, GetTextIsGetWithoutThePadding) {
    std::mt19937 rng(37);
    for (uint32_t size : {40u, 128u, 600u}) {
        Queue q(RecordLayoutBuilder().string("S", size).build());
        for (int i = 0; i < 100; ++i) {
            const uint32_t text = static_cast<uint32_t>(rng() % (size + 1));
            const uint8_t pad = rng() % 4 ? ' ' : '-';
            for (uint32_t k = 0; k < size; ++k) q.buffer()[k] = k < text ? static_cast<uint8_t>('a' + rng() % 3) : pad;
            ADD(q);
        }
        std::memset(q.buffer(), '#', size);
        for (int32_t position = 0; position <= 101; ++position) {
            std::vector<uint8_t> out(size, 0);
            const uint32_t n = GETText(q, position, out.data(), ' ');
            const int32_t code = errorCode();
            const uint32_t pointer = POINTER(q);
            ASSERT_TRUE(std::all_of(q.buffer(), q.buffer() + size, [](uint8_t c) { return c == '#'; }));
            std::vector<uint8_t> kept(q.buffer(), q.buffer() + size);
            GET(q, position);
            ASSERT_EQ(code, errorCode()) << position;
            if (code != 0) {
                EXPECT_EQ(n, 0u);
                std::memcpy(q.buffer(), kept.data(), size);
                continue;
            }
            ASSERT_EQ(pointer, POINTER(q));
            ASSERT_LE(n, size);
            std::vector<uint8_t> record(q.buffer(), q.buffer() + size);
            ASSERT_TRUE(std::equal(out.begin(), out.begin() + n, record.begin())) << size << " " << position;
            ASSERT_TRUE(std::all_of(record.begin() + n, record.end(), [](uint8_t c) { return c == ' '; }));
            std::memset(q.buffer(), '#', size);
        }
    }
}

// The prefetch hints change nothing and post nothing, for any position.
TEST(QueueStorage, PrefetchHintsChangeNothing) {
    Queue q(RecordLayoutBuilder().string("S", 200).build());
    for (int i = 0; i < 5; ++i) {
        std::memset(q.buffer(), 'a' + i, 200);
        ADD(q);
    }
    GET(q, 3);
    postError(EntryNotFoundErr);
    for (int32_t position : {-1, 0, 1, 5, 6, 1000}) {
        prefetchReference(q, position);
        prefetchEntry(q, position);
    }
    prefetchReference(nullptr, 1);
    prefetchEntry(nullptr, 1);
    EXPECT_EQ(errorCode(), EntryNotFoundErr);
    EXPECT_EQ(POINTER(q), 3u);
    EXPECT_EQ(q.buffer()[0], 'c');
    EXPECT_EQ(RECORDS(q), 5u);
}

TEST(QueueStorage, ALayoutLargerThanTheRecordIsRefused) {
    RecordLayout layout = RecordLayoutBuilder().longField("A").string("B", 8).build();
    std::vector<uint8_t> buffer(8);
    QueueDecl decl{buffer.data(), &layout, nullptr, 8};
    ADD(&decl);
    EXPECT_EQ(errorCode(), 7);
    EXPECT_EQ(decl.store, nullptr);
    decl.recordSize = 12;
    buffer.resize(12);
    decl.buffer = buffer.data();
    ADD(&decl);
    EXPECT_EQ(errorCode(), 0);
    releaseQueue(&decl);
}

TEST(QueueHashIndex, FrequentSearchesSwitchItOnAndFewKeysSwitchItOff) {
    Queue q(smallLayout());
    for (int i = 0; i < 40; ++i) addAll(q, {{i * 2, "n", static_cast<int16_t>(i % 3)}});
    const QueueStore& s = *q.decl()->store;
    auto search = [&](int32_t id) {
        put(q, {id, "", 0});
        GET(q, Key{1});
    };
    for (int i = 0; i < 64; ++i) search(i % 40 * 2);
    const QueueOrder& byId = *s.orders.front();
    EXPECT_EQ(byId.kind, OrderKind::Keyed);
    search(10);
    EXPECT_EQ(byId.kind, OrderKind::Hashed);
    for (int id = -1; id < 82; ++id) {
        search(id);
        ASSERT_EQ(errorCode(), (id >= 0 && id % 2 == 0 && id < 80) ? 0 : 30) << id;
        if (errorCode() == 0) {
            ASSERT_EQ(idOf(q), id);
            EXPECT_EQ(POINTER(q), static_cast<uint32_t>(id / 2 + 1));
        }
    }
    expectSound(q);
    // Deleting down to 15 keys leaves the index too small: the next search drops it.
    while (RECORDS(q) > 15) {
        GET(q, 1);
        DELETE(q);
    }
    expectSound(q);
    EXPECT_EQ(byId.kind, OrderKind::Hashed);
    search(78);
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(byId.kind, OrderKind::Keyed);
}

// Repeated searches by one key, with several entries per key, absent keys
// and the same key spelled differently: once the order has its hash index,
// every search answers as the binary search did before it (same entry, same
// POINTER), and a miss posts 30 and leaves the buffer alone.
TEST(QueueHashIndex, RepeatedSearchesAnswerAsBeforeTheIndex) {
    Queue q(RecordLayoutBuilder().longField("Id").longField("Seq").build());
    auto put2 = [&](int32_t id, int32_t seq) {
        std::memcpy(q.buffer(), &id, 4);
        std::memcpy(q.buffer() + 4, &seq, 4);
    };
    auto seqOf = [&] {
        int32_t v;
        std::memcpy(&v, q.buffer() + 4, 4);
        return v;
    };
    for (int32_t i = 0; i < 100; ++i) {
        put2(i % 25, i);
        ADD(q);
    }
    const Key spellings[] = {Key{1}, Key{1, 0, 2}, Key{1, 0}};
    const QueueOrder* byId = nullptr;
    int32_t firstSeq[25];
    uint32_t firstPointer[25];
    for (int round = 0; round < 6; ++round) {
        for (int32_t id = -1; id <= 25; ++id) {
            put2(id, -7);
            GET(q, spellings[(id + 1 + round) % 3]);
            if (id < 0 || id >= 25) {
                ASSERT_EQ(errorCode(), 30) << id;
                ASSERT_EQ(idOf(q), id);
                ASSERT_EQ(seqOf(), -7);
                continue;
            }
            ASSERT_EQ(errorCode(), 0) << id;
            ASSERT_EQ(idOf(q), id);
            ASSERT_EQ(seqOf() % 25, id);
            if (round == 0) {
                byId = q.decl()->store->orders.front().get();
                ASSERT_EQ(byId->kind, OrderKind::Keyed);
                firstSeq[id] = seqOf();
                firstPointer[id] = POINTER(q);
                ASSERT_EQ(firstPointer[id], static_cast<uint32_t>(firstSeq[id] + 1));
            } else {
                ASSERT_EQ(seqOf(), firstSeq[id]) << round;
                ASSERT_EQ(POINTER(q), firstPointer[id]) << round;
            }
        }
    }
    ASSERT_EQ(q.decl()->store->orders.front().get(), byId);
    EXPECT_EQ(byId->kind, OrderKind::Hashed);
    // Another key in between binds its own order; the id order still answers.
    put2(0, 3);
    GET(q, Key{2});
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(idOf(q), 3);
    put2(7, 0);
    GET(q, Key{1});
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(seqOf(), firstSeq[7]);
    expectSound(q);
}

// Searches by a unique numeric key go through the ticket the previous one
// left; every change in between drops it, so the answers stay those of the
// queue as it now is.
TEST(QueueHashIndex, ASearchTicketNeverOutlivesAChange) {
    Queue q(RecordLayoutBuilder().longField("Id").longField("Seq").build());
    auto put2 = [&](int32_t id, int32_t seq) {
        std::memcpy(q.buffer(), &id, 4);
        std::memcpy(q.buffer() + 4, &seq, 4);
    };
    auto find = [&](int32_t id) {
        put2(id, -1);
        GET(q, Key{1});
        int32_t seq;
        std::memcpy(&seq, q.buffer() + 4, 4);
        return errorCode() == 0 ? seq : -1;
    };
    for (int32_t i = 0; i < 200; ++i) {
        put2(i, i * 10);
        ADD(q);
    }
    for (int round = 0; round < 3; ++round)
        for (int32_t id = 0; id < 200; ++id) ASSERT_EQ(find(id), id * 10);
    ASSERT_TRUE(q.decl()->store->tagTicket.held());  // the short path is in use
    expectSound(q);

    ASSERT_EQ(find(50), 500);
    DELETE(q);
    EXPECT_EQ(find(50), -1);
    EXPECT_EQ(find(51), 510);
    expectSound(q);

    ASSERT_EQ(find(60), 600);
    put2(1000, 7);
    PUT(q);
    EXPECT_EQ(find(60), -1);
    EXPECT_EQ(find(1000), 7);
    expectSound(q);

    put2(5000, 9);
    ADD(q);
    EXPECT_EQ(find(5000), 9);
    SORT(q, Key{2});
    EXPECT_EQ(find(70), 700);
    EXPECT_EQ(find(5000), 9);
    expectSound(q);

    FREE(q);
    EXPECT_EQ(find(70), -1);
    expectSound(q);
}

// Searches by one numeric key of every size and place, with keys missing
// and keys shared by several entries: a repeated search (which the short
// path may take) answers as the first search after another operation
// (which takes the full path), and a key held by one entry finds that entry.
TEST(QueueHashIndex, RepeatedSearchesAnswerAsTheFullPathForEveryKeyShape) {
    struct Shape {
        const char* name;
        RecordLayout layout;
        uint32_t keyOffset;
        uint32_t keySize;
        bool shortPath;  // repeated searches that find one entry go the short way
    };
    std::vector<Shape> shapes;
    shapes.push_back({"LONG first", RecordLayoutBuilder().longField("K").longField("V").build(), 0, 4, true});
    shapes.push_back(
        {"ULONG after a SHORT", RecordLayoutBuilder().shortField("P").ulongField("K").longField("V").build(), 2, 4, true});
    shapes.push_back(
        {"SHORT first", RecordLayoutBuilder().shortField("K").longField("V").shortField("W").build(), 0, 2, true});
    // Fewer than four bytes from the key's start to the record's end.
    shapes.push_back({"USHORT last", RecordLayoutBuilder().longField("V").ushortField("K").build(), 4, 2, false});
    shapes.push_back({"LONG last", RecordLayoutBuilder().shortField("V").longField("K").build(), 2, 4, true});
    // A BYTE key's index is addressed by the value itself.
    shapes.push_back({"BYTE", RecordLayoutBuilder().byte("K").longField("V").build(), 0, 1, false});
    shapes.push_back({"long record", RecordLayoutBuilder().longField("K").string("Text", 40).build(), 0, 4, true});
    for (Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        Queue q(std::move(shape.layout));
        const uint32_t size = q.recordSize();
        const int32_t keyField = shape.keyOffset == 0 ? 1 : 2;
        std::mt19937 rng(7);
        std::vector<std::vector<uint8_t>> added;
        auto keyOf = [&](const uint8_t* r) {
            uint32_t k = 0;
            std::memcpy(&k, r + shape.keyOffset, shape.keySize);
            return k;
        };
        for (int i = 0; i < 300; ++i) {
            std::vector<uint8_t> r(size);
            for (auto& b : r) b = static_cast<uint8_t>(rng());
            // Keys below 250 with one in five from a small range, so that
            // some are shared; a BYTE key takes the low byte.
            const uint32_t k = i % 5 == 4 ? rng() % 40 : rng() % 250;
            std::memcpy(r.data() + shape.keyOffset, &k, shape.keySize);
            std::memcpy(q.buffer(), r.data(), size);
            ADD(q);
            added.push_back(r);
        }
        auto search = [&](const std::vector<uint8_t>& probe, bool afterAnother) {
            if (afterAnother) RECORDS(q);
            std::memcpy(q.buffer(), probe.data(), size);
            GET(q, Key{keyField});
            return std::make_pair(errorCode(), std::vector<uint8_t>(q.buffer(), q.buffer() + size));
        };
        for (int i = 0; i < 3000; ++i) {
            const uint32_t k = rng() % 270;
            std::vector<uint8_t> probe(size, 0x5A);
            std::memcpy(probe.data() + shape.keyOffset, &k, shape.keySize);
            const auto full = search(probe, true);
            const auto again = search(probe, false);
            ASSERT_EQ(again, full) << k;
            if (full.first == 0 && i >= 100) {  // by now the order is hashed
                ASSERT_EQ(q.decl()->store->tagTicket.held(), shape.shortPath) << k;
                if (i % 100 == 0) expectSound(q);  // checks the ticket against its index
            }
            const auto holders = std::count_if(added.begin(), added.end(), [&](const auto& r) {
                return keyOf(r.data()) == keyOf(probe.data());
            });
            if (holders == 0) {
                ASSERT_EQ(full.first, 30) << k;
                ASSERT_EQ(full.second, probe) << k;
                continue;
            }
            ASSERT_EQ(full.first, 0) << k;
            ASSERT_EQ(keyOf(full.second.data()), keyOf(probe.data())) << k;
            if (holders == 1) {
                ASSERT_TRUE(std::find(added.begin(), added.end(), full.second) != added.end()) << k;
            }
            // The entry found is the cursor: POINTER names a position that holds it.
            const uint32_t at = POINTER(q);
            ASSERT_GE(at, 1u) << k;
            GET(q, static_cast<int32_t>(at));
            ASSERT_EQ(std::vector<uint8_t>(q.buffer(), q.buffer() + size), full.second) << k;
            if (i % 500 == 0) expectSound(q);
        }
        expectSound(q);
    }
}

// The short path serves only the declaration the ticket was left for: a
// declaration pointed at another layout, or a key list naming no single
// field, is answered by the full path.
TEST(QueueHashIndex, ASearchTicketServesOnlyItsOwnDeclarationAndKey) {
    Queue q(RecordLayoutBuilder().longField("Seq").longField("Id").build());
    for (int32_t i = 0; i < 100; ++i) {
        const int32_t seq = i * 3;
        std::memcpy(q.buffer(), &seq, 4);
        std::memcpy(q.buffer() + 4, &i, 4);
        ADD(q);
    }
    auto find = [&](int32_t id, const Key& key) {
        std::memcpy(q.buffer() + 4, &id, 4);
        GET(q, key);
        int32_t seq = -1;
        std::memcpy(&seq, q.buffer(), 4);
        return errorCode() == 0 ? seq : -1;
    };
    for (int round = 0; round < 2; ++round)
        for (int32_t id = 0; id < 100; ++id) ASSERT_EQ(find(id, Key{2}), id * 3);
    ASSERT_TRUE(q.decl()->store->tagTicket.held());

    // A layout of one field has no field 2: the full path refuses the key.
    const RecordLayout narrow = RecordLayoutBuilder().longField("Seq").build();
    QueueDecl* d = q.decl();
    const RecordLayout* own = d->layout;
    d->layout = &narrow;
    EXPECT_EQ(find(5, Key{2}), -1);
    EXPECT_EQ(errorCode(), 75);
    d->layout = own;
    expectSound(q);

    EXPECT_EQ(find(20, Key{2}), 60);
    EXPECT_EQ(find(20, Key{2}), 60);
    EXPECT_EQ(find(20, Key{INT32_MIN}), -1);  // names no field
    EXPECT_EQ(errorCode(), 75);
    EXPECT_EQ(find(21, Key{2}), 63);
    EXPECT_EQ(find(22, Key{2, 0, 1}), 66);  // a 0 ends the list
    expectSound(q);
}

TEST(QueueHashIndex, OnlyShortSingleKeysOrLongKeysGetOne) {
    Queue q(RecordLayoutBuilder().shortField("A").shortField("B").string("Long", 20).build());
    for (int i = 0; i < 50; ++i) {
        const int16_t a = static_cast<int16_t>(i), b = static_cast<int16_t>(i % 7);
        std::memcpy(q.buffer(), &a, 2);
        std::memcpy(q.buffer() + 2, &b, 2);
        std::memset(q.buffer() + 4, 'a' + i % 26, 20);
        ADD(q);
    }
    for (int i = 0; i < 70; ++i) GET(q, Key{1, 2});  // 4 bytes but two fields
    EXPECT_EQ(q.decl()->store->orders.front()->kind, OrderKind::Keyed);
    for (int i = 0; i < 70; ++i) GET(q, Key{3});  // 20 bytes
    EXPECT_EQ(q.decl()->store->orders.front()->kind, OrderKind::Hashed);
    std::memset(q.buffer() + 4, 'c', 20);
    GET(q, Key{3});
    EXPECT_EQ(errorCode(), 0);
    int16_t a;
    std::memcpy(&a, q.buffer(), 2);
    EXPECT_EQ(a, 2);  // the first of the entries with that text
    expectSound(q);
}

}  // namespace
}  // namespace varnok::testing
