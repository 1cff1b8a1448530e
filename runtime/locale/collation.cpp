#include "runtime/locale/collation.h"

#include <cstring>

namespace varnok {

namespace {
struct Table {
    uint8_t bytes[256];
    Table() { reset(); }
    void reset() {
        for (int i = 0; i < 256; ++i) bytes[i] = static_cast<uint8_t>(i);
    }
};
Table& table() {
    static Table t;
    return t;
}
}  // namespace

const uint8_t* collationTable() { return table().bytes; }

void setCollationTable(const uint8_t t[256]) { std::memcpy(table().bytes, t, 256); }

void resetCollationTable() { table().reset(); }

int compareTexts(const uint8_t* a, uint32_t aLength, const uint8_t* b, uint32_t bLength) {
    const uint8_t* c = table().bytes;
    uint32_t common = aLength < bLength ? aLength : bLength;
    for (uint32_t i = 0; i < common; ++i) {
        if (c[a[i]] != c[b[i]]) return int(c[a[i]]) - int(c[b[i]]);
    }
    // The shorter text is padded with spaces.
    const uint8_t space = c[uint8_t(' ')];
    for (uint32_t i = common; i < aLength; ++i)
        if (c[a[i]] != space) return int(c[a[i]]) - int(space);
    for (uint32_t i = common; i < bLength; ++i)
        if (c[b[i]] != space) return int(space) - int(c[b[i]]);
    return 0;
}

}  // namespace varnok
