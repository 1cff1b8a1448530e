// Memory for large, long-lived arenas: blocks of a multiple of
// LargePageBytes, aligned to it and offered to the system's transparent huge
// pages where there are any, so that filling them costs one page fault per
// 2 MiB instead of one per 4 KiB. Free with std::free.
#pragma once
#include <cstddef>

namespace varnok::platform {

inline constexpr size_t LargePageBytes = size_t(2) << 20;

// nullptr when the memory cannot be had; bytes is rounded up to a multiple
// of LargePageBytes.
void* allocateLargePages(size_t bytes);

}  // namespace varnok::platform
