#include "platform/large_pages.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace varnok::platform {

void* allocateLargePages(size_t bytes) {
    if (bytes > SIZE_MAX - LargePageBytes) return nullptr;
    bytes = (bytes + LargePageBytes - 1) / LargePageBytes * LargePageBytes;
    void* block = std::aligned_alloc(LargePageBytes, bytes);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (block) madvise(block, bytes, MADV_HUGEPAGE);  // advice only: failure changes nothing
#endif
    return block;
}

}  // namespace varnok::platform
