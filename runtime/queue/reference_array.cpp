#include "runtime/queue/reference_array.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "runtime/queue/allocation_fault.h"

namespace varnok {

namespace {
// Capacity and shrink threshold per class. From class 13 on every capacity is
// 32 below a round number, leaving room for the allocator's own header.
constexpr uint32_t kCapacity[ReferenceArray::kClassCount] = {
    0,        2,        4,        8,        16,       32,       64,       128,      256,
    1024,     2048,     4096,     8192,     16352,    32736,    65504,    131040,   262112,
    524256,   1048544,  2097120,  4194272,  8388576,  9437152,  10485728, 11534304, 12582880,
    13631456, 14680032, 15728608, 16777184, 33554400, 50331616, 67108832, 83886048, 100663264,
};
constexpr uint32_t kShrinkAt[ReferenceArray::kClassCount] = {
    0,        0,        0,        0,        0,        0,        0,        48,       96,
    192,      640,      1536,     3072,     6144,     15872,    31744,    63488,    129024,
    260096,   522240,   1046528,  2093056,  4190208,  8384512,  9433088,  10481664, 11530240,
    12578816, 13627392, 14675968, 15724544, 16773120, 33550336, 50327552, 67104768, 83881984,
};
}  // namespace

uint32_t ReferenceArray::classCapacity(int cls) { return kCapacity[cls]; }
uint32_t ReferenceArray::classShrinkAt(int cls) { return kShrinkAt[cls]; }

void ReferenceArray::moveGap(uint32_t to) {
    const uint32_t gap = gapEnd_ - gapStart_;
    if (gap == 0) {
        // A full array: there is nothing to move, only the indexes change.
    } else if (to < gapStart_) {
        // Elements [to, gapStart) slide up behind the gap.
        std::memmove(&slots_[to + gap], &slots_[to], (gapStart_ - to) * sizeof(Ref));
    } else if (to > gapStart_) {
        // Elements that followed the gap slide down in front of it.
        std::memmove(&slots_[gapStart_], &slots_[gapEnd_], (to - gapStart_) * sizeof(Ref));
    }
    gapStart_ = to;
    gapEnd_ = to + gap;
}

bool ReferenceArray::reallocate(int cls) {
    const uint32_t count = size();
    const uint32_t newCapacity = kCapacity[cls];
    const uint32_t tail = count - gapStart_;
    if (newCapacity == 0) {
        slots_.reset();
    } else if (newCapacity > capacity_) {
        // Growing: the allocator extends the block in place or moves its
        // pages (large blocks are remapped, not copied), so appending to a
        // long queue neither copies nor touches the references it holds.
        if (allocation_fault::shouldFail()) return false;
        auto* grown = static_cast<Ref*>(std::realloc(slots_.get(), size_t(newCapacity) * sizeof(Ref)));
        if (!grown) return false;  // the old block is still ours
        (void)slots_.release();
        slots_.reset(grown);
        // The elements after the gap move to the new end, so the gap stays
        // where it was for the caller's next edit.
        if (tail > 0) std::memmove(&grown[newCapacity - tail], &grown[gapEnd_], tail * sizeof(Ref));
    } else {
        if (allocation_fault::shouldFail()) return false;
        Slots fresh = allocateSlots(newCapacity);
        if (!fresh) return false;
        if (gapStart_ > 0) std::memcpy(&fresh[0], &slots_[0], gapStart_ * sizeof(Ref));
        if (tail > 0) std::memcpy(&fresh[newCapacity - tail], &slots_[gapEnd_], tail * sizeof(Ref));
        slots_ = std::move(fresh);
    }
    gapEnd_ = gapStart_ + (newCapacity - count);
    capacity_ = newCapacity;
    class_ = cls;
    return true;
}

bool ReferenceArray::insert(uint32_t i, Ref r) {
    if (i > size()) return false;
    if (size() == capacity_) {
        if (class_ >= maxClass_) return false;
        moveGap(i);
        if (!reallocate(class_ + 1)) return false;
    }
    moveGap(i);
    slots_[gapStart_++] = r;
    return true;
}

bool ReferenceArray::appendAll(const Ref* refs, uint32_t n) {
    if (n == 0) return true;
    const uint32_t count = size();
    int cls = class_;
    while (cls < maxClass_ && kCapacity[cls] - count < n) ++cls;
    if (kCapacity[cls] < count || kCapacity[cls] - count < n) return false;
    moveGap(count);
    if (cls != class_ && !reallocate(cls)) return false;
    std::memcpy(&slots_[gapStart_], refs, size_t(n) * sizeof(Ref));
    gapStart_ += n;
    return true;
}

bool ReferenceArray::appendAllOf(ReferenceArray& other) {
    if (&other == this) return false;
    if (size() == 0 && other.class_ <= maxClass_) {
        std::swap(slots_, other.slots_);
        std::swap(capacity_, other.capacity_);
        std::swap(gapStart_, other.gapStart_);
        std::swap(gapEnd_, other.gapEnd_);
        std::swap(class_, other.class_);
        other.clear();
        return true;
    }
    if (!appendAll(other.contiguous(), other.size())) return false;
    other.clear();
    return true;
}

void ReferenceArray::erase(uint32_t i, bool allowShrink) {
    if (i >= size()) return;
    const bool shrink = allowShrink && class_ > 0 && size() <= kShrinkAt[class_];
    moveGap(i);
    ++gapEnd_;
    // A failed shrink only keeps the larger block, which is harmless.
    if (shrink) reallocate(class_ - 1);
}

void ReferenceArray::move(uint32_t from, uint32_t to) {
    if (from >= size() || to >= size() || from == to) return;
    Ref r = at(from);
    erase(from, false);
    insert(to, r);  // cannot fail: erase kept the capacity
}

ReferenceArray::Ref* ReferenceArray::contiguous() {
    moveGap(size());
    return slots_.get();
}

bool ReferenceArray::assign(const ReferenceArray& other) {
    if (&other == this) return true;
    const uint32_t count = other.size();
    Slots fresh;
    const uint32_t cap = kCapacity[other.class_];
    if (cap > 0) {
        if (allocation_fault::shouldFail()) return false;
        fresh = allocateSlots(cap);
        if (!fresh) return false;
        for (uint32_t i = 0; i < count; ++i) fresh[i] = other.at(i);
    }
    slots_ = std::move(fresh);
    capacity_ = cap;
    class_ = other.class_;
    gapStart_ = count;
    gapEnd_ = cap;
    return true;
}

void ReferenceArray::clear() {
    slots_.reset();
    capacity_ = gapStart_ = gapEnd_ = 0;
    class_ = 0;
}

uint32_t ReferenceArray::indexOf(Ref r) const {
    const uint32_t n = size();
    for (uint32_t i = 0; i < gapStart_; ++i)
        if (slots_[i] == r) return i;
    for (uint32_t i = gapEnd_; i < capacity_; ++i)
        if (slots_[i] == r) return i - (gapEnd_ - gapStart_);
    return n;
}

bool ReferenceArray::check() const {
    if (class_ < 0 || class_ >= kClassCount) return false;
    if (capacity_ != kCapacity[class_]) return false;
    if (gapStart_ > gapEnd_ || gapEnd_ > capacity_) return false;
    if (capacity_ > 0 && !slots_) return false;
    return true;
}

}  // namespace varnok
