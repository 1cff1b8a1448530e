// QueueOrder: one sequence of a queue's entries. Every order of a queue holds
// all its entries; they differ in the sequence they keep:
//  - Unsorted: the insertion sequence (looked up by a linear scan of whole
//    record images);
//  - Keyed: ascending under `key` (binary search);
//  - Hashed: ascending under `key`, with `hash` indexing it.
// Invariants: kind != Unsorted <=> !key.empty(); kind == Hashed <=> hash != null;
// a keyed or hashed order is sorted under its key.
#pragma once
#include <cstdint>
#include <memory>

#include "runtime/queue/key_hash_index.h"
#include "runtime/records/record_compare.h"
#include "runtime/queue/reference_array.h"

namespace varnok {

enum class OrderKind : uint8_t { Unsorted, Keyed, Hashed };

// The last entry reached through an order. After a DELETE the cursor keeps
// only its index (entry == nullptr when that index is past the end);
// index == kUnknownIndex when only the entry is known.
struct OrderCursor {
    static constexpr uint32_t kUnknownIndex = UINT32_MAX;
    bool set = false;
    uint32_t index = 0;
    uint8_t* entry = nullptr;
};

struct QueueOrder {
    ReferenceArray refs;
    OrderCursor cursor;
    OrderKind kind = OrderKind::Unsorted;
    KeySpec key;
    uint32_t uses = 0;  // searches and insertions made through `key`
    uint32_t noHashBelow = 0;  // after a dropped index: size needed to index again
    std::unique_ptr<KeyHashIndex> hash;

    bool sorted() const { return kind != OrderKind::Unsorted; }
    void makeUnsorted() {
        kind = OrderKind::Unsorted;
        key.clear();
        uses = 0;
        noHashBelow = 0;
        hash.reset();
    }
};

}  // namespace varnok
