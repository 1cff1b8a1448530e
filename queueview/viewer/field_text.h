// FieldTextReader: a field's value as text, read straight from a record
// image, giving the same text as the record reflection
// (runtime/records/record_reflection.h, reflectFieldValue) without making a
// string for it. Texts and raw fields are answered as views into the record
// (trailing spaces dropped), integers are written into the reader's own
// small buffer; only SREAL, REAL and DECIMAL values go through the
// reflection, into a string the reader keeps and reuses.
//
// A view answered stays valid until the next call on the same reader, or
// until the record image changes.
//
//     FieldTextReader reader;
//     for (int32_t row = 1; ...) {
//         readForDisplay(q, row);
//         std::string_view text = reader.text(*q->layout, secondView(q), 3);
//     }
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/records/record_layout.h"

namespace varnok::queueview {

class FieldTextReader {
public:
    // Field `field` (1-based), element `element` (1-based); empty past the
    // last field or element.
    std::string_view text(const RecordLayout& layout, const uint8_t* record, int field, uint32_t element = 1);

private:
    char digits_[24];
    std::string slow_;
};

}  // namespace varnok::queueview
