// QueueStore: everything a queue keeps once it is first used: the entries,
// up to 16 orders over them (most recently used first), the views, the
// pending key and the change counter.
//
// Entries are owned by the store as a whole (every order holds every entry);
// an entry is one block of the store's EntryPool. Plain mode (records below 128 bytes): the block
// is the record image and comparisons read it in place. Packed mode: the
// block is a 32-bit length of the coded data followed by the data, or a
// length of 0 followed by the raw image when coding did not save 16 bytes.
//
// Invariants (verified by queueCheck): 1 <= orders.size() <= 16; `current`
// is one of them; every order holds the same entries; orders other than the
// current one are keyed or hashed; keyed and hashed orders are sorted.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "runtime/queue/entry_pool.h"
#include "runtime/queue/key_hash_index.h"
#include "runtime/queue/queue_get_ticket.h"
#include "runtime/queue/queue.h"
#include "runtime/queue/queue_order.h"
#include "runtime/records/record_pack.h"

namespace varnok {

class QueueStore {
public:
    using Ref = uint8_t*;
    static constexpr size_t kMaxOrders = 16;
    static constexpr uint32_t kPackedFromSize = 128;
    static constexpr uint32_t kNone = UINT32_MAX;
    enum class BindingFor { Add, Get, Put, Sort };

    // Creates the store for a declaration; nullptr with *error set to 7 (the
    // layout does not fit the record) or 8 (no memory).
    static std::unique_ptr<QueueStore> create(const QueueDecl& decl, int* error);
    ~QueueStore();

    const RecordLayout& layout;
    const uint32_t recordSize;
    const bool packed;
    uint32_t changes = 0;
    std::vector<std::unique_ptr<QueueOrder>> orders;  // most recently used first
    QueueOrder* current = nullptr;
    KeySpec pending;          // empty when no key is pending
    // See QueueGetTicket; declarations reach it through QueueDecl::ticket.
    QueueGetTicket tagTicket;
    void dropTicket() { tagTicket.field = QueueGetTicket::kNoField; }
    bool keyed = false;       // the last operation named a key
    std::unique_ptr<uint8_t[]> secondView;
    std::unique_ptr<uint8_t[]> workView;  // the image of an entry being removed

    uint32_t count() const { return current->refs.size(); }

    // --- entries ---
    Ref makeEntry(const uint8_t* record);  // nullptr when memory runs out
    // The same entry, for a record whose bytes from `uniformFrom` on all
    // equal its last byte: packing then skips reading them.
    Ref makeEntry(const uint8_t* record, uint32_t uniformFrom);
    void freeEntry(Ref e);
    // The whole record image.
    void readEntry(Ref e, uint8_t* out) const {
        if (packed) return readPackedEntry(e, out);
        copyRecordImage(out, e, recordSize);
    }
    // The whole record image into a buffer whose bytes from `clean` on all
    // equal its last byte; returns where the record's own last run begins
    // (see unpackRecordOver). Writes only what differs at the end.
    uint32_t readEntryOver(Ref e, uint8_t* out, uint32_t clean) const;
    // The record image as text (see unpackText): its bytes up to a last run
    // of `pad`, which is left out; returns how many were written.
    uint32_t readEntryText(Ref e, uint8_t* out, uint8_t pad) const;
    // Stores a new record into an entry: keeps the block when the stored
    // size is unchanged, else allocates a fresh one (the caller frees the old
    // block once no order refers to it). nullptr when memory runs out.
    Ref replaceEntry(Ref e, const uint8_t* record);
    // The record image of an entry, decoded into scratch as far as `limit`
    // bytes when packed.
    const uint8_t* image(Ref e, uint8_t* scratch, uint32_t limit) const;
    bool entryIsSound(Ref e) const;  // packed coding decodes (checks)
    void destroyEntries();

    // --- entries made ahead, on any thread (see QueueBatch) ---
    // Entries coded exactly as makeEntry codes them, into a pool of the
    // batch's own. Making them reads only what never changes after the
    // store is created (layout, record size, tidy fields), so a batch may
    // fill on another thread while this store is in use.
    struct Batch {
        EntryPool pool;
        ReferenceArray entries;  // grows without copying, as an order does
        std::unique_ptr<uint8_t[]> tidyScratch;
        std::unique_ptr<uint8_t[]> packScratch;
    };
    // False when memory runs out (the batch is then unchanged).
    bool makeBatchEntry(Batch& batch, const uint8_t* record, uint32_t uniformFrom) const;
    // Frees the entries of a batch that will not be added.
    void dropBatch(Batch& batch) const {
        for (uint32_t i = 0; i < batch.entries.size(); ++i) batch.pool.release(batch.entries.at(i), blockBytes(batch.entries.at(i)));
        batch.entries.clear();
        batch.pool.clear();
    }
    // Takes over the batch's memory, after which its entries are the
    // store's to place in orders or free. False, with nothing changed,
    // when memory runs out.
    bool adoptBatch(Batch& batch) { return pool_.adopt(batch.pool); }

    // --- comparing and searching ---
    // The value a search compares: the buffer itself, or in packed mode a
    // tidied copy, so that it compares as a stored entry would.
    const uint8_t* searchValue(const uint8_t* record);
    int compareValue(const QueueOrder& o, const uint8_t* value, Ref e) const;
    uint32_t firstMatch(const QueueOrder& o, const uint8_t* value) const;
    uint32_t insertionPoint(const QueueOrder& o, const uint8_t* value) const;
    uint32_t insertionPointUnder(const KeySpec& key, const ReferenceArray& refs, const uint8_t* value) const;
    // Index of an entry found by identity (value is its image); size when absent.
    uint32_t findByIdentity(const QueueOrder& o, Ref e, const uint8_t* value) const;
    // Sorts an order under its key; false when the merge space cannot be had.
    bool sortOrder(QueueOrder& o);
    // GET by key: the first entry equal to value; *index may be kNone when
    // only the entry is known (a hash hit).
    bool lookup(QueueOrder& o, const uint8_t* value, uint32_t* index, Ref* entry);

    // --- hash indexes ---
    void considerHash(QueueOrder& o);
    void hashAdd(QueueOrder& o, Ref e, const uint8_t* value);
    void hashRemove(QueueOrder& o, Ref e, const uint8_t* value);  // e already left o.refs
    void hashReplace(QueueOrder& o, Ref from, Ref to, const uint8_t* value);

    // --- orders ---
    void moveToFront(QueueOrder* o);
    void discard(QueueOrder* o);
    // Binds the pending key to an order (see queue.cpp); false when memory
    // runs out (error 8), with nothing changed.
    bool materialise(BindingFor op);
    // The index of an order's cursor, kNone when it has none.
    uint32_t cursorIndex(QueueOrder& o);
    uint32_t pointer();  // POINTER: 1-based, 0 when none

private:
    QueueStore(const RecordLayout& layout, uint32_t recordSize);
    bool buildHash(QueueOrder& o);
    void dropHash(QueueOrder& o);
    // Coded form of a record in packed mode: `data` and `bytes` to store,
    // `length` 0 for a raw image.
    struct Encoded {
        const uint8_t* data;
        uint32_t length;
        uint32_t bytes;
    };
    // Codes with the given scratch space (tidied record: recordSize bytes,
    // coded record: recordSize - 14); reads nothing but the layout.
    Encoded encode(const uint8_t* record, uint32_t uniformFrom, uint8_t* tidyScratch, uint8_t* packScratch) const;
    Encoded encode(const uint8_t* record, uint32_t uniformFrom) {
        return encode(record, uniformFrom, tidyScratch_.get(), packScratch_.get());
    }
    uint32_t storedBytes(Ref e) const;
    void readPackedEntry(Ref e, uint8_t* out) const;
    // A packed entry decoded by `decode(code, length)` (a count, SIZE_MAX for
    // a damaged coding, which reads as zeroes); a raw image is copied whole
    // and counts as the record size.
    template <class Decode>
    uint32_t readDecoded(Ref e, uint8_t* out, Decode decode) const;
    size_t blockBytes(Ref e) const { return packed ? 4 + size_t(storedBytes(e)) : recordSize; }

    EntryPool pool_;

    std::vector<TidyField> tidy_;
    std::unique_ptr<uint8_t[]> keyView_;        // tidied search value (packed)
    std::unique_ptr<uint8_t[]> packScratch_;    // coded record, recordSize - 14 bytes
    std::unique_ptr<uint8_t[]> tidyScratch_;    // tidied record before coding
    mutable std::unique_ptr<uint8_t[]> entryScratch_;     // an entry compared with a value
    mutable std::unique_ptr<uint8_t[]> sortScratch_[2];   // two entries compared in a sort
    mutable std::unique_ptr<uint8_t[]> identityScratch_;  // an entry being located
};

}  // namespace varnok
