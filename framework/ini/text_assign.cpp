#include "framework/ini/text_assign.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/pictures/decimal_number.h"
#include "runtime/records/raw_field.h"

namespace varnok::framework {

namespace {

// The value truncated toward zero, held to [low, high].
template <class T>
T heldInteger(double value) {
    if (std::isnan(value)) return 0;
    const double t = std::trunc(value);
    if (t <= double(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (t >= double(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(t);
}

void storeText(uint8_t* p, uint32_t size, std::string_view text, uint8_t pad) {
    const size_t n = text.size() < size ? text.size() : size;
    std::memcpy(p, text.data(), n);
    std::memset(p + n, pad, size - n);
}

// Packed decimal of `size` bytes and `places` decimal places: rounded
// half-up, digits beyond the field's width dropped from the top.
void storeDecimal(uint8_t* p, uint32_t size, uint32_t places, std::string_view text) {
    std::memset(p, 0, size);
    if (size == 0) return;
    DecimalNumber number;
    if (!DecimalNumber::parse(text, number) || !number.finite) return;
    number.roundToDecimals(int(places));
    const uint32_t digits = 2 * size - 1;
    bool nonZero = false;
    for (uint32_t i = 0; i < digits; ++i) {
        const int place = int(digits - 1 - i) - int(places);  // the digit's power of ten
        const uint8_t d = uint8_t(number.digitAt(place) - '0');
        nonZero = nonZero || d != 0;
        const uint32_t nibble = i + 1;  // nibble 0 is the sign
        if (nibble & 1) p[nibble / 2] = uint8_t((p[nibble / 2] & 0xF0) | d);
        else p[nibble / 2] = uint8_t((p[nibble / 2] & 0x0F) | (d << 4));
    }
    if (number.negative && nonZero) p[0] = uint8_t(p[0] | 0xF0);
}

}  // namespace

double textAsReal(std::string_view text) {
    DecimalNumber number;
    if (!DecimalNumber::parse(text, number)) return 0.0;
    return number.toDouble();
}

int32_t textAsLong(std::string_view text) { return heldInteger<int32_t>(textAsReal(text)); }

bool assignFieldText(const RecordLayout& layout, uint8_t* record, int field, std::string_view text) {
    const FieldDesc* f = layout.field(field);
    if (!f || !record || f->size == 0 || uint64_t(f->offset) + f->size > layout.size()) return false;
    uint8_t* p = record + f->offset;
    switch (f->type) {
    case FieldType::Byte: p[0] = heldInteger<uint8_t>(textAsReal(text)); break;
    case FieldType::Short: storeRaw(p, heldInteger<int16_t>(textAsReal(text))); break;
    case FieldType::UShort: storeRaw(p, heldInteger<uint16_t>(textAsReal(text))); break;
    case FieldType::Long:
    case FieldType::Date:
    case FieldType::Time: storeRaw(p, heldInteger<int32_t>(textAsReal(text))); break;
    case FieldType::ULong: storeRaw(p, heldInteger<uint32_t>(textAsReal(text))); break;
    case FieldType::SReal: {
        // Beyond the float range the value becomes an infinity, as the
        // conversion of a too large number does.
        const double v = textAsReal(text);
        const float big = std::numeric_limits<float>::max();
        storeRaw(p, v > big    ? std::numeric_limits<float>::infinity()
                    : v < -big ? -std::numeric_limits<float>::infinity()
                               : static_cast<float>(v));
        break;
    }
    case FieldType::Real: storeRaw(p, textAsReal(text)); break;
    case FieldType::Decimal:
    case FieldType::PDecimal: storeDecimal(p, f->size, f->places, text); break;
    case FieldType::CString: storeText(p, f->size - 1, text, 0); p[f->size - 1] = 0; break;
    case FieldType::PString: {
        const uint32_t room = f->size - 1 < 255 ? f->size - 1 : 255;
        const uint32_t n = text.size() < room ? uint32_t(text.size()) : room;
        p[0] = uint8_t(n);
        storeText(p + 1, f->size - 1, text.substr(0, n), 0);
        break;
    }
    default: storeText(p, f->size, text, ' '); break;
    }
    return true;
}

}  // namespace varnok::framework
