// Text without its trailing spaces. Fixed-size text fields are mostly
// padding (a line of 40 characters in a 1024-byte record), so the length is
// found by skipping the padding in blocks: wide vector compares where the
// processor has them, else words of eight bytes, then byte by byte.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace varnok::platform {

// Length of the bytes without trailing spaces (byte 32; nothing else counts).
size_t trimmedLength(const uint8_t* bytes, size_t size);

inline size_t trimmedLength(const char* text, size_t size) {
    return trimmedLength(reinterpret_cast<const uint8_t*>(text), size);
}

inline std::string_view withoutTrailingSpaces(std::string_view text) {
    return text.substr(0, trimmedLength(text.data(), text.size()));
}

}  // namespace varnok::platform
