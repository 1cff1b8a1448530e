// KeyHashIndex: random additions and removals against a counting model for
// every variant, with representatives kept valid and probing intact after
// the backward-shift removals.
#include "runtime/queue/key_hash_index.h"

#include <gtest/gtest.h>

#include <span>

#include "runtime/queue/queue.h"

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace varnok::testing {
namespace {

using Ref = KeyHashIndex::Ref;

struct Fixture {
    RecordLayout layout;
    KeySpec key;
    KeyHashIndex::Variant variant;
};

// Records are 8 bytes: a BYTE, a SHORT, a STRING(5).
Fixture make(std::vector<int32_t> parts) {
    Fixture f{RecordLayoutBuilder().byte("B").shortField("S").string("T", 5).build(), {}, {}};
    EXPECT_EQ(f.key.parse(f.layout, parts), 0);
    f.variant = KeyHashIndex::variantFor(f.key);
    return f;
}

void runAgainstModel(const Fixture& f, uint32_t seed, int valueRange) {
    std::mt19937 rng(seed);
    KeyHashIndex index(f.variant);
    std::vector<std::unique_ptr<uint8_t[]>> live;       // entries in the index
    auto hashOf = [&](const uint8_t* r) { return KeyHashIndex::keyHash(f.variant, f.key, r); };
    auto eqTo = [&](const uint8_t* r) { return [&f, r](Ref rep) { return f.key.compare(r, rep) == 0; }; };
    auto countEqual = [&](const uint8_t* r) {
        uint32_t n = 0;
        for (auto& e : live) n += f.key.compare(r, e.get()) == 0;
        return n;
    };
    for (int step = 0; step < 3000; ++step) {
        if (live.empty() || rng() % 3 != 0) {
            auto e = std::make_unique<uint8_t[]>(8);
            e[0] = static_cast<uint8_t>(rng() % static_cast<uint32_t>(valueRange));
            const int16_t s = static_cast<int16_t>(rng() % static_cast<uint32_t>(valueRange)) - 3;
            std::memcpy(&e[1], &s, 2);
            std::memset(&e[3], ' ', 5);
            e[3] = static_cast<uint8_t>('a' + rng() % 3);
            ASSERT_TRUE(index.add(hashOf(e.get()), e.get(), eqTo(e.get())));
            live.push_back(std::move(e));
        } else {
            const size_t at = rng() % live.size();
            std::unique_ptr<uint8_t[]> gone = std::move(live[at]);
            live.erase(live.begin() + static_cast<long>(at));
            index.remove(hashOf(gone.get()), gone.get(), eqTo(gone.get()), [&]() -> Ref {
                for (auto& e : live)
                    if (f.key.compare(gone.get(), e.get()) == 0) return e.get();
                return nullptr;
            });
        }
        if (step % 50 != 0) continue;
        // Every live key is found with its count and a live representative.
        for (auto& e : live) {
            const KeyHashIndex::Slot* slot = index.find(hashOf(e.get()), eqTo(e.get()));
            ASSERT_NE(slot, nullptr) << step;
            ASSERT_EQ(slot->count, countEqual(e.get())) << step;
            ASSERT_EQ(f.key.compare(e.get(), slot->rep), 0);
            bool repLive = false;
            for (auto& other : live) repLive = repLive || other.get() == slot->rep;
            ASSERT_TRUE(repLive);
        }
        uint32_t used = 0;
        for (uint32_t i = 0; i < index.capacity(); ++i) used += index.slots()[i].rep != nullptr;
        ASSERT_EQ(used, index.distinctKeys());
    }
}

TEST(KeyHashIndex, VariantsFollowTheKeyShape) {
    EXPECT_EQ(make({1}).variant, KeyHashIndex::Variant::Direct);
    EXPECT_EQ(make({-2}).variant, KeyHashIndex::Variant::Value);
    EXPECT_EQ(make({3}).variant, KeyHashIndex::Variant::General);  // STRING(5)
    EXPECT_EQ(make({1, 2}).variant, KeyHashIndex::Variant::General);
}

TEST(KeyHashIndex, DirectVariantAgreesWithTheModel) { runAgainstModel(make({1}), 1, 40); }
TEST(KeyHashIndex, ValueVariantAgreesWithTheModel) { runAgainstModel(make({2}), 2, 600); }
TEST(KeyHashIndex, GeneralVariantAgreesWithTheModel) {
    runAgainstModel(make({3, 1}), 3, 9);
    runAgainstModel(make({2, -3, 1}), 4, 300);
}

TEST(KeyHashIndex, TextKeysHashAsTheyCompare) {
    const Fixture f = make({3});
    uint8_t a[8] = {0, 0, 0, 'a', 'b', ' ', ' ', ' '};
    uint8_t b[8] = {9, 9, 9, 'a', 'b', ' ', ' ', ' '};
    EXPECT_EQ(KeyHashIndex::keyHash(f.variant, f.key, a), KeyHashIndex::keyHash(f.variant, f.key, b));
}

// An index made from its key reads an exact variant's tag straight from a
// record: the tag must be the key's hash, and the slot-only search must find
// what the general search finds, for present and absent keys alike.
TEST(KeyHashIndex, TagsReadFromRecordsAgreeWithTheKeyHash) {
    // BYTE, STRING(1), SHORT, STRING(3), LONG, ULONG, STRING(5): 20 bytes.
    const RecordLayout layout = RecordLayoutBuilder()
                                    .byte("B").string("C", 1).shortField("S").string("T", 3)
                                    .longField("L").ulongField("U").string("W", 5).build();
    std::mt19937 rng(11);
    auto randomRecord = [&](uint8_t* r) {
        for (int i = 0; i < 20; ++i) r[i] = static_cast<uint8_t>(rng() % 4 == 0 ? ' ' : 'a' + rng() % 5);
        if (rng() % 2) r[0] = static_cast<uint8_t>(rng());
        if (rng() % 2) std::memset(r + 8, 0, 8);
    };
    for (int32_t field = 1; field <= 7; ++field) {
        KeySpec key;
        ASSERT_EQ(key.parse(layout, std::vector<int32_t>{field}), 0);
        KeyHashIndex index(key);
        const KeyHashIndex::Variant v = KeyHashIndex::variantFor(key);
        ASSERT_EQ(index.variant(), v);
        ASSERT_EQ(index.readsTags(), v != KeyHashIndex::Variant::General) << field;
        ASSERT_EQ(index.exact(), index.readsTags());
        if (!index.readsTags()) continue;
        std::vector<std::unique_ptr<uint8_t[]>> live;
        auto eqTo = [&](const uint8_t* r) { return [&key, r](Ref rep) { return key.compare(r, rep) == 0; }; };
        for (int i = 0; i < 400; ++i) {
            auto e = std::make_unique<uint8_t[]>(20);
            randomRecord(e.get());
            ASSERT_EQ(index.valueTag(e.get()), static_cast<uint32_t>(KeyHashIndex::keyHash(v, key, e.get())));
            ASSERT_TRUE(index.add(KeyHashIndex::keyHash(v, key, e.get()), e.get(), eqTo(e.get())));
            live.push_back(std::move(e));
        }
        for (int i = 0; i < 400; ++i) {
            uint8_t probe[20];
            randomRecord(probe);
            const KeyHashIndex::Slot* expected = index.find(KeyHashIndex::keyHash(v, key, probe), eqTo(probe));
            const KeyHashIndex::Slot* got = index.findValue(index.valueTag(probe));
            ASSERT_EQ(got, expected) << field << " " << i;
            bool present = false;
            for (auto& e : live) present = present || key.compare(probe, e.get()) == 0;
            ASSERT_EQ(got != nullptr, present);
            if (got) {
                ASSERT_EQ(key.compare(probe, got->rep), 0);
            }
        }
    }
}

// A key list reads as a parsed key when parsing it would give that key.
TEST(KeyHashIndex, KeyListsReadAsTheKeyTheyParseTo) {
    const Fixture f = make({2, -3});
    EXPECT_TRUE(f.key.readsAs(std::vector<int32_t>{2, -3}));
    EXPECT_TRUE(f.key.readsAs(std::vector<int32_t>{2, -3, 0, 1}));
    EXPECT_FALSE(f.key.readsAs(std::vector<int32_t>{2, -3, 1}));
    EXPECT_FALSE(f.key.readsAs(std::vector<int32_t>{2, 3}));
    EXPECT_FALSE(f.key.readsAs(std::vector<int32_t>{2}));
    EXPECT_FALSE(f.key.readsAs(std::vector<int32_t>{-3, 2}));
    // A single component, which has a shorter path of its own.
    const Fixture one = make({-2});
    EXPECT_TRUE(one.key.readsAs(std::vector<int32_t>{-2}));
    EXPECT_TRUE(one.key.readsAs(std::vector<int32_t>{-2, 0, 3}));
    EXPECT_FALSE(one.key.readsAs(std::vector<int32_t>{-2, 3}));
    EXPECT_FALSE(one.key.readsAs(std::vector<int32_t>{2}));
    EXPECT_FALSE(one.key.readsAs(std::vector<int32_t>{}));
    // A key list's single field stands for readsAs of a one-component key.
    for (const std::vector<int32_t>& parts : std::vector<std::vector<int32_t>>{
             {-2}, {-2, 0, 3}, {-2, 3}, {2}, {}, {0}, {0, -2}, {-2, 0}}) {
        const Key key{std::span<const int32_t>(parts)};
        EXPECT_EQ(key.single() != 0 && key.single() == one.key.singleNumber(), one.key.readsAs(parts));
    }
    EXPECT_EQ(f.key.singleNumber(), 0);
    // Past 16 components the rest of a list is ignored.
    std::vector<int32_t> many(20, 1);
    KeySpec sixteen;
    ASSERT_EQ(sixteen.parse(f.layout, many), 0);
    EXPECT_TRUE(sixteen.readsAs(many));
    many[15] = 2;
    EXPECT_FALSE(sixteen.readsAs(many));
}

}  // namespace
}  // namespace varnok::testing
