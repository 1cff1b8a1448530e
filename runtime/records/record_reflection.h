// Record reflection: what a generic tool (the queue viewer, the exports)
// learns about any record from its layout. Field numbers are 1-based in
// declaration order; a group counts as a field and its members follow it.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/queue/queue.h"
#include "runtime/records/record_layout.h"

namespace varnok {

// The field's name; empty past the last field (and for 0).
std::string reflectFieldName(const RecordLayout& layout, int field);
// Elements of an array field, 1 for a plain field, 0 past the last field.
uint32_t reflectElementCount(const RecordLayout& layout, int field);
bool reflectIsGroup(const RecordLayout& layout, int field);
// The value of element `element` (1-based) as text: integers and DATE and
// TIME in plain decimal, SREAL and REAL in the shortest plain decimal that
// reads back to the same value, DECIMAL exactly with its places, texts
// without trailing spaces (a CSTRING up to its zero, a PSTRING its length),
// a group its bytes as text. Empty for a field or element out of range.
std::string reflectFieldValue(const RecordLayout& layout, const uint8_t* record, int field,
                              uint32_t element = 1);

// The same, on a queue's buffer; empty or 0 for a missing declaration.
std::string reflectFieldName(const QueueDecl* q, int field);
uint32_t reflectElementCount(const QueueDecl* q, int field);
bool reflectIsGroup(const QueueDecl* q, int field);
std::string reflectFieldValue(const QueueDecl* q, int field, uint32_t element = 1);

}  // namespace varnok
