#include "runtime/queue/entry_pool.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/large_pages.h"
#include "runtime/queue/allocation_fault.h"

namespace varnok {

uint8_t* EntryPool::allocate(size_t bytes) {
    if (allocation_fault::shouldFail()) return nullptr;
    if (bytes > kMaxPooled) return static_cast<uint8_t*>(std::malloc(bytes));
    const size_t cls = classOf(bytes);
    if (void* head = freeLists_[cls]) {
        void* following;
        std::memcpy(&following, head, sizeof following);
        freeLists_[cls] = following;
        return static_cast<uint8_t*>(head);
    }
    const size_t size = cls * kGranule;
    if (static_cast<size_t>(end_ - next_) < size) {
        // Slabs double from 64 KiB to 2 MiB, so a small queue stays small and
        // a large one fills whole large pages.
        const size_t slabBytes = slabs_.size() < 5 ? kSlabBytes << slabs_.size() : platform::LargePageBytes;
        auto* slab = static_cast<uint8_t*>(slabBytes >= platform::LargePageBytes
                                               ? platform::allocateLargePages(slabBytes)
                                               : std::malloc(slabBytes));
        if (!slab) return nullptr;
        try {
            slabs_.push_back(slab);
        } catch (...) {
            std::free(slab);
            return nullptr;
        }
        next_ = slab;
        end_ = slab + slabBytes;
    }
    uint8_t* block = next_;
    next_ += size;
    return block;
}

void EntryPool::release(uint8_t* block, size_t bytes) {
    if (!block) return;
    if (bytes > kMaxPooled) {
        std::free(block);
        return;
    }
    const size_t cls = classOf(bytes);
    std::memcpy(block, &freeLists_[cls], sizeof(void*));
    freeLists_[cls] = block;
}

bool EntryPool::adopt(EntryPool& other) {
    if (&other == this) return true;
    try {
        slabs_.insert(slabs_.end(), other.slabs_.begin(), other.slabs_.end());
    } catch (const std::bad_alloc&) {
        return false;
    }
    other.slabs_.clear();
    other.next_ = other.end_ = nullptr;
    for (void*& head : other.freeLists_) head = nullptr;
    return true;
}

void EntryPool::clear() {
    for (uint8_t* slab : slabs_) std::free(slab);
    slabs_.clear();
    next_ = end_ = nullptr;
    for (void*& head : freeLists_) head = nullptr;
}

}  // namespace varnok
