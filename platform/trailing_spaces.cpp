
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "platform/cpu_features.h"
#include "platform/trailing_spaces.h"

namespace varnok::platform {

namespace {

#if defined(__x86_64__) && defined(__GNUC__)
// Steps back over whole 64-byte blocks of spaces, two 32-byte compares a
// step; returns the length left, which ends in a block holding a non-space
// or is below 64.
__attribute__((target("avx2"))) size_t skipSpaceBlocksWide(const uint8_t* bytes, size_t n) {
    const __m256i spaces = _mm256_set1_epi8(' ');
    while (n >= 64) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + n - 64));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + n - 32));
        const __m256i same = _mm256_and_si256(_mm256_cmpeq_epi8(x, spaces), _mm256_cmpeq_epi8(y, spaces));
        if (static_cast<uint32_t>(_mm256_movemask_epi8(same)) != 0xFFFFFFFFu) break;
        n -= 64;
    }
    return n;
}

#endif

}  // namespace

size_t trimmedLength(const uint8_t* bytes, size_t size) {
    // Four words compared with a word of spaces and or-ed together, so one
    // branch covers 32 bytes.
    constexpr uint64_t spaces = 0x2020202020202020ull;
    auto word = [&](size_t at) {
        uint64_t w;
        std::memcpy(&w, bytes + at, 8);
        return w ^ spaces;
    };
    size_t n = size;
#if defined(__x86_64__) && defined(__GNUC__)
    if (platform::hasAvx2() && n >= 64) n = skipSpaceBlocksWide(bytes, n);
#endif
    while (n >= 32 && (word(n - 32) | word(n - 24) | word(n - 16) | word(n - 8)) == 0) n -= 32;
    while (n >= 8 && word(n - 8) == 0) n -= 8;
    while (n > 0 && bytes[n - 1] == ' ') --n;
    return n;
}

}  // namespace varnok::platform
