#include "runtime/records/record_clear.h"

#include <cstring>
#include <limits>

#include "runtime/records/packed_decimal.h"
#include "runtime/queue/queue.h"

namespace varnok {

namespace {

template <class T>
void store(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

template <class T>
void storeLimit(uint8_t* p, int how) {
    if (how > 0) store<T>(p, std::numeric_limits<T>::max());
    else if (how < 0) store<T>(p, std::numeric_limits<T>::lowest());
    else store<T>(p, T(0));
}

void clearElement(const FieldDesc& f, uint8_t* p, int how) {
    switch (f.type) {
    case FieldType::Byte: storeLimit<uint8_t>(p, how); break;
    case FieldType::Short: storeLimit<int16_t>(p, how); break;
    case FieldType::UShort: storeLimit<uint16_t>(p, how); break;
    case FieldType::Long:
    case FieldType::Date:
    case FieldType::Time: storeLimit<int32_t>(p, how); break;
    case FieldType::ULong: storeLimit<uint32_t>(p, how); break;
    case FieldType::SReal: storeLimit<float>(p, how); break;
    case FieldType::Real: storeLimit<double>(p, how); break;
    case FieldType::Decimal:
    case FieldType::PDecimal:
        if (how == 0) std::memset(p, 0, f.size);
        else decimalSetExtreme(p, f.size, how < 0);
        break;
    case FieldType::String: std::memset(p, how > 0 ? 0xFF : (how < 0 ? 0x00 : ' '), f.size); break;
    case FieldType::CString:
        if (how > 0 && f.size > 0) {
            std::memset(p, 0xFF, f.size - 1);
            p[f.size - 1] = 0;
        } else {
            std::memset(p, 0, f.size);
        }
        break;
    case FieldType::PString:
        if (how > 0 && f.size > 0) {
            std::memset(p, 0xFF, f.size);
            p[0] = static_cast<uint8_t>(f.size - 1 > 255 ? 255 : f.size - 1);
        } else {
            std::memset(p, 0, f.size);
        }
        break;
    default: std::memset(p, how > 0 ? 0xFF : 0x00, f.size); break;
    }
}

void clearFields(const std::vector<FieldDesc>& fields, size_t first, size_t last, uint64_t shift,
                 uint8_t* record, uint32_t recordSize, int how) {
    size_t i = first;
    while (i < last) {
        const FieldDesc& f = fields[i];
        if (f.type == FieldType::Group) {
            const size_t membersEnd = i + 1 + f.groupFieldCount < last ? i + 1 + f.groupFieldCount : last;
            for (uint32_t e = 0; e < f.elements; ++e)
                clearFields(fields, i + 1, membersEnd, shift + uint64_t(e) * f.size, record, recordSize, how);
            i = membersEnd;
            continue;
        }
        for (uint32_t e = 0; e < f.elements; ++e) {
            const uint64_t offset = shift + f.offset + uint64_t(e) * f.size;
            if (offset + f.size <= recordSize) clearElement(f, record + offset, how);
        }
        ++i;
    }
}

}  // namespace

void clearRecordWithin(const RecordLayout& layout, uint8_t* record, uint32_t recordSize, int how) {
    clearFields(layout.fields(), 0, layout.fields().size(), 0, record, recordSize, how);
}

void clearRecord(const RecordLayout& layout, uint8_t* record, int how) {
    if (record) clearRecordWithin(layout, record, layout.size(), how);
}

}  // namespace varnok
