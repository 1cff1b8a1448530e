// EntryPool: the heap blocks of one queue's entries. Blocks up to 2048
// bytes are carved from slabs (64 KiB doubling to 2 MiB large pages) in steps of 8 bytes and recycled through
// one free list per size, so adding an entry costs a few instructions, small
// records sit next to each other (searches and sorts touch less memory) and
// emptying the queue releases whole slabs at once. Larger blocks come from
// the general heap. Callers give the block's size back on release.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnok {

class EntryPool {
public:
    static constexpr size_t kGranule = 8;
    static constexpr size_t kMaxPooled = 2048;
    static constexpr size_t kSlabBytes = 64 * 1024;

    EntryPool() = default;
    EntryPool(const EntryPool&) = delete;
    EntryPool& operator=(const EntryPool&) = delete;
    ~EntryPool() { clear(); }

    // A block of at least `bytes` bytes; nullptr when memory runs out.
    uint8_t* allocate(size_t bytes);
    // Gives back a block obtained with allocate(bytes).
    void release(uint8_t* block, size_t bytes);
    // Drops every slab; blocks from the general heap must be released first.
    void clear();
    // Takes over every slab of another pool (and with them the blocks
    // carved from them), leaving it empty. The other pool's free blocks
    // and the unused end of its newest slab are not reused. False, with
    // both pools unchanged, when memory runs out.
    bool adopt(EntryPool& other);

private:
    static size_t classOf(size_t bytes) { return bytes == 0 ? 1 : (bytes + kGranule - 1) / kGranule; }

    std::vector<uint8_t*> slabs_;
    uint8_t* next_ = nullptr;   // free space of the newest slab
    uint8_t* end_ = nullptr;
    void* freeLists_[kMaxPooled / kGranule + 1] = {};  // per size class; the link sits in the block
};

}  // namespace varnok
