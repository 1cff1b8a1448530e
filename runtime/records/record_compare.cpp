#include "runtime/records/raw_field.h"
#include "runtime/records/record_compare.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "runtime/locale/collation.h"
#include "runtime/records/packed_decimal.h"

namespace varnok {

namespace {

template <class T>
int compareNumbers(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

template <class T>
int compareFloats(T a, T b) {
    if (a < b) return -1;
    if (b < a) return 1;
    if (a == b) return 0;
    const bool nanA = std::isnan(a), nanB = std::isnan(b);
    return nanA == nanB ? 0 : (nanA ? 1 : -1);
}

int compareElement(const FieldDesc& f, const uint8_t* a, const uint8_t* b) {
    switch (f.type) {
    case FieldType::Byte: return compareNumbers(a[0], b[0]);
    case FieldType::Short: return compareNumbers(loadRaw<int16_t>(a), loadRaw<int16_t>(b));
    case FieldType::UShort: return compareNumbers(loadRaw<uint16_t>(a), loadRaw<uint16_t>(b));
    case FieldType::Long:
    case FieldType::Date:
    case FieldType::Time: return compareNumbers(loadRaw<int32_t>(a), loadRaw<int32_t>(b));
    case FieldType::ULong: return compareNumbers(loadRaw<uint32_t>(a), loadRaw<uint32_t>(b));
    case FieldType::SReal: return compareFloats(loadRaw<float>(a), loadRaw<float>(b));
    case FieldType::Real: return compareFloats(loadRaw<double>(a), loadRaw<double>(b));
    case FieldType::Decimal:
    case FieldType::PDecimal: return compareDecimals(a, b, f.size);
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString: {
        const TextSpan ta = fieldText(f.type, a, f.size);
        const TextSpan tb = fieldText(f.type, b, f.size);
        return compareTexts(ta.data, ta.length, tb.data, tb.length);
    }
    case FieldType::Group: return compareTexts(a, f.size, b, f.size);
    default: {
        const int r = std::memcmp(a, b, f.size);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    }
}

inline uint64_t mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

uint64_t hashBytes(const uint8_t* p, uint32_t n, uint64_t h = 0xcbf29ce484222325ull) {
    for (uint32_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
    return h;
}

// Hash of a text as the comparison sees it: collated bytes, trailing
// (collated) spaces dropped.
uint64_t hashText(const uint8_t* p, uint32_t n) {
    const uint8_t* table = collationTable();
    const uint8_t space = table[uint8_t(' ')];
    while (n > 0 && table[p[n - 1]] == space) --n;
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint32_t i = 0; i < n; ++i) h = (h ^ table[p[i]]) * 0x100000001b3ull;
    return h;
}

template <class F, class Bits>
uint64_t floatHash(F v) {
    if (v == 0) return 0;                    // -0 and +0 compare equal
    if (std::isnan(v)) return 0x7ff8000000000001ull;  // all NaNs compare equal
    return mix(static_cast<uint64_t>(std::bit_cast<Bits>(v)) + 1);
}

uint64_t elementHash(const FieldDesc& f, const uint8_t* p) {
    switch (f.type) {
    case FieldType::Byte: return mix(p[0] + 1ull);
    case FieldType::Short: return mix(static_cast<uint64_t>(loadRaw<int16_t>(p)) + 1);
    case FieldType::UShort: return mix(loadRaw<uint16_t>(p) + 1ull);
    case FieldType::Long:
    case FieldType::Date:
    case FieldType::Time: return mix(static_cast<uint64_t>(loadRaw<int32_t>(p)) + 1);
    case FieldType::ULong: return mix(loadRaw<uint32_t>(p) + 1ull);
    case FieldType::SReal: return floatHash<float, uint32_t>(loadRaw<float>(p));
    case FieldType::Real: return floatHash<double, uint64_t>(loadRaw<double>(p));
    case FieldType::Decimal:
    case FieldType::PDecimal: {
        if (decimalIsZero(p, f.size)) return 0;
        uint64_t h = decimalIsNegative(p, f.size) ? 0x9e3779b97f4a7c15ull : 0x51ull;
        const uint32_t digits = decimalDigitCount(f.size);
        for (uint32_t i = 0; i < digits; ++i) h = (h ^ decimalDigit(p, i)) * 0x100000001b3ull;
        return h;
    }
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString: {
        const TextSpan t = fieldText(f.type, p, f.size);
        return hashText(t.data, t.length);
    }
    case FieldType::Group: return hashText(p, f.size);
    default: return hashBytes(p, f.size);
    }
}

}  // namespace

TextSpan fieldText(FieldType type, const uint8_t* p, uint32_t size) {
    if (type == FieldType::CString) {
        const void* zero = std::memchr(p, 0, size);
        return {p, zero ? static_cast<uint32_t>(static_cast<const uint8_t*>(zero) - p) : size};
    }
    if (type == FieldType::PString) {
        if (size == 0) return {p, 0};
        const uint32_t length = p[0] < size - 1 ? p[0] : size - 1;
        return {p + 1, length};
    }
    return {p, size};
}

int compareField(const FieldDesc& f, const uint8_t* a, const uint8_t* b) {
    for (uint32_t e = 0; e < f.elements; ++e) {
        const int r = compareElement(f, a + e * f.size, b + e * f.size);
        if (r != 0) return r < 0 ? -1 : 1;
    }
    return 0;
}

uint64_t fieldHash(const FieldDesc& f, const uint8_t* p) {
    if (f.elements == 1) return elementHash(f, p);
    uint64_t h = 0;
    for (uint32_t e = 0; e < f.elements; ++e) h = std::rotr(h, 1) ^ elementHash(f, p + e * f.size);
    return h;
}

int KeySpec::parse(const RecordLayout& layout, std::span<const int32_t> parts) {
    count_ = 0;
    size_ = limit_ = 0;
    const int64_t fieldCount = layout.fieldCount();
    for (int32_t number : parts) {
        if (number == 0 || count_ == kMaxComponents) break;
        const int64_t absolute = std::llabs(static_cast<int64_t>(number));
        if (absolute > fieldCount) {
            count_ = 0;
            size_ = limit_ = 0;
            return 75;
        }
        const FieldDesc* f = layout.field(static_cast<int>(absolute));
        numbers_[count_] = number;
        components_[count_] = {f, number < 0};
        ++count_;
        size_ += f->totalSize();
        const uint32_t end = f->offset + f->totalSize();
        if (end > limit_) limit_ = end;
    }
    return 0;
}

}  // namespace varnok
