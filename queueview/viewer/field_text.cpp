#include "queueview/viewer/field_text.h"

#include <charconv>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "platform/cpu_features.h"
#include "runtime/records/raw_field.h"
#include "runtime/records/record_compare.h"
#include "runtime/records/record_reflection.h"

namespace varnok::queueview {

namespace {

#if defined(__x86_64__) && defined(__GNUC__)
// Steps back over whole 64-byte blocks of spaces, two 32-byte compares a
// step; returns the length left, which ends in a block holding a non-space
// or is below 64.
__attribute__((target("avx2"))) size_t skipSpaceBlocksWide(const char* text, size_t length) {
    const __m256i spaces = _mm256_set1_epi8(' ');
    while (length >= 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + length - 64));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + length - 32));
        const __m256i same = _mm256_and_si256(_mm256_cmpeq_epi8(a, spaces), _mm256_cmpeq_epi8(b, spaces));
        if (static_cast<uint32_t>(_mm256_movemask_epi8(same)) != 0xFFFFFFFFu) break;
        length -= 64;
    }
    return length;
}
#endif

}  // namespace

size_t lengthWithoutTrailingSpaces(const char* text, size_t length) {
    // Padding comes in long runs (a line of 40 characters in a 1024-byte
    // field): skip it in blocks where the processor has wide compares, then
    // a word of eight at a time, then byte by byte.
#if defined(__x86_64__) && defined(__GNUC__)
    if (length >= 64 && platform::hasAvx2()) length = skipSpaceBlocksWide(text, length);
#endif
    constexpr uint64_t spaces = 0x2020202020202020ull;
    while (length >= 8) {
        uint64_t word;
        std::memcpy(&word, text + length - 8, 8);
        if (word != spaces) break;
        length -= 8;
    }
    while (length > 0 && text[length - 1] == ' ') --length;
    return length;
}

namespace {

template <class T>
std::string_view integer(char (&buffer)[24], T value) {
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string_view(buffer, static_cast<size_t>(result.ptr - buffer));
}

std::string_view trimmedView(const uint8_t* p, uint32_t n) {
    const char* text = reinterpret_cast<const char*>(p);
    return std::string_view(text, lengthWithoutTrailingSpaces(text, n));
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
