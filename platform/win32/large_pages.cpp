#include "platform/large_pages.h"

#include <cstdint>
#include <cstdlib>

namespace varnok::platform {

void* allocateLargePages(size_t bytes) {
    if (bytes > SIZE_MAX - LargePageBytes) return nullptr;
    bytes = (bytes + LargePageBytes - 1) / LargePageBytes * LargePageBytes;
    return std::malloc(bytes);
}

}  // namespace varnok::platform
