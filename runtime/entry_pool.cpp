#include "runtime/entry_pool.h"

#include <cstdlib>
#include <cstring>

#include "runtime/allocation_fault.h"

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
        auto* slab = static_cast<uint8_t*>(std::malloc(kSlabBytes));
        if (!slab) return nullptr;
        try {
            slabs_.push_back(slab);
        } catch (...) {
            std::free(slab);
            return nullptr;
        }
        next_ = slab;
        end_ = slab + kSlabBytes;
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

void EntryPool::clear() {
    for (uint8_t* slab : slabs_) std::free(slab);
    slabs_.clear();
    next_ = end_ = nullptr;
    for (void*& head : freeLists_) head = nullptr;
}

}  // namespace varnok
