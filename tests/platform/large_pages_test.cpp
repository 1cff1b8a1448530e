#include "platform/large_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <malloc.h>

namespace varnok::platform {
namespace {

size_t usableSize(void* block) {
#ifdef _WIN32
    return _msize(block);
#else
    return malloc_usable_size(block);
#endif
}

// Every block holds its size rounded up to whole large pages, can be filled
// to the end, and goes back with std::free.
TEST(LargePages, BlocksAreWholeLargePagesFreedWithFree) {
    for (size_t asked : {size_t(1), LargePageBytes - 1, LargePageBytes, LargePageBytes + 1, 3 * LargePageBytes}) {
        const size_t rounded = (asked + LargePageBytes - 1) / LargePageBytes * LargePageBytes;
        void* block = allocateLargePages(asked);
        ASSERT_NE(block, nullptr) << asked;
        EXPECT_GE(usableSize(block), rounded) << asked;
        std::memset(block, 0xA5, rounded);
#ifndef _WIN32
        // Aligned for the system's huge pages (Windows gives ordinary heap memory).
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % LargePageBytes, 0u) << asked;
#endif
        std::free(block);
    }
}

TEST(LargePages, ImpossibleSizesFail) {
    EXPECT_EQ(allocateLargePages(SIZE_MAX), nullptr);
    EXPECT_EQ(allocateLargePages(SIZE_MAX - LargePageBytes + 2), nullptr);
}

}  // namespace
}  // namespace varnok::platform
