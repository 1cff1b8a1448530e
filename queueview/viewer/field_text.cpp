#include "queueview/viewer/field_text.h"

#include <charconv>
#include <cstring>

#include "platform/trailing_spaces.h"
#include "runtime/records/raw_field.h"
#include "runtime/records/record_compare.h"
#include "runtime/records/record_reflection.h"

namespace varnok::queueview {

namespace {

template <class T>
std::string_view integer(char (&buffer)[24], T value) {
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string_view(buffer, static_cast<size_t>(result.ptr - buffer));
}

std::string_view trimmedView(const uint8_t* p, uint32_t n) {
    const char* text = reinterpret_cast<const char*>(p);
    return std::string_view(text, platform::trimmedLength(text, n));
}

}  // namespace

std::string_view FieldTextReader::text(const RecordLayout& layout, const uint8_t* record, int field,
                                       uint32_t element) {
    const FieldDesc* found = layout.field(field);
    if (!found) return {};
    const FieldDesc& f = *found;
    const uint32_t recordSize = layout.size();
    if (!record || element < 1 || element > f.elements) return {};
    const uint64_t offset = f.offset + uint64_t(element - 1) * f.size;
    if (offset + f.size > recordSize) return {};
    const uint8_t* p = record + offset;
    switch (f.type) {
    case FieldType::Byte: return integer(digits_, unsigned(p[0]));
    case FieldType::Short: return integer(digits_, loadRaw<int16_t>(p));
    case FieldType::UShort: return integer(digits_, loadRaw<uint16_t>(p));
    case FieldType::Long:
    case FieldType::Date:
    case FieldType::Time: return integer(digits_, loadRaw<int32_t>(p));
    case FieldType::ULong: return integer(digits_, loadRaw<uint32_t>(p));
    case FieldType::SReal:
    case FieldType::Real:
    case FieldType::Decimal:
    case FieldType::PDecimal: {
        // Rare in the queues this tool looks at: the reflection's own text.
        slow_ = reflectFieldValue(layout, record, field, element);
        return slow_;
    }
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString: {
        const TextSpan t = fieldText(f.type, p, f.size);
        return trimmedView(t.data, t.length);
    }
    default: return trimmedView(p, f.size);
    }
}

}  // namespace varnok::queueview
