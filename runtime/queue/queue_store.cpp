#include "runtime/queue/queue_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/local_time.h"
#include "runtime/queue/allocation_fault.h"
#include "runtime/queue/order_sort.h"

namespace varnok {

namespace {

constexpr uint32_t kChangeSeedFactor = 25781083u;

uint32_t loadLength(const uint8_t* e) {
    uint32_t n;
    std::memcpy(&n, e, 4);
    return n;
}

std::unique_ptr<uint8_t[]> block(uint32_t size) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size ? size : 1]());
}

// True when every field lies inside the record.
bool layoutFits(const RecordLayout& layout, uint32_t recordSize) {
    for (const FieldDesc& f : layout.fields()) {
        const uint64_t end = uint64_t(f.offset) + uint64_t(f.size) * f.elements;
        if (end > recordSize) return false;
    }
    return true;
}

template <class T>
int compareAt(const uint8_t* a, const uint8_t* b, uint32_t offset) {
    T x, y;
    std::memcpy(&x, a + offset, sizeof x);
    std::memcpy(&y, b + offset, sizeof y);
    return (y < x) - (x < y);
}

// Sorts plain entries by one integer field, with the comparison inlined.
template <class T>
void sortByInteger(order_sort::Ref* a, size_t n, order_sort::Ref* temp, uint32_t offset, bool descending) {
    if (descending) {
        auto cmp = [offset](const uint8_t* x, const uint8_t* y) { return compareAt<T>(y, x, offset); };
        order_sort::sortReferences(a, n, cmp, temp);
    } else {
        auto cmp = [offset](const uint8_t* x, const uint8_t* y) { return compareAt<T>(x, y, offset); };
        order_sort::sortReferences(a, n, cmp, temp);
    }
}

}  // namespace

QueueStore::QueueStore(const RecordLayout& l, uint32_t size)
    : layout(l), recordSize(size), packed(size >= kPackedFromSize) {}

QueueStore::~QueueStore() { destroyEntries(); }

std::unique_ptr<QueueStore> QueueStore::create(const QueueDecl& decl, int* error) try {
    if (!layoutFits(*decl.layout, decl.recordSize)) {
        *error = 7;
        return nullptr;
    }
    *error = 8;
    if (allocation_fault::shouldFail()) return nullptr;
    std::unique_ptr<QueueStore> s(new (std::nothrow) QueueStore(*decl.layout, decl.recordSize));
    if (!s) return nullptr;
    const uint32_t n = decl.recordSize;
    s->secondView = block(n);
    s->workView = block(n);
    s->entryScratch_ = block(n);
    s->identityScratch_ = block(n);
    if (!s->secondView || !s->workView || !s->entryScratch_ || !s->identityScratch_) return nullptr;
    if (s->packed) {
        s->tidy_ = tidyFields(*decl.layout, n);
        s->keyView_ = block(n);
        s->packScratch_ = block(n - 14);
        s->tidyScratch_ = block(n);
        s->sortScratch_[0] = block(n);
        s->sortScratch_[1] = block(n);
        if (!s->keyView_ || !s->packScratch_ || !s->tidyScratch_ || !s->sortScratch_[0] || !s->sortScratch_[1])
            return nullptr;
    }
    std::unique_ptr<QueueOrder> first(new (std::nothrow) QueueOrder);
    if (!first) return nullptr;
    s->orders.reserve(kMaxOrders);  // adding an order later never reallocates
    s->current = first.get();
    s->orders.push_back(std::move(first));
    s->changes = static_cast<uint32_t>(platform::clockHundredths()) * kChangeSeedFactor;
    *error = 0;
    return s;
}
catch (const std::bad_alloc&) {
    // The store's tables could not be made; failures are reported as numbers.
    *error = 8;
    return nullptr;
}

// ---------------------------------------------------------------- entries

QueueStore::Encoded QueueStore::encode(const uint8_t* record, uint32_t uniformFrom, uint8_t* tidyScratch,
                                       uint8_t* packScratch) const {
    const uint8_t* src = record;
    if (!tidy_.empty()) {
        uniformFrom = recordSize;  // tidying may rewrite bytes of the tail
        std::memcpy(tidyScratch, record, recordSize);
        tidyRecord(tidy_, tidyScratch);
        src = tidyScratch;
    }
    const size_t room = recordSize - 14;
    const size_t length = packRecord(src, recordSize, packScratch, room, uniformFrom);
    if (length <= room && length + 16 <= recordSize)
        return {packScratch, static_cast<uint32_t>(length), static_cast<uint32_t>(length)};
    return {src, 0, recordSize};
}

bool QueueStore::makeBatchEntry(Batch& batch, const uint8_t* record, uint32_t uniformFrom) const {
    if (packed && !batch.packScratch) {
        batch.tidyScratch.reset(new (std::nothrow) uint8_t[recordSize]);
        batch.packScratch.reset(new (std::nothrow) uint8_t[recordSize - 14]);
        if (!batch.tidyScratch || !batch.packScratch) {
            batch.packScratch.reset();
            return false;
        }
    }
    Ref e;
    if (!packed) {
        e = batch.pool.allocate(recordSize);
        if (!e) return false;
        std::memcpy(e, record, recordSize);
    } else {
        const Encoded code = encode(record, uniformFrom, batch.tidyScratch.get(), batch.packScratch.get());
        e = batch.pool.allocate(4 + size_t(code.bytes));
        if (!e) return false;
        std::memcpy(e, &code.length, 4);
        std::memcpy(e + 4, code.data, code.bytes);
    }
    if (!batch.entries.append(e)) {
        batch.pool.release(e, blockBytes(e));
        return false;
    }
    return true;
}

uint32_t QueueStore::storedBytes(Ref e) const {
    const uint32_t length = loadLength(e);
    return length ? length : recordSize;
}

QueueStore::Ref QueueStore::makeEntry(const uint8_t* record) { return makeEntry(record, recordSize); }

QueueStore::Ref QueueStore::makeEntry(const uint8_t* record, uint32_t uniformFrom) {
    if (!packed) {
        Ref e = pool_.allocate(recordSize);
        if (e) std::memcpy(e, record, recordSize);
        return e;
    }
    const Encoded code = encode(record, uniformFrom);
    Ref e = pool_.allocate(4 + size_t(code.bytes));
    if (!e) return nullptr;
    std::memcpy(e, &code.length, 4);
    std::memcpy(e + 4, code.data, code.bytes);
    return e;
}

void QueueStore::freeEntry(Ref e) { pool_.release(e, blockBytes(e)); }

QueueStore::Ref QueueStore::replaceEntry(Ref e, const uint8_t* record) {
    if (!packed) {
        std::memcpy(e, record, recordSize);
        return e;
    }
    const Encoded code = encode(record, recordSize);
    Ref target = e;
    if (code.bytes != storedBytes(e)) {
        target = pool_.allocate(4 + size_t(code.bytes));
        if (!target) return nullptr;
    }
    std::memcpy(target, &code.length, 4);
    std::memcpy(target + 4, code.data, code.bytes);
    return target;
}

const uint8_t* QueueStore::image(Ref e, uint8_t* scratch, uint32_t limit) const {
    if (!packed) return e;
    const uint32_t length = loadLength(e);
    if (length == 0) return e + 4;
    if (!unpackRecord(e + 4, length, scratch, recordSize, limit)) std::memset(scratch, 0, limit);
    return scratch;
}

void QueueStore::readPackedEntry(Ref e, uint8_t* out) const {
    const uint32_t length = loadLength(e);
    if (length == 0) {
        std::memcpy(out, e + 4, recordSize);
    } else if (!unpackRecord(e + 4, length, out, recordSize, recordSize)) {
        std::memset(out, 0, recordSize);
    }
}

template <class Decode>
uint32_t QueueStore::readDecoded(Ref e, uint8_t* out, Decode decode) const {
    if (!packed || loadLength(e) == 0) {
        readEntry(e, out);
        return recordSize;
    }
    const size_t n = decode(e + 4, loadLength(e));
    if (n == SIZE_MAX) {
        std::memset(out, 0, recordSize);
        return recordSize;
    }
    return static_cast<uint32_t>(n);
}

uint32_t QueueStore::readEntryOver(Ref e, uint8_t* out, uint32_t clean) const {
    return readDecoded(e, out, [&](const uint8_t* code, uint32_t length) {
        return unpackRecordOver(code, length, out, recordSize, clean);
    });
}

uint32_t QueueStore::readEntryText(Ref e, uint8_t* out, uint8_t pad) const {
    return readDecoded(e, out, [&](const uint8_t* code, uint32_t length) {
        return unpackText(code, length, out, recordSize, pad);
    });
}

bool QueueStore::entryIsSound(Ref e) const {
    if (!packed) return true;
    const uint32_t length = loadLength(e);
    if (length == 0) return true;
    if (length + 16 > recordSize) return false;
    return unpackRecord(e + 4, length, entryScratch_.get(), recordSize, recordSize);
}

void QueueStore::destroyEntries() {
    if (!current) return;
    // Pooled blocks go with their slabs; only larger ones are freed one by one.
    const size_t largest = packed ? 4 + size_t(recordSize) : recordSize;
    if (largest > EntryPool::kMaxPooled) {
        const uint32_t n = current->refs.size();
        for (uint32_t i = 0; i < n; ++i) freeEntry(current->refs.at(i));
    }
    pool_.clear();
    for (auto& o : orders) {
        o->refs.clear();
        o->cursor = {};
        if (o->hash) o->hash->clear();
    }
}

// ---------------------------------------------------- comparing and searching

const uint8_t* QueueStore::searchValue(const uint8_t* record) {
    if (!packed || tidy_.empty()) return record;
    std::memcpy(keyView_.get(), record, recordSize);
    tidyRecord(tidy_, keyView_.get());
    return keyView_.get();
}

int QueueStore::compareValue(const QueueOrder& o, const uint8_t* value, Ref e) const {
    if (o.sorted()) return o.key.compare(value, image(e, entryScratch_.get(), o.key.limit()));
    const int r = std::memcmp(value, image(e, entryScratch_.get(), recordSize), recordSize);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

uint32_t QueueStore::firstMatch(const QueueOrder& o, const uint8_t* value) const {
    const uint32_t n = o.refs.size();
    if (!o.sorted()) {
        for (uint32_t i = 0; i < n; ++i)
            if (compareValue(o, value, o.refs.at(i)) == 0) return i;
        return n;
    }
    return static_cast<uint32_t>(order_sort::firstMatch(
        n, [&](size_t i) { return o.refs.at(static_cast<uint32_t>(i)); },
        [&](Ref e) { return compareValue(o, value, e); }));
}

uint32_t QueueStore::insertionPoint(const QueueOrder& o, const uint8_t* value) const {
    if (!o.sorted()) return o.refs.size();
    return insertionPointUnder(o.key, o.refs, value);
}

uint32_t QueueStore::insertionPointUnder(const KeySpec& key, const ReferenceArray& refs,
                                         const uint8_t* value) const {
    return static_cast<uint32_t>(order_sort::insertionPoint(
        refs.size(), [&](size_t i) { return refs.at(static_cast<uint32_t>(i)); },
        [&](Ref e) { return key.compare(value, image(e, entryScratch_.get(), key.limit())); }));
}

uint32_t QueueStore::findByIdentity(const QueueOrder& o, Ref e, const uint8_t* value) const {
    const uint32_t n = o.refs.size();
    if (!o.sorted()) return o.refs.indexOf(e);
    // The first entry not below the value, then along the equal ones.
    uint32_t lo = 0, hi = n;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (compareValue(o, value, o.refs.at(mid)) > 0) lo = mid + 1; else hi = mid;
    }
    for (uint32_t i = lo; i < n; ++i) {
        Ref r = o.refs.at(i);
        if (r == e) return i;
        if (compareValue(o, value, r) != 0) break;
    }
    return o.refs.indexOf(e);  // only reached when the order is out of sequence
}

bool QueueStore::sortOrder(QueueOrder& o) {
    const uint32_t n = o.refs.size();
    if (n > 1) {
        std::unique_ptr<Ref[]> temp(allocation_fault::shouldFail() ? nullptr : new (std::nothrow) Ref[n]);
        if (!temp) return false;
        Ref* a = o.refs.contiguous();
        const auto parts = o.key.components();
        const FieldDesc& f = *parts[0].field;
        const bool single = parts.size() == 1 && f.elements == 1 && !packed;
        const bool desc = parts[0].descending;
        if (single && f.type == FieldType::Byte) {
            sortByInteger<uint8_t>(a, n, temp.get(), f.offset, desc);
        } else if (single && f.type == FieldType::Short) {
            sortByInteger<int16_t>(a, n, temp.get(), f.offset, desc);
        } else if (single && f.type == FieldType::UShort) {
            sortByInteger<uint16_t>(a, n, temp.get(), f.offset, desc);
        } else if (single && (f.type == FieldType::Long || f.type == FieldType::Date || f.type == FieldType::Time)) {
            sortByInteger<int32_t>(a, n, temp.get(), f.offset, desc);
        } else if (single && f.type == FieldType::ULong) {
            sortByInteger<uint32_t>(a, n, temp.get(), f.offset, desc);
        } else if (!packed) {
            const KeySpec& key = o.key;
            auto cmp = [&key](const uint8_t* x, const uint8_t* y) { return key.compare(x, y); };
            order_sort::sortReferences(a, n, cmp, temp.get());
        } else {
            const KeySpec& key = o.key;
            const uint32_t limit = key.limit();
            auto cmp = [&](Ref x, Ref y) {
                return key.compare(image(x, sortScratch_[0].get(), limit), image(y, sortScratch_[1].get(), limit));
            };
            order_sort::sortReferences(a, n, cmp, temp.get());
        }
    }
    if (o.kind == OrderKind::Hashed && !buildHash(o)) dropHash(o);
    return true;
}

bool QueueStore::lookup(QueueOrder& o, const uint8_t* value, uint32_t* index, Ref* entry) {
    if (o.kind == OrderKind::Hashed && o.hash->distinctKeys() < 16) {
        // Few distinct keys left: the binary search does as well.
        dropHash(o);
    }
    if (o.kind == OrderKind::Hashed) {
        const uint64_t h = KeyHashIndex::keyHash(o.hash->variant(), o.key, value);
        const KeyHashIndex::Slot* slot =
            o.hash->find(h, [&](Ref rep) { return compareValue(o, value, rep) == 0; });
        if (!slot) return false;
        if (slot->count == 1) {
            *entry = slot->rep;
            *index = kNone;
            return true;
        }
    }
    const uint32_t i = firstMatch(o, value);
    if (i >= o.refs.size()) return false;
    *index = i;
    *entry = o.refs.at(i);
    return true;
}

// ------------------------------------------------------------ hash indexes

void QueueStore::considerHash(QueueOrder& o) {
    if (o.kind != OrderKind::Keyed || o.uses <= 64 || o.refs.size() <= 32) return;
    if (o.refs.size() < o.noHashBelow) return;
    const bool smallSingle = o.key.componentCount() == 1 && o.key.size() <= 4;
    if (!smallSingle && o.key.size() <= 16) return;
    o.hash.reset(new (std::nothrow) KeyHashIndex(o.key));
    if (!o.hash) return;
    o.kind = OrderKind::Hashed;
    if (!buildHash(o)) dropHash(o);
}

bool QueueStore::buildHash(QueueOrder& o) {
    o.hash->clear();
    const uint32_t n = o.refs.size();
    for (uint32_t i = 0; i < n; ++i) {
        Ref e = o.refs.at(i);
        const uint8_t* value = image(e, identityScratch_.get(), o.key.limit());
        const uint64_t h = KeyHashIndex::keyHash(o.hash->variant(), o.key, value);
        if (!o.hash->add(h, e, [&](Ref rep) { return compareValue(o, value, rep) == 0; })) return false;
    }
    return true;
}

void QueueStore::dropHash(QueueOrder& o) {
    if (o.kind != OrderKind::Hashed) return;
    o.hash.reset();
    o.kind = OrderKind::Keyed;
    o.uses = 0;
    // Not worth indexing again until the order has doubled.
    o.noHashBelow = o.refs.size() * 2 > o.refs.size() ? o.refs.size() * 2 : UINT32_MAX;
}

void QueueStore::hashAdd(QueueOrder& o, Ref e, const uint8_t* value) {
    if (o.kind != OrderKind::Hashed) return;
    const uint64_t h = KeyHashIndex::keyHash(o.hash->variant(), o.key, value);
    if (!o.hash->add(h, e, [&](Ref rep) { return compareValue(o, value, rep) == 0; })) dropHash(o);
}

void QueueStore::hashRemove(QueueOrder& o, Ref e, const uint8_t* value) {
    if (o.kind != OrderKind::Hashed) return;
    const uint64_t h = KeyHashIndex::keyHash(o.hash->variant(), o.key, value);
    bool lost = false;
    o.hash->remove(
        h, e, [&](Ref rep) { return rep == e || compareValue(o, value, rep) == 0; },
        [&]() -> Ref {
            const uint32_t i = firstMatch(o, value);
            if (i < o.refs.size()) return o.refs.at(i);
            lost = true;
            return e;
        });
    if (lost) dropHash(o);
}

void QueueStore::hashReplace(QueueOrder& o, Ref from, Ref to, const uint8_t* value) {
    if (o.kind != OrderKind::Hashed) return;
    const uint64_t h = KeyHashIndex::keyHash(o.hash->variant(), o.key, value);
    o.hash->replace(h, from, to, [&](Ref rep) { return rep == from || compareValue(o, value, rep) == 0; });
}

// ------------------------------------------------------------------ orders

void QueueStore::moveToFront(QueueOrder* o) {
    if (orders.front().get() == o) return;
    auto it = std::find_if(orders.begin(), orders.end(), [o](const auto& p) { return p.get() == o; });
    if (it != orders.end()) std::rotate(orders.begin(), it, it + 1);
}

void QueueStore::discard(QueueOrder* o) {
    if (o == current || orders.size() < 2) return;
    auto it = std::find_if(orders.begin(), orders.end(), [o](const auto& p) { return p.get() == o; });
    if (it != orders.end()) orders.erase(it);
}

bool QueueStore::materialise(BindingFor op) {
    if (pending.empty()) return true;
    QueueOrder* target = nullptr;
    std::unique_ptr<QueueOrder> fresh;
    if ((op == BindingFor::Sort && !current->sorted()) || (op == BindingFor::Add && current->refs.empty())) {
        target = current;
    } else if (orders.size() < kMaxOrders) {
        if (!allocation_fault::shouldFail()) fresh.reset(new (std::nothrow) QueueOrder);
        if (!fresh || !fresh->refs.assign(current->refs)) return false;
        target = fresh.get();
    } else {
        // The least recently used order that is not the current one.
        target = orders.back().get() != current ? orders.back().get() : orders[orders.size() - 2].get();
    }
    QueueOrder previous;  // the target's comparator, restored when the sort cannot run
    previous.kind = target->kind;
    previous.key = target->key;
    previous.uses = target->uses;
    target->hash.reset();
    target->kind = OrderKind::Keyed;
    target->key = pending;
    target->uses = 0;
    target->noHashBelow = 0;
    if (!sortOrder(*target)) {
        target->kind = previous.kind == OrderKind::Hashed ? OrderKind::Keyed : previous.kind;
        target->key = previous.key;
        target->uses = previous.uses;
        return false;
    }
    target->cursor = {};
    if (fresh) orders.push_back(std::move(fresh));
    moveToFront(target);
    pending.clear();
    return true;
}

uint32_t QueueStore::cursorIndex(QueueOrder& o) {
    if (!o.cursor.set) return kNone;
    if (!o.cursor.entry) return o.cursor.index;
    const uint32_t n = o.refs.size();
    if (o.cursor.index < n && o.refs.at(o.cursor.index) == o.cursor.entry) return o.cursor.index;
    const uint8_t* value = image(o.cursor.entry, identityScratch_.get(), recordSize);
    const uint32_t i = findByIdentity(o, o.cursor.entry, value);
    if (i >= n) {
        o.cursor = {};
        return kNone;
    }
    o.cursor.index = i;
    return i;
}

uint32_t QueueStore::pointer() {
    QueueOrder* mru = orders.front().get();
    if (mru == current) {
        const uint32_t i = cursorIndex(*current);
        return i == kNone ? 0 : i + 1;
    }
    if (!mru->cursor.set || !mru->cursor.entry) return 0;
    Ref e = mru->cursor.entry;
    const uint8_t* value = image(e, identityScratch_.get(), recordSize);
    const uint32_t i = findByIdentity(*current, e, value);
    return i < current->refs.size() ? i + 1 : 0;
}

}  // namespace varnok
