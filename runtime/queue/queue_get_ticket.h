// QueueGetTicket: what a repeated GET by one numeric key needs to answer
// without the rest of the queue. A GET by key that found its entry leaves
// one when the next GET by the same field may go straight to the slot table
// of the most recently used order's index; every other queue operation
// drops it first (see queue.cpp). While it is held, that order is still
// hashed by the field's value with the index unchanged, 16 or more keys, no
// key pending, the queue unpacked, the last operation keyed and the order's
// cursor set on an entry with its index unknown. queueCheck verifies this.
#pragma once
#include <cstdint>
#include <cstring>

#include "runtime/queue/key_hash_index.h"

namespace varnok {

struct QueueOrder;

// Copies a stored record image. Records of 8 to 16 bytes (numeric keys with
// a value or two) are copied inline: a search by key ends here, and a call
// into the library's memcpy would double its length.
inline void copyRecordImage(uint8_t* out, const uint8_t* e, uint32_t size) {
    if (size >= 8 && size <= 16) {
        // Each load and store here waits for the entry to arrive and holds
        // its place in the processor's queues until then: one of each for
        // 8 bytes.
        uint64_t head;
        std::memcpy(&head, e, 8);
        std::memcpy(out, &head, 8);
        if (size > 8) {
            uint64_t tail;
            std::memcpy(&tail, e + size - 8, 8);
            std::memcpy(out + size - 8, &tail, 8);
        }
        return;
    }
    std::memcpy(out, e, size);
}

struct QueueGetTicket {
    // The key's field; kNoField, which Key::single() never is, when there
    // is no ticket, so one compare checks both.
    static constexpr int32_t kNoField = INT32_MIN;
    int32_t field = kNoField;
    // The key's 1 to 4 bytes are the low bytes of the 4 from keyOffset on
    // (a ticket is only left when those lie inside the record).
    uint32_t keyOffset = 0;
    uint32_t keyMask = 0;
    uint32_t recordSize = 0;
    KeyHashIndex::ValueProbe probe;
    const RecordLayout* layout = nullptr;  // the store's
    uint8_t** cursorEntry = nullptr;       // the order's cursor.entry
    // What the ticket stands for, for checking.
    const KeyHashIndex* index = nullptr;
    const QueueOrder* order = nullptr;

    bool held() const { return field != kNoField; }
    uint32_t tagOf(const uint8_t* record) const { return KeyHashIndex::numericValue(record + keyOffset, 4) & keyMask; }

    // The search itself, for a buffer holding the key: when exactly one
    // entry has it, copies the entry into the buffer, makes it the cursor
    // and returns true; else changes nothing and returns false.
    bool answer(uint8_t* buffer) const {
        const KeyHashIndex::Slot* slot = probe.findSoleSpread(tagOf(buffer));
        if (!slot) return false;
        uint8_t* e = slot->rep;
        *cursorEntry = e;
        copyRecordImage(buffer, e, recordSize);
        return true;
    }
};

}  // namespace varnok
