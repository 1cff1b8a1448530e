// ReferenceArray: the growable array of entry references behind every queue
// order. Capacity steps through a fixed table of 36 classes: it grows one
// class when an insertion finds the array full and shrinks one class when a
// removal starts with the count at or below the class's shrink threshold.
// No array holds more than 100,663,264 references; an insertion beyond that
// (or one whose memory cannot be had) fails and changes nothing.
//
// The storage is a gap buffer: the elements sit in [0, gapStart) and
// [gapEnd, capacity). Insertions and removals move the gap to their index
// first, so a series of edits near one place costs only the distance the gap
// travels, not the length of the array.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace varnok {

class ReferenceArray {
public:
    using Ref = uint8_t*;
    static constexpr int kClassCount = 36;
    static constexpr uint32_t kMaxReferences = 100663264u;

    // The capacity and the shrink threshold of a class (0..35).
    static uint32_t classCapacity(int cls);
    static uint32_t classShrinkAt(int cls);

    // maxClass below 35 lowers the limit (tests of the full-array failure).
    explicit ReferenceArray(int maxClass = kClassCount - 1) : maxClass_(maxClass) {}
    ReferenceArray(const ReferenceArray&) = delete;
    ReferenceArray& operator=(const ReferenceArray&) = delete;

    uint32_t size() const { return capacity_ - (gapEnd_ - gapStart_); }
    bool empty() const { return size() == 0; }
    int capacityClass() const { return class_; }
    uint32_t capacity() const { return capacity_; }

    Ref at(uint32_t i) const { return *slotOf(i); }
    // Where element i is kept (i < size()).
    const Ref* slotOf(uint32_t i) const { return &slots_[i < gapStart_ ? i : i + (gapEnd_ - gapStart_)]; }
    void set(uint32_t i, Ref r) { slots_[i < gapStart_ ? i : i + (gapEnd_ - gapStart_)] = r; }

    // Inserts r before index i (i == size() appends). False when the array
    // is at its limit or memory runs out; the array is then unchanged.
    bool insert(uint32_t i, Ref r);
    bool append(Ref r) { return insert(size(), r); }
    // Appends n references at once, growing as many classes as needed. False
    // when the array would pass its limit or memory runs out; the array is
    // then unchanged (though perhaps of a larger class).
    bool appendAll(const Ref* refs, uint32_t n);
    // Appends all of other's references and leaves other empty; an empty
    // array simply takes over other's storage. False as appendAll.
    bool appendAllOf(ReferenceArray& other);
    // Removes the element at i. With allowShrink false the capacity stays,
    // so a following insert() cannot fail (used to move an element).
    void erase(uint32_t i, bool allowShrink = true);
    // Moves the element at from so that it ends up at index to (both in the
    // sequence without and with the element); never fails.
    void move(uint32_t from, uint32_t to);

    // Closes the gap (moves it to the end) and returns the elements as one
    // contiguous run of size() references.
    Ref* contiguous();
    // Makes this array a copy of other's sequence. False on lack of memory
    // (this array is then unchanged).
    bool assign(const ReferenceArray& other);
    // Removes every element and returns to class 0.
    void clear();

    // Linear search by identity; size() when absent.
    uint32_t indexOf(Ref r) const;

    // Invariants: class, capacity and gap bounds agree; used by tests.
    bool check() const;

private:
    void moveGap(uint32_t to);
    bool reallocate(int cls);

    struct FreeSlots {
        void operator()(Ref* slots) const { std::free(slots); }
    };
    using Slots = std::unique_ptr<Ref[], FreeSlots>;
    static Slots allocateSlots(uint32_t count) { return Slots(static_cast<Ref*>(std::malloc(count * sizeof(Ref)))); }

    Slots slots_;  // from malloc, so that growth can be a realloc
    uint32_t capacity_ = 0;   // == classCapacity(class_)
    uint32_t gapStart_ = 0;   // index of the first free slot
    uint32_t gapEnd_ = 0;     // one past the last free slot; gapEnd_ - gapStart_ == capacity_ - size()
    int class_ = 0;
    int maxClass_;
};

}  // namespace varnok
