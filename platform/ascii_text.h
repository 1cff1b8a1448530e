// Comparisons of names (profile sections and keys, driver names, option
// words) that ignore the case of ASCII letters and nothing else.
#pragma once
#include <string_view>

namespace varnok::platform {

constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

constexpr bool sameAsciiText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

}  // namespace varnok::platform
