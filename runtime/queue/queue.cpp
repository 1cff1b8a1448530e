// The queue operations. Each checks the declaration, clears the thread's
// error code, creates the store when it needs one and works on it; failures
// post 7, 8, 30 or 75 and leave entries, buffer and orders as they were.
#include "runtime/queue/queue.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "runtime/errors/error_codes.h"
#include "runtime/queue/queue_batch.h"
#include "runtime/queue/queue_registry.h"
#include "runtime/queue/queue_store.h"
#include "runtime/records/record_clear.h"

namespace varnok {

namespace {

using Ref = QueueStore::Ref;

bool declarationOk(const QueueDecl* q) { return q && q->buffer && q->layout; }

// Clears the error code and drops a GET ticket (any operation may change
// the orders); false (with 7 posted) for a missing declaration.
bool begin(const QueueDecl* q) {
    clearError();
    if (q && q->store) q->store->dropTicket();
    if (declarationOk(q)) return true;
    postError(MemoryCorruptedErr);
    return false;
}

QueueStore* storeOf(QueueDecl* q) {
    if (q->store) return q->store;
    int error = 0;
    std::unique_ptr<QueueStore> s = QueueStore::create(*q, &error);
    if (!s) {
        postError(error);
        return nullptr;
    }
    q->store = s.release();
    q->ticket = &q->store->tagTicket;
    registerQueue(q);  // a queue-reference field can name it from now on
    return q->store;
}

// Reads a key; false (with 75 posted) when it names a field past the last.
bool parseKey(const QueueDecl* q, const Key& key, KeySpec& spec) {
    if (spec.parse(*q->layout, key.parts()) == 0) return true;
    postError(InvalidFieldTypeDescriptorErr);
    return false;
}

// Binds a key: an equal pending key stays pending, an order already keeping
// this key becomes the most recently used, any other key becomes pending.
void bindKey(QueueStore& s, const KeySpec& key) {
    s.keyed = true;
    if (!s.pending.empty() && s.pending.sameAs(key)) return;
    for (auto& o : s.orders) {
        if (o->sorted() && o->key.sameAs(key)) {
            s.moveToFront(o.get());
            s.pending.clear();  // an older pending key would bind to the wrong order later
            return;
        }
    }
    s.pending = key;
}

// Places a new entry at the end of the current order (or where the key just
// named says) and into every other order; `record` is its record image.
// A caller that knows no order will compare the entry (a single unsorted
// order and no pending key) may pass nullptr. On failure the entry is freed
// and 8 posted.
void placeEntry(QueueStore& s, Ref e, const uint8_t* record) {
    if (!s.materialise(QueueStore::BindingFor::Add)) {
        s.freeEntry(e);
        postError(InsufficientMemoryErr);
        return;
    }
    const uint8_t* value = record ? s.searchValue(record) : nullptr;
    struct Placed {
        QueueOrder* order;
        uint32_t index;
    };
    Placed placed[QueueStore::kMaxOrders];
    size_t placedCount = 0;
    auto rollback = [&] {
        while (placedCount > 0) {
            const Placed& p = placed[--placedCount];
            p.order->refs.erase(p.index);
            s.hashRemove(*p.order, e, value);
        }
        s.freeEntry(e);
        postError(InsufficientMemoryErr);
    };

    for (auto& up : s.orders) {
        QueueOrder* o = up.get();
        if (o == s.current) continue;
        const uint32_t index = s.insertionPoint(*o, value);
        if (!o->refs.insert(index, e)) return rollback();
        placed[placedCount++] = {o, index};
        if (o->sorted()) ++o->uses;
        s.hashAdd(*o, e, value);
    }

    QueueOrder* cur = s.current;
    QueueOrder* mru = s.orders.front().get();
    uint32_t index;
    bool staysSorted = cur->sorted();
    if (s.keyed && mru->sorted()) {
        // Where the key just named says, even when another order keeps it.
        index = s.insertionPointUnder(mru->key, cur->refs, value);
        if (mru != cur) staysSorted = false;
    } else {
        index = cur->refs.size();
        if (cur->sorted() && s.insertionPoint(*cur, value) != index) staysSorted = false;
    }
    if (!cur->refs.insert(index, e)) return rollback();
    if (cur->sorted()) {
        if (staysSorted) {
            ++cur->uses;
            s.hashAdd(*cur, e, value);
        } else {
            cur->makeUnsorted();
        }
    }
    cur->cursor = {true, index, e};
    if (mru != cur) mru->cursor = {true, OrderCursor::kUnknownIndex, e};
    ++s.changes;
}

void addEntry(QueueDecl& q, QueueStore& s, uint32_t uniformFrom) {
    Ref e = s.makeEntry(q.buffer, uniformFrom);
    if (!e) {
        postError(InsufficientMemoryErr);
        return;
    }
    placeEntry(s, e, q.buffer);
}

}  // namespace

void ADD(QueueDecl* q) {
    if (!begin(q)) return;
    QueueStore* s = storeOf(q);
    if (!s) return;
    s->keyed = false;
    s->moveToFront(s->current);
    addEntry(*q, *s, q->recordSize);
}

void ADDPadded(QueueDecl* q, uint32_t significant) {
    if (!begin(q)) return;
    QueueStore* s = storeOf(q);
    if (!s) return;
    s->keyed = false;
    s->moveToFront(s->current);
    const uint32_t size = q->recordSize;
    if (significant > size) significant = size;
    // Checked where it costs nothing that matters: a broken promise would
    // store a wrong coding.
    assert(std::all_of(q->buffer + significant, q->buffer + size,
                       [&](uint8_t c) { return size > 0 && c == q->buffer[size - 1]; }));
    addEntry(*q, *s, significant);
}

namespace {

// Appends entries the store has adopted from a batch, one by one, as ADD of
// each would.
void addAdoptedEntries(QueueDecl& q, QueueStore& s, Ref* entries, uint32_t n) {
    std::unique_ptr<uint8_t[]> image;
    for (uint32_t k = 0; k < n; ++k) {
        Ref e = entries[k];
        s.keyed = false;
        s.moveToFront(s.current);
        // Only another order, a sorted one or a pending key compares the
        // entry; a text load has none of them and skips the decoding.
        const bool compared = s.orders.size() > 1 || s.current->sorted() || !s.pending.empty();
        if (compared && !image) {
            image.reset(new (std::nothrow) uint8_t[q.recordSize]);
            if (!image) {
                for (uint32_t j = k; j < n; ++j) s.freeEntry(entries[j]);
                postError(InsufficientMemoryErr);
                return;
            }
        }
        if (compared) s.readEntry(e, image.get());
        placeEntry(s, e, compared ? image.get() : nullptr);
        if (!errorSurelyClear()) {
            // placeEntry freed this entry; the ones not yet added go too.
            for (uint32_t j = k + 1; j < n; ++j) s.freeEntry(entries[j]);
            return;
        }
    }
}

}  // namespace

void ADDBatch(QueueDecl* q, QueueBatch& batch) {
    QueueStore::Batch& b = batch.entries_;
    if (!begin(q)) return;
    QueueStore* s = storeOf(q);
    if (!s) return;
    if (s != batch.store_) {
        postError(MemoryCorruptedErr);
        return;
    }
    if (!s->adoptBatch(b)) {
        postError(InsufficientMemoryErr);
        return;
    }
    // A queue with one unsorted order and no key pending (a text being
    // loaded) takes the references in one step: each ADD would only have
    // appended its entry there and advanced the counter.
    const uint32_t n = b.entries.size();
    if (n == 0) return;
    s->keyed = false;
    s->moveToFront(s->current);
    QueueOrder* cur = s->current;
    if (s->orders.size() == 1 && !cur->sorted() && s->pending.empty()) {
        Ref last = b.entries.at(n - 1);
        if (cur->refs.appendAllOf(b.entries)) {
            cur->cursor = {true, cur->refs.size() - 1, last};
            s->changes += n;
            return;
        }
    }
    // Otherwise one by one. The references stay in the batch's array until
    // the end; its entries now belong to the store.
    addAdoptedEntries(*q, *s, b.entries.contiguous(), n);
    b.entries.clear();
}

void ADD(QueueDecl* q, const Key& key) {
    if (!begin(q)) return;
    QueueStore* s = storeOf(q);
    if (!s) return;
    KeySpec spec;
    if (!parseKey(q, key, spec)) return;
    if (spec.empty()) {
        s->keyed = false;
        s->moveToFront(s->current);
    } else {
        bindKey(*s, spec);
    }
    addEntry(*q, *s, q->recordSize);
}

namespace {

// The entry at a position of the current order, made the order's cursor;
// nullptr with 30 posted (and the cursor dropped for position 0) when there
// is none there.
Ref reachPosition(QueueStore& s, int32_t position) {
    s.keyed = false;
    s.moveToFront(s.current);
    if (position <= 0 || static_cast<uint32_t>(position) > s.count()) {
        if (position == 0) s.current->cursor = {};
        postError(EntryNotFoundErr);
        return nullptr;
    }
    const uint32_t index = static_cast<uint32_t>(position) - 1;
    Ref e = s.current->refs.at(index);
    s.current->cursor = {true, index, e};
    return e;
}

}  // namespace

void GET(QueueDecl* q, int32_t position) {
    if (!begin(q)) return;
    QueueStore* s = storeOf(q);
    if (!s) return;
    if (Ref e = reachPosition(*s, position)) s->readEntry(e, q->buffer);
}

void prefetchEntry(const QueueDecl* q, int32_t position) {
    if (!q || !q->store || position <= 0) return;
    const QueueStore* s = q->store;
    if (static_cast<uint32_t>(position) > s->count()) return;
    __builtin_prefetch(s->current->refs.at(static_cast<uint32_t>(position) - 1));
}

void prefetchReference(const QueueDecl* q, int32_t position) {
    if (!q || !q->store || position <= 0) return;
    const QueueStore* s = q->store;
    if (static_cast<uint32_t>(position) > s->count()) return;
    __builtin_prefetch(s->current->refs.slotOf(static_cast<uint32_t>(position) - 1));
}

uint32_t GETText(QueueDecl* q, int32_t position, uint8_t* out, uint8_t pad) {
    if (!begin(q)) return 0;
    QueueStore* s = storeOf(q);
    if (!s) return 0;
    Ref e = reachPosition(*s, position);
    return e ? s->readEntryText(e, out, pad) : 0;
}

uint32_t GETPadded(QueueDecl* q, int32_t position, uint32_t clean) {
    if (!begin(q)) return 0;
    QueueStore* s = storeOf(q);
    if (!s) return q->recordSize;
    Ref e = reachPosition(*s, position);
    if (!e) return q->recordSize;
    const uint32_t size = q->recordSize;
    if (clean > size) clean = size;
    // Checked where it costs nothing that matters: a broken promise would
    // leave stale bytes in the buffer.
    assert(std::all_of(q->buffer + clean, q->buffer + size, [&](uint8_t c) { return c == q->buffer[size - 1]; }));
    return s->readEntryOver(e, q->buffer, clean);
}

namespace {

// GET by the key the most recently used order already keeps through its
// hash index, with no other key pending: binding would only confirm that
// order and sorting would have nothing to do, so the search goes straight
// to the index. This is the common case of a loop of searches by one key.
// False, with nothing changed, when the call needs the full path.
bool getThroughFrontIndex(QueueDecl& q, QueueStore& s, const Key& key) {
    QueueOrder* o = s.orders.front().get();
    if (o->kind != OrderKind::Hashed || !s.pending.empty() || q.layout != &s.layout) return false;
    const KeyHashIndex& index = *o->hash;
    // At least 16 distinct keys in the index means the order is not empty.
    if (index.distinctKeys() < 16 || !o->key.readsAs(key.parts())) return false;
    s.keyed = true;
    ++o->uses;
    uint32_t at = QueueStore::kNone;
    Ref e = nullptr;
    if (!s.lookup(*o, s.searchValue(q.buffer), &at, &e)) {
        postError(EntryNotFoundErr);
        return true;
    }
    s.readEntry(e, q.buffer);
    o->cursor = {true, at == QueueStore::kNone ? OrderCursor::kUnknownIndex : at, e};
    return true;
}

}  // namespace

namespace {

// GET by key through parsing and binding. Kept out of line so that a search
// through the front order's index carries no frame for the parsed key.
[[gnu::noinline]] void getByParsedKey(QueueDecl* q, const Key& key) {
    QueueStore* s = storeOf(q);
    if (!s) return;
    KeySpec spec;
    if (!parseKey(q, key, spec)) return;
    if (spec.empty()) {
        postError(EntryNotFoundErr);
        return;
    }
    bindKey(*s, spec);
    if (s->count() == 0) {
        postError(EntryNotFoundErr);
        return;
    }
    if (!s->materialise(QueueStore::BindingFor::Get)) {
        postError(InsufficientMemoryErr);
        return;
    }
    QueueOrder* o = s->orders.front().get();
    const uint8_t* value = s->searchValue(q->buffer);
    ++o->uses;
    s->considerHash(*o);
    uint32_t index = 0;
    Ref e = nullptr;
    if (!s->lookup(*o, value, &index, &e)) {
        postError(EntryNotFoundErr);
        return;
    }
    s->readEntry(e, q->buffer);
    o->cursor = {true, index == QueueStore::kNone ? OrderCursor::kUnknownIndex : index, e};
}

// Leaves a ticket for the next GET by this key when this one found its
// entry and its order allows the short path: hashed by the value of one
// numeric field of 2 to 4 bytes, 16 keys or more, no key pending, an
// unpacked queue, and the four bytes from the key's start inside the record.
void leaveTicket(QueueDecl& q, const Key& key) {
    QueueStore* s = q.store;
    if (!tErrorStateClean || !s || s->packed || !s->pending.empty() || q.layout != &s->layout) return;
    QueueOrder* o = s->orders.front().get();
    const KeyHashIndex* index = o->hash.get();
    if (!index || index->variant() != KeyHashIndex::Variant::Value || key.single() == 0 ||
        key.single() != index->numericField() || index->distinctKeys() < 16 || index->keyOffset() + 4 > s->recordSize)
        return;
    // The GET found its entry, which is now this order's cursor. The
    // short path only replaces the entry, so the index is let go here;
    // it is found again from the entry when asked for.
    o->cursor.index = OrderCursor::kUnknownIndex;
    QueueGetTicket& t = s->tagTicket;
    t.probe = index->valueProbe();
    t.keyOffset = index->keyOffset();
    t.keyMask = index->keySize() >= 4 ? UINT32_MAX : (uint32_t(1) << (8 * index->keySize())) - 1;
    t.field = key.single();
    t.recordSize = s->recordSize;
    t.layout = &s->layout;
    t.cursorEntry = &o->cursor.entry;
    t.index = index;
    t.order = o;
}

}  // namespace

void getByKeyInFull(QueueDecl* q, const Key& key) {
    if (!begin(q)) return;
    if (!q->store || !getThroughFrontIndex(*q, *q->store, key)) getByParsedKey(q, key);
    leaveTicket(*q, key);
}

void PUT(QueueDecl* q) {
    if (!begin(q)) return;
    QueueStore* s = storeOf(q);
    if (!s) return;
    // The entry last reached, by whatever order: taken before the current
    // order becomes the most recently used, so that GET by any key followed
    // by PUT replaces the entry that GET found.
    const uint32_t position = s->pointer();
    s->keyed = false;
    s->moveToFront(s->current);
    if (position < 1 || position > s->count()) {
        postError(EntryNotFoundErr);
        return;
    }
    QueueOrder* cur = s->current;
    Ref e = cur->refs.at(position - 1);
    if (!s->materialise(QueueStore::BindingFor::Put)) {
        postError(InsufficientMemoryErr);
        return;
    }

    // The old version goes to the second view; it also serves as the value
    // that finds the entry in the other orders.
    uint8_t* old = s->secondView.get();
    s->readEntry(e, old);
    const uint8_t* value = s->searchValue(q->buffer);
    struct Place {
        QueueOrder* order;
        uint32_t index;
        bool moves;
    };
    Place places[QueueStore::kMaxOrders];
    size_t placeCount = 0;
    for (auto& up : s->orders) {
        QueueOrder* o = up.get();
        if (o == cur) continue;
        const uint32_t index = s->findByIdentity(*o, e, old);
        if (index >= o->refs.size()) continue;  // cannot happen while the orders agree
        places[placeCount++] = {o, index, o->sorted() && o->key.compare(value, old) != 0};
    }

    Ref fresh = s->replaceEntry(e, q->buffer);
    if (!fresh) {
        postError(InsufficientMemoryErr);
        return;
    }
    ++s->changes;

    // Orders whose key tells the two versions apart lose the entry; the
    // others keep it where it is (under its new block, if it moved).
    for (size_t k = 0; k < placeCount; ++k) {
        Place& p = places[k];
        if (p.moves) {
            p.order->refs.erase(p.index, false);
            s->hashRemove(*p.order, e, old);
        } else if (fresh != e) {
            p.order->refs.set(p.index, fresh);
            s->hashReplace(*p.order, e, fresh, old);
        }
    }
    if (cur->sorted() && cur->key.compare(value, old) != 0) {
        cur->makeUnsorted();
    } else if (fresh != e) {
        s->hashReplace(*cur, e, fresh, old);
    }
    cur->refs.set(position - 1, fresh);

    for (size_t k = 0; k < placeCount; ++k) {
        Place& p = places[k];
        if (!p.moves) continue;
        const uint32_t index = s->insertionPoint(*p.order, value);
        p.order->refs.insert(index, fresh);  // cannot fail: the erase kept the capacity
        s->hashAdd(*p.order, fresh, value);
    }
    if (fresh != e) {
        for (auto& o : s->orders)
            if (o->cursor.entry == e) o->cursor.entry = fresh;
        s->freeEntry(e);
    }
    cur->cursor = {true, position - 1, fresh};
}

void DELETE(QueueDecl* q) {
    if (!begin(q)) return;
    QueueStore* s = storeOf(q);
    if (!s) return;
    const uint32_t position = s->pointer();
    if (position < 1 || position > s->count()) {
        postError(EntryNotFoundErr);
        return;
    }
    QueueOrder* cur = s->current;
    Ref e = cur->refs.at(position - 1);
    // The entry's image is needed only to find it in other orders or in a
    // hash index; a lone unsorted order removes it by position alone.
    const uint8_t* value = e;
    if (s->packed && (s->orders.size() > 1 || cur->kind == OrderKind::Hashed)) {
        s->readEntry(e, s->workView.get());
        value = s->workView.get();
    }
    for (auto& up : s->orders) {
        QueueOrder* o = up.get();
        if (o == cur) continue;
        const uint32_t index = s->findByIdentity(*o, e, value);
        if (index < o->refs.size()) {
            o->refs.erase(index);
            s->hashRemove(*o, e, value);
        }
        if (o->cursor.entry == e) o->cursor = {};
    }
    cur->refs.erase(position - 1);
    s->hashRemove(*cur, e, value);
    // The cursor keeps its number, which now names the following entry.
    const uint32_t index = position - 1;
    cur->cursor = {true, index, index < cur->refs.size() ? cur->refs.at(index) : nullptr};
    s->moveToFront(cur);
    s->freeEntry(e);
    ++s->changes;
}

void FREE(QueueDecl* q) {
    if (!q) return;
    clearError();
    if (!declarationOk(q) || !q->store) return;
    QueueStore* s = q->store;
    s->dropTicket();
    s->destroyEntries();
    // The current order stays as the one empty unsorted order.
    QueueOrder* keep = s->current;
    for (size_t i = 0; i < s->orders.size();) {
        if (s->orders[i].get() != keep) s->orders.erase(s->orders.begin() + static_cast<long>(i));
        else ++i;
    }
    keep->makeUnsorted();
    keep->refs.clear();
    keep->cursor = {};
    s->pending.clear();
    s->keyed = false;
    ++s->changes;
}

void SORT(QueueDecl* q, const Key& key) {
    if (!begin(q)) return;
    QueueStore* s = storeOf(q);
    if (!s) return;
    KeySpec spec;
    if (!parseKey(q, key, spec)) return;
    if (spec.empty()) return;
    bindKey(*s, spec);
    QueueOrder* before = s->current;
    if (!s->materialise(QueueStore::BindingFor::Sort)) {
        postError(InsufficientMemoryErr);
        return;
    }
    QueueOrder* target = s->orders.front().get();
    s->current = target;
    // An unsorted sequence cannot be rebuilt from a key: it is dropped.
    if (before != target && !before->sorted()) s->discard(before);
    ++s->changes;
}

uint32_t RECORDS(QueueDecl* q) {
    if (!begin(q)) return 0;
    return q->store ? q->store->count() : 0;
}

uint32_t POINTER(QueueDecl* q) {
    if (!begin(q)) return 0;
    return q->store ? q->store->pointer() : 0;
}

uint32_t POSITION(QueueDecl* q) {
    if (!begin(q)) return 0;
    QueueStore* s = storeOf(q);
    if (!s) return 0;
    const QueueOrder& cur = *s->current;
    const uint8_t* value = s->searchValue(q->buffer);
    const uint32_t point = s->insertionPoint(cur, value);
    if (point == 0) {
        postError(EntryNotFoundErr);
        return 1;
    }
    if (s->compareValue(cur, value, cur.refs.at(point - 1)) != 0) {
        postError(EntryNotFoundErr);
        return point + 1;
    }
    return s->firstMatch(cur, value) + 1;
}

uint32_t CHANGES(QueueDecl* q) {
    if (!begin(q)) return 0;
    QueueStore* s = storeOf(q);
    return s ? s->changes : 0;
}

void CLEAR(QueueDecl* q, int how) {
    if (!declarationOk(q)) return;
    clearRecordWithin(*q->layout, q->buffer, q->recordSize, how);
}

uint32_t fieldCount(const QueueDecl* q) {
    if (!begin(q)) return 0;
    return q->layout->fieldCount();
}

int readForDisplay(QueueDecl* q, int32_t position) {
    if (!begin(q)) return 1;
    QueueStore* s = storeOf(q);
    if (!s) return 1;
    if (position == 0) {
        std::memcpy(s->secondView.get(), q->buffer, s->recordSize);
        return 0;
    }
    if (position < 0 || static_cast<uint32_t>(position) > s->count()) return 1;
    s->readEntry(s->current->refs.at(static_cast<uint32_t>(position) - 1), s->secondView.get());
    return 0;
}

const uint8_t* secondView(const QueueDecl* q) {
    return q && q->store ? q->store->secondView.get() : nullptr;
}

void releaseQueue(QueueDecl* q) {
    if (!q || !q->store) return;
    unregisterQueue(q);
    delete q->store;
    q->store = nullptr;
    q->ticket = nullptr;
}

Queue::Queue(RecordLayout layout)
    : layout_(std::move(layout)), buffer_(layout_.size() ? layout_.size() : 1, 0) {
    decl_.buffer = buffer_.data();
    decl_.layout = &layout_;
    decl_.recordSize = layout_.size();
}

Queue::~Queue() { releaseQueue(&decl_); }

}  // namespace varnok
