// Clearing a record field by field, as CLEAR does for a queue's buffer.
// `how` selects the value each field receives:
//   0   numbers 0, STRING all spaces, CSTRING and PSTRING empty (all zero);
//   > 0 each type's highest value (numbers their maximum, DECIMAL all nines,
//       texts filled with 0xFF: a CSTRING keeps its terminating zero, a
//       PSTRING its full length);
//   < 0 each type's lowest value (signed numbers their minimum, unsigned 0,
//       REAL and SREAL the most negative finite value, DECIMAL minus all
//       nines, texts all zero bytes).
// Arrays are cleared element by element, groups member by member; bytes
// outside every field stay as they were.
#pragma once
#include <cstdint>

#include "runtime/records/record_layout.h"

namespace varnok {

// Clears only fields that lie wholly inside the first recordSize bytes.
void clearRecordWithin(const RecordLayout& layout, uint8_t* record, uint32_t recordSize, int how);

}  // namespace varnok
