#include "runtime/queue/key_hash_index.h"

#include <bit>
#include <cstring>
#include <memory>

#include "platform/large_pages.h"

#include "runtime/queue/allocation_fault.h"
#include "runtime/locale/collation.h"

namespace varnok {

namespace {

bool isIntegerType(FieldType t) {
    switch (t) {
    case FieldType::Byte:
    case FieldType::Short:
    case FieldType::UShort:
    case FieldType::Long:
    case FieldType::ULong:
    case FieldType::Date:
    case FieldType::Time: return true;
    default: return false;
    }
}

}  // namespace

KeyHashIndex::Variant KeyHashIndex::variantFor(const KeySpec& key) {
    if (key.componentCount() == 1) {
        const FieldDesc& f = *key.components()[0].field;
        if (f.elements == 1) {
            if (f.size == 1 && (f.type == FieldType::Byte || f.type == FieldType::String))
                return Variant::Direct;
            if (f.size >= 2 && f.size <= 4 && (isIntegerType(f.type) || f.type == FieldType::String))
                return Variant::Value;
        }
    }
    return Variant::General;
}

KeyHashIndex::KeyHashIndex(const KeySpec& key) : KeyHashIndex(variantFor(key)) {
    if (!exact_) return;
    const FieldDesc& f = *key.components()[0].field;
    keyText_ = f.type == FieldType::String;
    keySize_ = f.size;
    keyOffset_ = f.offset;
    if (!keyText_) numericField_ = key.singleNumber();
}

uint64_t KeyHashIndex::keyHash(Variant v, const KeySpec& key, const uint8_t* record) {
    switch (v) {
    case Variant::Direct: {
        const FieldDesc& f = *key.components()[0].field;
        const uint8_t b = record[f.offset];
        return f.type == FieldType::String ? collationTable()[b] : b;
    }
    case Variant::Value: {
        const FieldDesc& f = *key.components()[0].field;
        uint32_t value = 0;
        if (f.type == FieldType::String) {
            // Collated bytes, so texts that compare equal hash equal.
            const uint8_t* table = collationTable();
            for (uint32_t i = 0; i < f.size; ++i) value = value << 8 | table[record[f.offset + i]];
        } else {
            value = numericValue(record + f.offset, f.size);
        }
        return value;
    }
    case Variant::General: {
        uint64_t h = 0;
        for (const KeySpec::Component& c : key.components())
            h = std::rotr(h, 1) ^ fieldHash(*c.field, record + c.field->offset);
        return h ^ (h >> 29);
    }
    }
    return 0;
}

bool KeyHashIndex::grow() {
    const uint32_t oldCapacity = slots_ ? capacity() : 0;
    const uint32_t newCapacity = oldCapacity ? oldCapacity * 2 : kInitialCapacity;
    if (newCapacity == 0) return false;  // past 2^31 slots
    if (allocation_fault::shouldFail()) return false;
    std::unique_ptr<Slot[], FreeSlots> fresh(allocateSlots(newCapacity));
    if (!fresh) return false;
    std::unique_ptr<Slot[], FreeSlots> old = std::move(slots_);
    slots_ = std::move(fresh);
    mask_ = newCapacity - 1;
    shift_ = 64 - static_cast<uint32_t>(std::countr_zero(newCapacity));
    multiplier_ = variant_ == Variant::Value ? kSpread : uint64_t(1) << shift_;
    for (uint32_t i = 0; i < oldCapacity; ++i)
        if (old[i].rep) place(old[i]);
    return true;
}

KeyHashIndex::Slot* KeyHashIndex::allocateSlots(uint32_t count) {
    const size_t bytes = size_t(count) * sizeof(Slot);
    void* block = bytes >= platform::LargePageBytes ? platform::allocateLargePages(bytes) : std::malloc(bytes);
    if (!block) return nullptr;
    auto* slots = static_cast<Slot*>(block);
    std::uninitialized_value_construct_n(slots, count);
    return slots;
}

void KeyHashIndex::place(const Slot& slot) {
    uint32_t i = home(slot.hash);
    while (slots_[i].rep) i = (i + 1) & mask_;
    slots_[i] = slot;
}

void KeyHashIndex::erase(uint32_t index) {
    // Backward shift: every following slot of the probe run that may live
    // at the freed place moves into it.
    uint32_t hole = index;
    for (uint32_t j = (index + 1) & mask_; slots_[j].rep; j = (j + 1) & mask_) {
        const uint32_t start = home(slots_[j].hash);
        // The slot at j may move to the hole when its home is not in (hole, j].
        const bool homeBetween = hole <= j ? (start > hole && start <= j) : (start > hole || start <= j);
        if (!homeBetween) {
            slots_[hole] = slots_[j];
            hole = j;
        }
    }
    slots_[hole] = Slot{};
}

}  // namespace varnok
