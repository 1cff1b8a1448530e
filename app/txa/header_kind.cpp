#include "app/txa/header_kind.h"

#include <cstring>
#include <string_view>

#include "app/txa/txa_records.h"

namespace varnok::app {

namespace {

bool startsWith(const uint8_t* line, size_t size, std::string_view prefix) {
    return prefix.size() <= size && std::memcmp(line, prefix.data(), prefix.size()) == 0;
}

// The three headers that continue an open instance, compared in upper case
// with trailing spaces removed. Only a line whose first 16 characters match
// is checked for blanks beyond them, so other headers cost a few compares.
bool continuesInstance(const uint8_t* line, size_t size) {
    static const std::string_view names[] = {"[PROMPTS]", "[INSTANCE]", "[FIELDPROMPT]"};
    constexpr size_t head = 16;  // longer than every name
    if (size < head) return false;
    char upper[head];
    for (size_t i = 0; i < head; ++i) {
        uint8_t c = line[i];
        upper[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    for (std::string_view name : names) {
        if (std::memcmp(upper, name.data(), name.size()) != 0) continue;
        size_t rest = name.size();
        while (rest < head && upper[rest] == ' ') ++rest;
        return rest == head && trimmedLength(line + head, size - head) == 0;
    }
    return false;
}

}  // namespace

HeaderKind headerKindOf(const uint8_t* line, size_t size) {
    if (startsWith(line, size, "[PROCEDURE]")) return HeaderKind::Procedure;
    if (startsWith(line, size, "[ADDITION]")) return HeaderKind::Addition;
    if (continuesInstance(line, size)) return HeaderKind::Continues;
    return HeaderKind::Closes;
}

}  // namespace varnok::app
