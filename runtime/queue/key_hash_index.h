// KeyHashIndex: a hash index over the key of a sorted order, so that a
// frequently searched order finds an entry without a binary search.
//
// One slot per distinct key value: a representative entry with that key, the
// number of entries sharing it and the key's hash. A lookup whose key has one
// entry answers directly; with several the caller finds the first of them in
// the order itself. Open addressing with linear probing; removal shifts the
// following slots back, so no tombstones build up.
//
// Variants: Direct for a single 1-byte key (the value itself addresses the
// table), Value for a single key of 2 to 4 bytes (its value as a number,
// spread over the table by a multiplicative hash), General for anything else
// (a hash of all key fields, combined by rotating the running value right by
// one bit before each exclusive-or).
//
// Direct and Value slots hold the key's value itself, so a lookup decides
// from the slot alone and touches only the entry it finds. General slots
// hold a hash, and callers pass `eq(rep)`, which says whether a
// representative's key equals the key looked for; the index never reads
// records itself.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "runtime/locale/collation.h"
#include "runtime/records/record_compare.h"

namespace varnok {

class KeyHashIndex {
public:
    using Ref = uint8_t*;
    enum class Variant : uint8_t { Direct, Value, General };
    struct Slot {
        Ref rep = nullptr;   // nullptr: free slot
        uint32_t hash = 0;   // the key's value (Direct, Value) or the low bits of its hash
        uint32_t count = 0;  // entries with this key; >= 1 in a used slot
    };

    // Value tags' multiplier: 2^64 / phi (see home()).
    static constexpr uint64_t kSpread = 0x9E3779B97F4A7C15ull;
    // A slot's hash and count read as one 64-bit word.
    static_assert(offsetof(Slot, count) == offsetof(Slot, hash) + sizeof(uint32_t));
    static uint64_t tagAndCount(uint32_t hash, uint32_t count) {
        const uint32_t pair[2] = {hash, count};
        uint64_t word;
        std::memcpy(&word, pair, sizeof word);
        return word;
    }

    static Variant variantFor(const KeySpec& key);
    static uint64_t keyHash(Variant v, const KeySpec& key, const uint8_t* record);

    explicit KeyHashIndex(Variant v) : variant_(v), exact_(v != Variant::General) {}
    // An index for `key` that also knows where the key lies in a record, so
    // that valueTag can read an exact variant's tag without going through
    // the key's fields.
    explicit KeyHashIndex(const KeySpec& key);

    // Slots hold key values (Direct, Value): a matching tag is the key.
    bool exact() const { return exact_; }
    // True when valueTag may be used: an exact variant built from its key.
    bool readsTags() const { return keySize_ != 0; }
    // keyHash of a record for an exact variant (readsTags() must hold).
    uint32_t valueTag(const uint8_t* record) const {
        if (keyText_) {
            // Collated bytes, so texts that compare equal hash equal.
            const uint8_t* p = record + keyOffset_;
            const uint8_t* table = collationTable();
            uint32_t value = 0;
            for (uint32_t i = 0; i < keySize_; ++i) value = value << 8 | table[p[i]];
            return value;
        }
        return numericTag(record);
    }
    // The key's field number for a numeric exact key (valueTag is then
    // numericTag), else 0: a search whose key names that one field may use
    // numericTag straight away.
    int32_t numericField() const { return numericField_; }
    // valueTag of a numeric exact key, without any call.
    uint32_t numericTag(const uint8_t* record) const { return numericValue(record + keyOffset_, keySize_); }
    // The tag of a numeric key of 1 to 4 bytes: its bytes, first byte
    // lowest, composed in registers (one load on little-endian machines).
    static uint32_t numericValue(const uint8_t* p, uint32_t size) {
        if (size == 4)  // LONG and ULONG keys first
            return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        switch (size) {
        case 1: return p[0];
        case 2: return uint32_t(p[0]) | uint32_t(p[1]) << 8;
        case 3: return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
        default: return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        }
    }

    Variant variant() const { return variant_; }
    uint32_t distinctKeys() const { return used_; }
    uint32_t capacity() const { return mask_ + 1; }
    const Slot* slots() const { return slots_.get(); }

    template <class Eq>
    const Slot* find(uint64_t h, Eq eq) const {
        if (!slots_) return nullptr;
        const uint32_t tag = static_cast<uint32_t>(h);
        if (exact_) return findValue(tag);
        for (uint32_t i = home(tag);; i = (i + 1) & mask_) {
            const Slot& s = slots_[i];
            if (!s.rep) return nullptr;
            if (s.hash == tag && (exact_ || eq(s.rep))) return &s;
        }
    }

    // Counts one more entry under its key. False when memory runs out (the
    // index is then unchanged and should be dropped by the caller).
    template <class Eq>
    bool add(uint64_t h, Ref entry, Eq eq) {
        if (Slot* s = const_cast<Slot*>(find(h, eq))) {
            ++s->count;
            return true;
        }
        if (!slots_ || (used_ + 1) * 4 > capacity() * 3) {
            if (!grow()) return false;
        }
        place({entry, static_cast<uint32_t>(h), 1});
        ++used_;
        return true;
    }

    // Counts one entry less under its key. When `entry` was the key's
    // representative and others remain, `next()` names one of them.
    template <class Eq, class Next>
    void remove(uint64_t h, Ref entry, Eq eq, Next next) {
        Slot* s = const_cast<Slot*>(find(h, eq));
        if (!s) return;
        if (--s->count == 0) {
            erase(static_cast<uint32_t>(s - slots_.get()));
            --used_;
        } else if (s->rep == entry) {
            s->rep = next();
        }
    }

    // Replaces a representative (an entry whose block moved).
    template <class Eq>
    void replace(uint64_t h, Ref from, Ref to, Eq eq) {
        Slot* s = const_cast<Slot*>(find(h, eq));
        if (s && s->rep == from) s->rep = to;
    }

    // What a lookup in a table of key values reads, copied out of the
    // index: valid until the index next changes. A caller that knows the
    // index stays as it is may keep one and probe without going through
    // the index (see QueueGetTicket).
    struct ValueProbe {
        const Slot* slots = nullptr;
        uint64_t multiplier = 0;
        uint32_t shift = 63;
        uint32_t mask = 0;

        bool operator==(const ValueProbe&) const = default;

        // A tag match is the key itself, so the probe reads nothing but
        // slots. Kept to a few instructions: a search by key spends its
        // time waiting for the slot and the entry to arrive from memory, and
        // the shorter the code around those waits, the more searches the
        // processor keeps in flight at once.
        const Slot* find(uint32_t tag) const {
            for (uint32_t i = homeOf(tag, multiplier, shift);; i = (i + 1) & mask) {
                const Slot& s = slots[i];
                if (!s.rep) return nullptr;
                if (s.hash == tag) return &s;
            }
        }
        // For a Value table (multiplier kSpread): the slot of a key that
        // has exactly one entry, else nullptr (no entry or several). A used
        // slot's count is at least 1 and a free one's 0, so one compare of
        // the slot's tag and count together answers the usual case. The
        // multiplier is taken as the constant it is, one load less.
        const Slot* findSoleSpread(uint32_t tag) const {
            const uint64_t sole = tagAndCount(tag, 1);
            for (uint32_t i = homeOf(tag, kSpread, shift);; i = (i + 1) & mask) {
                const Slot& s = slots[i];
                uint64_t word;
                std::memcpy(&word, &s.hash, sizeof word);
                if (word == sole) return &s;
                if (!s.rep || s.hash == tag) return nullptr;
            }
        }
    };
    // For a table whose slots hold key values (exact(), and the table made:
    // distinctKeys() > 0).
    ValueProbe valueProbe() const { return {slots_.get(), multiplier_, shift_, mask_}; }
    const Slot* findValue(uint32_t tag) const { return valueProbe().find(tag); }
    // Where the exact key lies in a record (readsTags() must hold).
    uint32_t keyOffset() const { return keyOffset_; }
    uint32_t keySize() const { return keySize_; }

    void clear() {
        slots_.reset();
        mask_ = 0;
        shift_ = 63;
        multiplier_ = 0;
        used_ = 0;
    }

    // The slot where a key's probe starts. Value tags are spread by
    // Fibonacci hashing: the top bits of the product with 2^64 / phi, which
    // place consecutive values (the usual numeric key) evenly apart and
    // hardly ever on the same slot.
    // Other tags are used as they are: multiplied by 2^shift_, the top bits
    // of the product are the tag's own low bits.
    uint32_t home(uint32_t tag) const { return homeOf(tag, multiplier_, shift_); }
    static uint32_t homeOf(uint32_t tag, uint64_t multiplier, uint32_t shift) {
        return static_cast<uint32_t>((tag * multiplier) >> shift);
    }

private:
    static constexpr uint32_t kInitialCapacity = 256;
    bool grow();
    void place(const Slot& slot);
    void erase(uint32_t index);

    // Slot tables of 2 MiB and more sit on large pages: a search touches
    // one random slot, and on small pages most of them would first miss in
    // the address translation cache.
    struct FreeSlots {
        void operator()(Slot* slots) const { std::free(slots); }
    };
    static Slot* allocateSlots(uint32_t count);
    std::unique_ptr<Slot[], FreeSlots> slots_;
    uint32_t mask_ = 0;  // capacity - 1 once slots_ exists
    uint32_t shift_ = 63;  // 64 - log2(capacity): home() keeps the product's top bits
    uint64_t multiplier_ = 0;  // 2^64 / phi for Value tags, 2^shift_ for the others
    uint32_t used_ = 0;  // slots in use, <= 3/4 of the capacity
    Variant variant_;
    bool exact_;
    bool keyText_ = false;     // the exact key is a STRING (tags are collated)
    uint32_t keySize_ = 0;     // bytes of the exact key; 0 when not known
    int32_t numericField_ = 0;  // see numericField()
    uint32_t keyOffset_ = 0;   // where the exact key starts in a record
};

}  // namespace varnok
