#include "runtime/records/raw_field.h"
#include "runtime/records/record_reflection.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/trailing_spaces.h"
#include "runtime/records/packed_decimal.h"
#include "runtime/records/record_compare.h"

namespace varnok {

namespace {

template <class T>
std::string integerText(T v) {
    return std::to_string(v);
}

template <class F>
std::string floatText(F v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
    if (result.ec != std::errc()) return {};
    std::string text(buffer, result.ptr);
    if (text == "-0") text = "0";
    return text;
}

std::string trimmedText(const uint8_t* p, uint32_t n) {
    return std::string(reinterpret_cast<const char*>(p), platform::trimmedLength(p, n));
}

bool queueOk(const QueueDecl* q) { return q && q->layout && q->buffer; }

}  // namespace

std::string reflectFieldName(const RecordLayout& layout, int field) {
    const FieldDesc* f = layout.field(field);
    return f ? f->name : std::string();
}

uint32_t reflectElementCount(const RecordLayout& layout, int field) {
    const FieldDesc* f = layout.field(field);
    return f ? f->elements : 0;
}

bool reflectIsGroup(const RecordLayout& layout, int field) {
    const FieldDesc* f = layout.field(field);
    return f && f->type == FieldType::Group;
}

std::string reflectFieldValue(const RecordLayout& layout, const uint8_t* record, int field, uint32_t element) {
    const FieldDesc* f = layout.field(field);
    if (!f || !record || element < 1 || element > f->elements) return {};
    const uint64_t offset = f->offset + uint64_t(element - 1) * f->size;
    if (offset + f->size > layout.size()) return {};
    const uint8_t* p = record + offset;
    switch (f->type) {
    case FieldType::Byte: return integerText(unsigned(p[0]));
    case FieldType::Short: return integerText(loadRaw<int16_t>(p));
    case FieldType::UShort: return integerText(loadRaw<uint16_t>(p));
    case FieldType::Long:
    case FieldType::Date:
    case FieldType::Time: return integerText(loadRaw<int32_t>(p));
    case FieldType::ULong: return integerText(loadRaw<uint32_t>(p));
    case FieldType::SReal: return floatText(loadRaw<float>(p));
    case FieldType::Real: return floatText(loadRaw<double>(p));
    case FieldType::Decimal:
    case FieldType::PDecimal: return decimalToText(p, f->size, f->places);
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString: {
        const TextSpan t = fieldText(f->type, p, f->size);
        return trimmedText(t.data, t.length);
    }
    default: return trimmedText(p, f->size);
    }
}

std::string reflectFieldName(const QueueDecl* q, int field) {
    return queueOk(q) ? reflectFieldName(*q->layout, field) : std::string();
}

uint32_t reflectElementCount(const QueueDecl* q, int field) {
    return queueOk(q) ? reflectElementCount(*q->layout, field) : 0;
}

bool reflectIsGroup(const QueueDecl* q, int field) { return queueOk(q) && reflectIsGroup(*q->layout, field); }

std::string reflectFieldValue(const QueueDecl* q, int field, uint32_t element) {
    if (!queueOk(q)) return {};
    const FieldDesc* f = q->layout->field(field);
    // The buffer may be shorter than the layout claims; never read past it.
    if (!f || uint64_t(f->offset) + uint64_t(f->size) * f->elements > q->recordSize) return {};
    return reflectFieldValue(*q->layout, q->buffer, field, element);
}

}  // namespace varnok
