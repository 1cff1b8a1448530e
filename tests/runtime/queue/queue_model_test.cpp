// Differential test: long random sequences of queue operations checked step
// by step against a small model of the documented behaviour: error codes,
// returned numbers, the buffer, the second view after PUT, the sequence of
// every order (most recently used first) and queueCheck() after every step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "runtime/errors/error_codes.h"
#include "runtime/queue/queue.h"
#include "runtime/queue/queue_check.h"
#include "runtime/queue/queue_store.h"

namespace varnok::testing {
namespace {

using Rec = std::vector<uint8_t>;

// Fields: 1 Id LONG @0, 2 Name STRING(6) @4, 3 Flag BYTE @10, 4 Score SHORT @11;
// the packed variant adds 5 Note CSTRING(10) @13 and 6 Pad STRING(120) @23.
RecordLayout modelLayout(bool packed) {
    RecordLayoutBuilder b;
    b.longField("Id").string("Name", 6).byte("Flag").shortField("Score");
    if (packed) b.cstring("Note", 10).string("Pad", 120);
    return b.build();
}

int sign(long v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

int compareFieldModel(int field, const Rec& a, const Rec& b) {
    auto i32 = [](const Rec& r, size_t o) { int32_t v; std::memcpy(&v, &r[o], 4); return long(v); };
    auto i16 = [](const Rec& r, size_t o) { int16_t v; std::memcpy(&v, &r[o], 2); return long(v); };
    auto text = [](const Rec& r, size_t o, size_t n, bool zeroEnds) {
        std::string s(reinterpret_cast<const char*>(&r[o]), n);
        if (zeroEnds && s.find('\0') != std::string::npos) s.resize(s.find('\0'));
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    };
    switch (field) {
    case 1: return sign(i32(a, 0) - i32(b, 0));
    case 2: return sign(text(a, 4, 6, false).compare(text(b, 4, 6, false)));
    case 3: return sign(long(a[10]) - long(b[10]));
    case 4: return sign(i16(a, 11) - i16(b, 11));
    case 5: return sign(text(a, 13, 10, true).compare(text(b, 13, 10, true)));
    case 6: return sign(text(a, 23, 120, false).compare(text(b, 23, 120, false)));
    }
    return 0;
}

int compareByKey(const std::vector<int32_t>& key, const Rec& a, const Rec& b) {
    for (int32_t n : key) {
        const int r = compareFieldModel(std::abs(n), a, b);
        if (r != 0) return n < 0 ? -r : r;
    }
    return 0;
}

struct ModelOrder {
    std::vector<int> seq;       // entry ids
    std::vector<int32_t> key;   // empty: unsorted
    bool cursorSet = false;
    uint32_t cursorIndex = 0;
    int cursorEntry = -1;       // -1: only the index is known
};

// The documented behaviour, written plainly.
class Model {
public:
    Model(bool packed, uint32_t size) : packed_(packed), size_(size), buffer(size, 0), second(size, 0) {
        orders.push_back(std::make_unique<ModelOrder>());
        current = orders[0].get();
    }

    bool packed_;
    uint32_t size_;
    std::map<int, Rec> entries;
    int nextId = 1;
    std::vector<std::unique_ptr<ModelOrder>> orders;
    ModelOrder* current;
    std::vector<int32_t> pending;
    bool keyed = false;
    uint32_t changes = 0;
    Rec buffer, second;
    int error = 0;

    uint32_t fieldCount() const { return packed_ ? 6 : 4; }

    Rec stored(const Rec& r) const {
        Rec s = r;
        if (packed_) {  // the CSTRING's slack is zeroed when packed
            auto* zero = static_cast<uint8_t*>(std::memchr(&s[13], 0, 10));
            if (zero) std::memset(zero, 0, 10 - static_cast<size_t>(zero - &s[13]));
        }
        return s;
    }

    int cmp(const ModelOrder& o, const Rec& value, int id) const {
        if (o.key.empty()) {
            const Rec& e = entries.at(id);
            return sign(std::memcmp(value.data(), e.data(), size_));
        }
        return compareByKey(o.key, value, entries.at(id));
    }

    uint32_t insertionPoint(const std::vector<int32_t>& key, const std::vector<int>& seq, const Rec& value) const {
        if (key.empty()) return static_cast<uint32_t>(seq.size());
        size_t lo = 0, hi = seq.size();
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (compareByKey(key, value, entries.at(seq[mid])) < 0) hi = mid; else lo = mid + 1;
        }
        return static_cast<uint32_t>(lo);
    }

    uint32_t firstMatch(const ModelOrder& o, const Rec& value) const {
        for (uint32_t i = 0; i < o.seq.size(); ++i)
            if (cmp(o, value, o.seq[i]) == 0) return i;
        return static_cast<uint32_t>(o.seq.size());
    }

    void sortRange(std::vector<int>& a, size_t first, size_t last, const std::vector<int32_t>& key) {
        auto c = [&](int x, int y) { return compareByKey(key, entries.at(x), entries.at(y)); };
        if (last - first < 9) {
            for (size_t i = first + 1; i <= last; ++i) {
                const int x = a[i];
                size_t p = i;
                while (p > first && c(x, a[p - 1]) < 0) --p;
                a.erase(a.begin() + static_cast<long>(i));
                a.insert(a.begin() + static_cast<long>(p), x);
            }
            return;
        }
        const size_t mid = (first + last) / 2;
        sortRange(a, first, mid, key);
        sortRange(a, mid + 1, last, key);
        if (c(a[mid + 1], a[mid]) >= 0) return;
        size_t start = first;
        while (c(a[start], a[mid + 1]) <= 0) ++start;
        std::vector<int> out;
        size_t i = start, j = mid + 1;
        while (i <= mid && j <= last) {
            while (j <= last && c(a[i], a[j]) >= 0) out.push_back(a[j++]);
            if (j > last) break;
            while (i <= mid && c(a[j], a[i]) >= 0) out.push_back(a[i++]);
        }
        while (i <= mid) out.push_back(a[i++]);
        while (j <= last) out.push_back(a[j++]);
        std::copy(out.begin(), out.end(), a.begin() + static_cast<long>(start));
    }

    void toFront(ModelOrder* o) {
        auto it = std::find_if(orders.begin(), orders.end(), [o](auto& p) { return p.get() == o; });
        std::rotate(orders.begin(), it, it + 1);
    }

    void bind(const std::vector<int32_t>& key) {
        keyed = true;
        if (!pending.empty() && pending == key) return;
        for (auto& o : orders)
            if (!o->key.empty() && o->key == key) {
                toFront(o.get());
                pending.clear();
                return;
            }
        pending = key;
    }

    enum Op { Add, Get, Put, Sort };
    void materialise(Op op) {
        if (pending.empty()) return;
        ModelOrder* target;
        if ((op == Sort && current->key.empty()) || (op == Add && current->seq.empty())) {
            target = current;
        } else if (orders.size() < 16) {
            orders.push_back(std::make_unique<ModelOrder>());
            target = orders.back().get();
            target->seq = current->seq;
        } else {
            target = orders.back().get() != current ? orders.back().get() : orders[orders.size() - 2].get();
        }
        target->key = pending;
        if (target->seq.size() > 1) sortRange(target->seq, 0, target->seq.size() - 1, target->key);
        target->cursorSet = false;
        toFront(target);
        pending.clear();
    }

    uint32_t pointer() const {
        const ModelOrder* mru = orders.front().get();
        if (mru == current) {
            if (!current->cursorSet) return 0;
            if (current->cursorEntry < 0) return current->cursorIndex + 1;
            auto it = std::find(current->seq.begin(), current->seq.end(), current->cursorEntry);
            return it == current->seq.end() ? 0 : static_cast<uint32_t>(it - current->seq.begin()) + 1;
        }
        if (!mru->cursorSet || mru->cursorEntry < 0) return 0;
        auto it = std::find(current->seq.begin(), current->seq.end(), mru->cursorEntry);
        return it == current->seq.end() ? 0 : static_cast<uint32_t>(it - current->seq.begin()) + 1;
    }

    std::vector<int32_t> parse(const std::vector<int32_t>& parts) {
        std::vector<int32_t> key;
        for (int32_t n : parts) {
            if (n == 0 || key.size() == 16) break;
            if (static_cast<uint32_t>(std::abs(n)) > fieldCount()) {
                error = 75;
                return {};
            }
            key.push_back(n);
        }
        return key;
    }

    void add(const std::vector<int32_t>* keyParts) {
        error = 0;
        if (keyParts) {
            const std::vector<int32_t> key = parse(*keyParts);
            if (error) return;
            if (key.empty()) {
                keyed = false;
                toFront(current);
            } else {
                bind(key);
            }
        } else {
            keyed = false;
            toFront(current);
        }
        const int id = nextId++;
        entries[id] = stored(buffer);
        const Rec& value = entries[id];
        materialise(Add);
        for (auto& o : orders) {
            if (o.get() == current) continue;
            const uint32_t at = insertionPoint(o->key, o->seq, value);
            o->seq.insert(o->seq.begin() + at, id);
        }
        ModelOrder* mru = orders.front().get();
        uint32_t at;
        if (keyed && !mru->key.empty()) {
            at = insertionPoint(mru->key, current->seq, value);
            if (mru != current) current->key.clear();
        } else {
            at = static_cast<uint32_t>(current->seq.size());
            if (!current->key.empty() && insertionPoint(current->key, current->seq, value) != at) current->key.clear();
        }
        current->seq.insert(current->seq.begin() + at, id);
        current->cursorSet = true;
        current->cursorIndex = at;
        current->cursorEntry = id;
        mru->cursorSet = true;
        mru->cursorEntry = id;
        ++changes;
    }

    void getPosition(int32_t pos) {
        error = 0;
        keyed = false;
        toFront(current);
        if (pos == 0) {
            current->cursorSet = false;
            error = 30;
            return;
        }
        if (pos < 0 || static_cast<size_t>(pos) > current->seq.size()) {
            error = 30;
            return;
        }
        const int id = current->seq[static_cast<size_t>(pos) - 1];
        buffer = entries[id];
        current->cursorSet = true;
        current->cursorIndex = static_cast<uint32_t>(pos) - 1;
        current->cursorEntry = id;
    }

    void getKey(const std::vector<int32_t>& parts) {
        error = 0;
        const std::vector<int32_t> key = parse(parts);
        if (error) return;
        if (key.empty()) {
            error = 30;
            return;
        }
        bind(key);
        if (current->seq.empty()) {
            error = 30;
            return;
        }
        materialise(Get);
        ModelOrder* o = orders.front().get();
        const Rec value = stored(buffer);
        const uint32_t i = firstMatch(*o, value);
        if (i == o->seq.size()) {
            error = 30;
            return;
        }
        buffer = entries[o->seq[i]];
        o->cursorSet = true;
        o->cursorIndex = i;
        o->cursorEntry = o->seq[i];
    }

    void put() {
        error = 0;
        const uint32_t pos = pointer();
        keyed = false;
        toFront(current);
        if (pos < 1 || pos > current->seq.size()) {
            error = 30;
            return;
        }
        const int id = current->seq[pos - 1];
        materialise(Put);
        ++changes;
        const Rec old = entries[id];
        second = old;
        const Rec value = stored(buffer);
        std::vector<ModelOrder*> lost;
        for (auto& o : orders) {
            if (o.get() == current || o->key.empty()) continue;
            if (compareByKey(o->key, value, old) != 0) {
                o->seq.erase(std::find(o->seq.begin(), o->seq.end(), id));
                lost.push_back(o.get());
            }
        }
        if (!current->key.empty() && compareByKey(current->key, value, old) != 0) current->key.clear();
        entries[id] = value;
        for (ModelOrder* o : lost) o->seq.insert(o->seq.begin() + insertionPoint(o->key, o->seq, value), id);
        current->cursorSet = true;
        current->cursorIndex = pos - 1;
        current->cursorEntry = id;
    }

    void del() {
        error = 0;
        const uint32_t pos = pointer();
        if (pos < 1 || pos > current->seq.size()) {
            error = 30;
            return;
        }
        const int id = current->seq[pos - 1];
        for (auto& o : orders) {
            o->seq.erase(std::find(o->seq.begin(), o->seq.end(), id));
            if (o.get() != current && o->cursorEntry == id) o->cursorSet = false, o->cursorEntry = -1;
        }
        entries.erase(id);
        current->cursorSet = true;
        current->cursorIndex = pos - 1;
        current->cursorEntry = pos - 1 < current->seq.size() ? current->seq[pos - 1] : -1;
        toFront(current);
        ++changes;
    }

    void sort(const std::vector<int32_t>& parts) {
        error = 0;
        const std::vector<int32_t> key = parse(parts);
        if (error || key.empty()) return;
        bind(key);
        ModelOrder* before = current;
        materialise(Sort);
        current = orders.front().get();
        if (before != current && before->key.empty()) {
            orders.erase(std::find_if(orders.begin(), orders.end(), [before](auto& p) { return p.get() == before; }));
        }
        ++changes;
    }

    void freeAll() {
        error = 0;
        entries.clear();
        auto keep = std::find_if(orders.begin(), orders.end(), [this](auto& p) { return p.get() == current; });
        std::unique_ptr<ModelOrder> o = std::move(*keep);
        orders.clear();
        *o = ModelOrder();
        orders.push_back(std::move(o));
        pending.clear();
        keyed = false;
        ++changes;
    }

    uint32_t position() {
        error = 0;
        const Rec value = stored(buffer);
        const uint32_t point = insertionPoint(current->key, current->seq, value);
        if (point == 0) {
            error = 30;
            return 1;
        }
        if (cmp(*current, value, current->seq[point - 1]) != 0) {
            error = 30;
            return point + 1;
        }
        return firstMatch(*current, value) + 1;
    }
};

class Driver {
public:
    Driver(bool packed, uint32_t seed)
        : q(modelLayout(packed)), m(packed, q.recordSize()), rng(seed), packed_(packed) {
        seed_ = CHANGES(q);
    }

    Queue q;
    Model m;
    std::mt19937 rng;
    bool packed_;
    uint32_t seed_ = 0;
    int hashedSeen[3] = {0, 0, 0};  // steps with a hashed order, per index variant

    int pick(int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); }

    Rec randomRecord() {
        Rec r(q.recordSize(), ' ');
        const int32_t id = pick(40);
        std::memcpy(&r[0], &id, 4);
        static const char* names[] = {"alpha", "beta", "be", "zed", ""};
        const char* n = names[pick(5)];
        std::memcpy(&r[4], n, std::strlen(n));
        r[10] = static_cast<uint8_t>(pick(3));
        const int16_t score = static_cast<int16_t>(pick(5) - 2);
        std::memcpy(&r[11], &score, 2);
        if (packed_) {
            for (int i = 0; i < 10; ++i) r[13 + static_cast<size_t>(i)] = static_cast<uint8_t>('a' + pick(3));
            r[13 + static_cast<size_t>(pick(10))] = 0;
            const int text = pick(30);
            for (int i = 0; i < text; ++i) r[23 + static_cast<size_t>(i)] = static_cast<uint8_t>('k' + pick(2));
        }
        return r;
    }

    // A key from a small pool, so orders get reused; now and then a bad one.
    bool focus = false;  // searches stay on a few keys, so their orders gain hash indexes

    std::vector<int32_t> randomKey() {
        if (focus && pick(10) < 8) {
            static const std::vector<std::vector<int32_t>> few = {{1}, {2, 1}, {3}};
            static const std::vector<std::vector<int32_t>> fewPacked = {{6, 1}, {5}, {1}};
            return (packed_ ? fewPacked : few)[static_cast<size_t>(pick(3))];
        }
        static const std::vector<std::vector<int32_t>> pool = {
            {1}, {-1}, {2}, {2, 1}, {3, -4}, {-3}, {4, 2, 1}, {1, 2, 3, 4}, {3}, {-2, 0, 1},
            {4}, {-4}, {1, -2}, {2, -1}, {3, 1}, {-3, -1}, {4, -1}, {-2}, {2, 3}, {3, 2, 1},
        };
        static const std::vector<std::vector<int32_t>> packedOnly = {{5}, {6, 1}, {-5, 3}};
        const int r = pick(100);
        if (r < 2) return {1, 7};  // past the last field
        if (r < 3) return {};
        if (packed_ && r < 20) return packedOnly[static_cast<size_t>(pick(3))];
        return pool[static_cast<size_t>(pick(static_cast<int>(pool.size())))];
    }

    void setBuffer(const Rec& r) {
        std::memcpy(q.buffer(), r.data(), r.size());
        m.buffer = r;
    }

    // A buffer that often equals an existing entry, so searches hit.
    void searchBuffer() {
        if (!m.current->seq.empty() && pick(3) != 0) {
            const int id = m.current->seq[static_cast<size_t>(pick(static_cast<int>(m.current->seq.size())))];
            setBuffer(m.entries[id]);
        } else {
            setBuffer(randomRecord());
        }
    }

    void step(int roll) {
        if (roll < 22) {
            setBuffer(randomRecord());
            ADD(q);
            m.add(nullptr);
        } else if (roll < 32) {
            setBuffer(randomRecord());
            const std::vector<int32_t> k = randomKey();
            ADD(q, Key(std::span<const int32_t>(k)));
            m.add(&k);
        } else if (roll < 45) {
            const int32_t pos = static_cast<int32_t>(pick(static_cast<int>(m.current->seq.size()) + 3)) - 1;
            GET(q, pos);
            m.getPosition(pos);
        } else if (roll < 62) {
            searchBuffer();
            const std::vector<int32_t> k = randomKey();
            GET(q, Key(std::span<const int32_t>(k)));
            m.getKey(k);
        } else if (roll < 72) {
            Rec r = pick(2) ? randomRecord() : m.buffer;
            if (pick(2)) r[10] = static_cast<uint8_t>(pick(3));
            setBuffer(r);
            PUT(q);
            m.put();
            if (m.error == 0) {
                ASSERT_EQ(Rec(secondView(q), secondView(q) + q.recordSize()), m.second) << "second view";
            }
        } else if (roll < 81) {
            DELETE(q);
            m.del();
        } else if (roll < 89) {
            const std::vector<int32_t> k = randomKey();
            SORT(q, Key(std::span<const int32_t>(k)));
            m.sort(k);
        } else if (roll < 95) {
            searchBuffer();
            const uint32_t got = POSITION(q);
            const uint32_t expect = m.position();
            // On an unsorted order only the documented part is checked.
            if (!m.current->key.empty() || m.error != 0) {
                ASSERT_EQ(got, expect) << "POSITION";
            }
        } else if (roll < 96) {
            FREE(q);
            m.freeAll();
        } else {
            GET(q, 1);
            m.getPosition(1);
        }
    }

    void compare(int stepNo) {
        ASSERT_EQ(errorCode(), m.error) << "step " << stepNo;
        ASSERT_EQ(Rec(q.buffer(), q.buffer() + q.recordSize()), m.buffer) << "step " << stepNo;
        ASSERT_EQ(RECORDS(q), m.current->seq.size()) << "step " << stepNo;
        ASSERT_EQ(POINTER(q), m.pointer()) << "step " << stepNo;
        ASSERT_EQ(CHANGES(q) - seed_, m.changes) << "step " << stepNo;
        for (auto& o : q.decl()->store->orders)
            if (o->hash) ++hashedSeen[static_cast<int>(o->hash->variant())];
        std::string why;
        ASSERT_TRUE(queueCheck(q, &why)) << why << " at step " << stepNo;
        // Every order, most recently used first, holds the model's sequence.
        const QueueStore& s = *q.decl()->store;
        ASSERT_EQ(s.orders.size(), m.orders.size()) << "step " << stepNo;
        Rec image(q.recordSize());
        for (size_t k = 0; k < s.orders.size(); ++k) {
            const QueueOrder& o = *s.orders[k];
            const ModelOrder& mo = *m.orders[k];
            ASSERT_EQ(&o == s.current, &mo == m.current) << "step " << stepNo;
            ASSERT_EQ(o.key.numbers(), mo.key) << "order " << k << " step " << stepNo;
            ASSERT_EQ(o.refs.size(), mo.seq.size());
            for (uint32_t i = 0; i < o.refs.size(); ++i) {
                s.readEntry(o.refs.at(i), image.data());
                ASSERT_EQ(image, m.entries[mo.seq[i]]) << "order " << k << " index " << i << " step " << stepNo;
            }
        }
    }

    void run(int steps) {
        for (int i = 0; i < steps; ++i) {
            // Phases: grow, then mix, then lean on searches so hash indexes appear.
            int roll = pick(100);
            focus = i % 600 > 450;
            if (i % 600 < 150) roll = pick(3) ? pick(22) : roll;
            else if (focus && pick(3)) roll = 45 + pick(17);
            step(roll);
            if (::testing::Test::HasFatalFailure()) return;
            compare(i);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
};

TEST(QueueModel, PlainQueueFollowsTheModel) {
    int hashed[3] = {0, 0, 0};
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        Driver d(false, seed);
        d.run(1500);
        if (HasFatalFailure()) return;
        for (int v = 0; v < 3; ++v) hashed[v] += d.hashedSeen[v];
    }
    // The searches did run through hash indexes (a LONG key: the value kind).
    EXPECT_GT(hashed[1], 0);
}

TEST(QueueModel, PackedQueueFollowsTheModel) {
    int hashed[3] = {0, 0, 0};
    for (uint32_t seed = 11; seed <= 13; ++seed) {
        Driver d(true, seed);
        d.run(1200);
        if (HasFatalFailure()) return;
        for (int v = 0; v < 3; ++v) hashed[v] += d.hashedSeen[v];
    }
    EXPECT_GT(hashed[2], 0);  // long or text keys: the general kind
}

}  // namespace
}  // namespace varnok::testing
