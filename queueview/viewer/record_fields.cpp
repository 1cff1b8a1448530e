#include "queueview/viewer/record_fields.h"

#include <algorithm>
#include <cstring>

#include "platform/trailing_spaces.h"
#include "queueview/viewer/column_typing.h"
#include "queueview/viewer/field_text.h"
#include "runtime/pictures/format.h"
#include "runtime/pictures/numeric_text.h"
#include "runtime/records/record_reflection.h"

namespace varnok::queueview {

RecordLayout fieldQueueLayout() {
    return RecordLayoutBuilder().string("PFieldName", FieldNameSize).string("FieldValue", FieldValueSize).build();
}

std::string recordViewValue(std::string_view value) {
    if (!NUMERIC(value) || value.find('.') != std::string_view::npos) return std::string(value);
    // A whole number; only one inside the date range fits in an int32.
    std::string_view digits = value;
    while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    if (digits.find_first_of("eE") != std::string_view::npos) return std::string(value);
    if (digits.size() > 12) return std::string(value);  // far outside the range
    int64_t number = 0;
    for (char c : digits) {
        if (c == '-') return std::string(value);  // negative: never a date here
        number = number * 10 + (c - '0');
    }
    if (number < firstViewerDate() || number > lastViewerDate()) return std::string(value);
    const size_t length = platform::trimmedLength(value.data(), value.size());
    return std::string(value.substr(0, length)) + " (" + FORMAT(double(number), "@d06") + ")";
}

namespace {

void putText(uint8_t* field, uint32_t size, std::string_view text) {
    const size_t n = std::min<size_t>(text.size(), size);
    std::memcpy(field, text.data(), n);
    std::memset(field + n, ' ', size - n);
}

}  // namespace

void fillFieldQueue(QueueDecl* fieldQ, const RecordLayout& layout, const uint8_t* record, bool stripPrefix) {
    FREE(fieldQ);
    if (!fieldQ || !fieldQ->buffer) return;
    uint8_t* name = fieldQ->buffer;
    uint8_t* value = fieldQ->buffer + FieldNameSize;
    for (int n = 1;; ++n) {
        std::string fieldName = reflectFieldName(layout, n);
        if (fieldName.empty()) break;  // past the last field
        // A name that is all prefix ("Q:") shows empty, and the walk goes on.
        if (stripPrefix) fieldName = withoutPrefix(fieldName);
        if (reflectIsGroup(layout, n)) continue;
        const uint32_t elements = reflectElementCount(layout, n);
        if (elements <= 1) {
            putText(name, FieldNameSize, fieldName);
            putText(value, FieldValueSize, recordViewValue(reflectFieldValue(layout, record, n)));
            ADD(fieldQ);
            continue;
        }
        const std::string base(fieldName.data(), platform::trimmedLength(fieldName.data(), fieldName.size()));
        for (uint32_t k = 1; k <= elements; ++k) {
            putText(name, FieldNameSize, base + "_" + std::to_string(k));
            putText(value, FieldValueSize, recordViewValue(reflectFieldValue(layout, record, n, k)));
            ADD(fieldQ);
        }
    }
}

}  // namespace varnok::queueview
