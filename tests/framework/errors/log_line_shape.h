// Reads a log line written under the default regional settings:
// "MM/dd/yy@hh:mm:ss AM --> text". Answers false for any other shape.
#pragma once
#include <cctype>
#include <string>
#include <string_view>

namespace varnok::testing {

inline bool readLogLine(std::string_view line, std::string* text) {
    // '9' stands for a digit, 'A' for A or P; everything else must match.
    constexpr std::string_view shape = "99/99/99@99:99:99 AM --> ";
    if (line.size() < shape.size()) return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        const char c = line[i];
        const bool ok = shape[i] == '9'   ? std::isdigit(static_cast<unsigned char>(c)) != 0
                        : shape[i] == 'A' ? (c == 'A' || c == 'P')
                                          : c == shape[i];
        if (!ok) return false;
    }
    if (text) *text = std::string(line.substr(shape.size()));
    return true;
}

}  // namespace varnok::testing
