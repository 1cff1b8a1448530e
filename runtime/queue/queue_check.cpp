#include "runtime/queue/queue_check.h"

#include <algorithm>
#include <vector>

#include "runtime/queue/queue_store.h"

namespace varnok {

namespace {

bool fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

bool checkHash(const QueueStore& s, const QueueOrder& o, std::string* why) {
    const KeyHashIndex& index = *o.hash;
    std::vector<uint8_t> a(s.recordSize ? s.recordSize : 1), b(s.recordSize ? s.recordSize : 1);
    uint64_t counted = 0;
    uint32_t used = 0;
    for (uint32_t i = 0; i < index.capacity(); ++i) {
        const KeyHashIndex::Slot& slot = index.slots()[i];
        if (!slot.rep) continue;
        ++used;
        counted += slot.count;
        if (o.refs.indexOf(slot.rep) >= o.refs.size()) return fail(why, "hash representative not in its order");
        const uint8_t* rep = s.image(slot.rep, a.data(), s.recordSize);
        const uint64_t h = KeyHashIndex::keyHash(index.variant(), o.key, rep);
        if (static_cast<uint32_t>(h) != slot.hash) return fail(why, "hash slot holds a wrong hash");
        // The entries sharing the key are exactly `count`.
        uint32_t equal = 0;
        for (uint32_t k = 0; k < o.refs.size(); ++k)
            if (o.key.compare(rep, s.image(o.refs.at(k), b.data(), s.recordSize)) == 0) ++equal;
        if (equal != slot.count) return fail(why, "hash slot count disagrees with the order");
    }
    if (used != index.distinctKeys()) return fail(why, "hash index miscounts its keys");
    if (counted != o.refs.size()) return fail(why, "hash index does not cover every entry");
    return true;
}

}  // namespace

bool queueCheck(const QueueDecl* q, std::string* why) {
    if (!q || !q->store) return true;
    const QueueStore& s = *q->store;
    if (s.orders.empty() || s.orders.size() > QueueStore::kMaxOrders) return fail(why, "bad number of orders");
    bool currentFound = false;
    for (const auto& o : s.orders) currentFound = currentFound || o.get() == s.current;
    if (!currentFound) return fail(why, "current order not in the list");
    if (q->ticket != &s.tagTicket) return fail(why, "the declaration does not point to its store's GET ticket");
    if (s.tagTicket.held()) {
        const QueueGetTicket& t = s.tagTicket;
        const QueueOrder* front = s.orders.front().get();
        const KeyHashIndex* index = front->hash.get();
        if (t.order != front || !index || index != t.index || index->variant() != KeyHashIndex::Variant::Value ||
            t.field == 0 || index->numericField() != t.field ||
            index->distinctKeys() < 16 || !s.pending.empty() || s.packed || !s.keyed || !front->cursor.set ||
            !front->cursor.entry || front->cursor.index != OrderCursor::kUnknownIndex)
            return fail(why, "a GET ticket outlived its conditions");
        if (t.probe != index->valueProbe() || t.keyOffset != index->keyOffset() || t.keyOffset + 4 > s.recordSize ||
            t.recordSize != s.recordSize || t.layout != &s.layout || t.cursorEntry != &front->cursor.entry)
            return fail(why, "a GET ticket no longer matches its index");
        // The masked word must read the key's value as the index does.
        std::vector<uint8_t> probe(s.recordSize, 0xA5);
        if (t.tagOf(probe.data()) != index->numericTag(probe.data()))
            return fail(why, "a GET ticket reads the key wrongly");
    }

    std::vector<uint8_t*> reference;
    for (uint32_t i = 0; i < s.current->refs.size(); ++i) reference.push_back(s.current->refs.at(i));
    std::sort(reference.begin(), reference.end());
    if (std::adjacent_find(reference.begin(), reference.end()) != reference.end())
        return fail(why, "an entry appears twice");
    for (uint8_t* e : reference)
        if (!s.entryIsSound(e)) return fail(why, "a packed entry does not decode");

    std::vector<uint8_t> a(s.recordSize ? s.recordSize : 1), b(s.recordSize ? s.recordSize : 1);
    for (const auto& up : s.orders) {
        const QueueOrder& o = *up;
        if (!o.refs.check()) return fail(why, "reference array bounds broken");
        if (&o != s.current && !o.sorted()) return fail(why, "an order other than the current one is unsorted");
        if (o.sorted() == o.key.empty()) return fail(why, "order kind and key disagree");
        if ((o.kind == OrderKind::Hashed) != (o.hash != nullptr)) return fail(why, "hash index and kind disagree");
        std::vector<uint8_t*> mine;
        for (uint32_t i = 0; i < o.refs.size(); ++i) mine.push_back(o.refs.at(i));
        std::sort(mine.begin(), mine.end());
        if (mine != reference) return fail(why, "orders hold different entries");
        if (o.sorted()) {
            for (uint32_t i = 1; i < o.refs.size(); ++i) {
                const uint8_t* x = s.image(o.refs.at(i - 1), a.data(), s.recordSize);
                const uint8_t* y = s.image(o.refs.at(i), b.data(), s.recordSize);
                if (o.key.compare(x, y) > 0) return fail(why, "a keyed order is out of sequence");
            }
        }
        if (o.hash && !checkHash(s, o, why)) return false;
        if (o.cursor.set) {
            if (o.cursor.entry) {
                if (o.refs.indexOf(o.cursor.entry) >= o.refs.size()) return fail(why, "cursor names a missing entry");
            } else if (o.cursor.index > o.refs.size()) {
                return fail(why, "cursor index past the end");
            }
        }
    }
    return true;
}

}  // namespace varnok
