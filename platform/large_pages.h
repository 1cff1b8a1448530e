// Memory for large, long-lived arenas: blocks of a multiple of
// LargePageBytes. Free with std::free, like any block of std::malloc.
//
// On Linux a block is aligned to LargePageBytes and offered to the system's
// transparent huge pages, so that filling it costs one page fault per 2 MiB
// instead of one per 4 KiB. Windows gives large pages only to a process
// holding the lock-memory privilege, which a user's program lacks, and its
// C runtime cannot free an over-aligned block with std::free: there a block
// is ordinary heap memory, aligned as std::malloc aligns.
#pragma once
#include <cstddef>

namespace varnok::platform {

inline constexpr size_t LargePageBytes = size_t(2) << 20;

// nullptr when the memory cannot be had; bytes is rounded up to a multiple
// of LargePageBytes.
void* allocateLargePages(size_t bytes);

}  // namespace varnok::platform
