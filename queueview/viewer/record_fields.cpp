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
    // The same numeric test and date range as the typing pass, with no '.'.
    if (!NUMERIC(value) || value.find('.') != std::string_view::npos) return std::string(value);
    const double number = numericValue(value);
    if (!inViewerDateRange(number)) return std::string(value);
    const size_t length = platform::trimmedLength(value.data(), value.size());
    return std::string(value.substr(0, length)) + " (" + FORMAT(number, "@d06") + ")";
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
        // Past the last field, or (with stripPrefix) a name that is all
        // prefix ("Q:"): either way the list ends here.
        if (stripPrefix) fieldName = withoutPrefix(fieldName);
        if (fieldName.empty()) break;
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
