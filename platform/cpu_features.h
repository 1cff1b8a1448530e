// What the processor offers beyond the baseline the program is built for.
// Code with wide vector paths asks here and keeps a plain path beside them.
// Each answer is taken once, on first use, after the processor description
// is set up.
#pragma once

namespace varnok::platform {

#if defined(__x86_64__) && defined(__GNUC__)
inline bool hasAvx2() {
    static const bool yes = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return yes;
}

inline bool hasAvx512bw() {
    static const bool yes = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512bw") != 0;
    }();
    return yes;
}
#else
inline bool hasAvx2() { return false; }
inline bool hasAvx512bw() { return false; }
#endif

}  // namespace varnok::platform
