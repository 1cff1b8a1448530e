#include "runtime/pictures/numeric_text.h"

namespace varnok {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool NUMERIC(std::string_view text) {
    size_t i = 0;
    size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        if (i >= n || !isDigit(text[i])) return false;
        while (i < n && isDigit(text[i])) ++i;
    }
    return i == n;
}

}  // namespace varnok
