// ReferenceArray: random edits against std::vector, the capacity classes it
// steps through, and the full-array failure.
#include "runtime/queue/reference_array.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace varnok::testing {
namespace {

using Ref = ReferenceArray::Ref;

Ref ref(uintptr_t n) { return reinterpret_cast<Ref>(n * 8 + 8); }

void expectSame(const ReferenceArray& a, const std::vector<Ref>& model) {
    ASSERT_TRUE(a.check());
    ASSERT_EQ(a.size(), model.size());
    for (uint32_t i = 0; i < model.size(); ++i) ASSERT_EQ(a.at(i), model[i]) << i;
}

TEST(ReferenceArray, RandomEditsMatchAVector) {
    std::mt19937 rng(3);
    ReferenceArray a;
    std::vector<Ref> model;
    uintptr_t next = 0;
    for (int step = 0; step < 20000; ++step) {
        const uint32_t n = a.size();
        const int op = static_cast<int>(rng() % 10);
        // Edits cluster around a moving spot, as queue edits do, with jumps.
        const uint32_t spot = n == 0 ? 0 : (step % 50 == 0 ? rng() % (n + 1) : std::min<uint32_t>(n, (step * 7) % (n + 1)));
        if (op < 5 || n == 0) {
            ASSERT_TRUE(a.insert(spot, ref(next)));
            model.insert(model.begin() + spot, ref(next++));
        } else if (op < 9) {
            const uint32_t at = std::min(spot, n - 1);
            a.erase(at);
            model.erase(model.begin() + at);
        } else {
            const uint32_t from = static_cast<uint32_t>(rng() % n), to = static_cast<uint32_t>(rng() % n);
            a.move(from, to);
            Ref r = model[from];
            model.erase(model.begin() + from);
            model.insert(model.begin() + to, r);
        }
        if (step % 97 == 0) {
            expectSame(a, model);
            if (HasFatalFailure()) return;
            const uint32_t probe = static_cast<uint32_t>(rng() % (model.size() + 1));
            if (probe < model.size()) {
                EXPECT_EQ(a.indexOf(model[probe]), probe);
            }
        }
    }
    expectSame(a, model);
    Ref* flat = a.contiguous();
    EXPECT_TRUE(std::equal(model.begin(), model.end(), flat));
    ReferenceArray copy;
    ASSERT_TRUE(copy.assign(a));
    expectSame(copy, model);
    EXPECT_EQ(copy.capacityClass(), a.capacityClass());
}

TEST(ReferenceArray, GrowsAndShrinksOneClassAtATime) {
    ReferenceArray a;
    EXPECT_EQ(a.capacity(), 0u);
    std::vector<int> classesSeen;
    for (uint32_t i = 0; i < 20000; ++i) {
        const int before = a.capacityClass();
        ASSERT_TRUE(a.append(ref(i)));
        ASSERT_LE(a.capacityClass(), before + 1);
        ASSERT_GE(a.capacity(), a.size());
        if (a.capacityClass() != before) classesSeen.push_back(a.capacityClass());
        // It only grows when the insertion found it full.
        if (a.capacityClass() != before) {
            ASSERT_EQ(i, ReferenceArray::classCapacity(before));
        }
    }
    EXPECT_EQ(classesSeen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(ReferenceArray::classCapacity(9), 1024u);
    EXPECT_EQ(ReferenceArray::classCapacity(13), 16352u);
    EXPECT_EQ(ReferenceArray::classCapacity(35), 100663264u);
    while (a.size() > 0) {
        const int before = a.capacityClass();
        const uint32_t count = a.size();
        a.erase(a.size() / 2);
        const bool shouldShrink = before > 0 && count <= ReferenceArray::classShrinkAt(before);
        ASSERT_EQ(a.capacityClass(), shouldShrink ? before - 1 : before) << count;
    }
    EXPECT_EQ(a.capacityClass(), 6);  // classes 1 to 6 never shrink
}

TEST(ReferenceArray, AFullArrayRefusesMore) {
    ReferenceArray a(3);  // at most class 3: 8 references
    for (uint32_t i = 0; i < 8; ++i) ASSERT_TRUE(a.append(ref(i)));
    EXPECT_FALSE(a.insert(4, ref(99)));
    EXPECT_EQ(a.size(), 8u);
    for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(a.at(i), ref(i));
    EXPECT_FALSE(a.insert(10, ref(99)));  // past the end
}

// Runs appended at once give the sequence and the capacity class that
// appending one by one gives, wherever the gap was; a run past the limit
// changes nothing.
TEST(ReferenceArray, AppendingARunIsAppendingEachInTurn) {
    std::mt19937 rng(41);
    for (int round = 0; round < 200; ++round) {
        ReferenceArray bulk(12), single(12);
        std::vector<Ref> model;
        for (int step = 0; step < 6; ++step) {
            if (!model.empty() && rng() % 2) {  // an edit inside moves the gap away from the end
                const uint32_t at = static_cast<uint32_t>(rng() % model.size());
                bulk.erase(at);
                single.erase(at);
                model.erase(model.begin() + at);
            }
            std::vector<Ref> run(rng() % 700);
            for (Ref& r : run) r = ref(rng() % 100000);
            const bool fits = model.size() + run.size() <= ReferenceArray::classCapacity(12);
            if (rng() % 2) {
                ASSERT_EQ(bulk.appendAll(run.data(), static_cast<uint32_t>(run.size())), fits) << round;
            } else {
                // From another array, whose storage an empty one takes over.
                ReferenceArray other;
                for (Ref r : run) ASSERT_TRUE(other.append(r));
                ASSERT_EQ(bulk.appendAllOf(other), fits) << round;
                if (fits) {
                    EXPECT_TRUE(other.empty());
                    EXPECT_TRUE(other.check());
                }
            }
            if (!fits) {
                expectSame(bulk, model);
                continue;
            }
            for (Ref r : run) ASSERT_TRUE(single.append(r));
            const bool tookOver = model.empty();
            model.insert(model.end(), run.begin(), run.end());
            expectSame(bulk, model);
            if (!tookOver) {
                ASSERT_EQ(bulk.capacityClass(), single.capacityClass()) << round;
            }
        }
    }
}

}  // namespace
}  // namespace varnok::testing
