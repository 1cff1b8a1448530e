// The runtime's collation table: string comparisons (queues, keys) compare
// texts byte by byte through it. It is the identity sequence until the
// locale settings install their own table at start-up.
#pragma once
#include <cstdint>

namespace varnok {

// 256 entries; a byte b sorts by collationTable()[b].
const uint8_t* collationTable();
// Copies the given 256 entries. Called once per process by the locale set-up,
// before queues compare texts.
void setCollationTable(const uint8_t table[256]);
// Back to the identity sequence (tests).
void resetCollationTable();

// Compares two texts padded with spaces to the longer length, through the
// collation table. Negative when a sorts before b.
int compareTexts(const uint8_t* a, uint32_t aLength, const uint8_t* b, uint32_t bLength);

}  // namespace varnok
