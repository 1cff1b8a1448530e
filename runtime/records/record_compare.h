// Comparison of record fields by their type, and of whole records by a key.
//
// Numbers compare by value (floating values in a total order: -0 equals 0,
// NaN sorts after every number and equals NaN); DECIMAL by value; STRING,
// CSTRING and PSTRING as texts padded with spaces through the collation
// table; a GROUP as a text of its bytes; other types byte by byte. An array
// field compares element by element. fieldHash agrees with the comparison:
// fields that compare equal hash equal.
#pragma once
#include <cstdint>
#include <algorithm>
#include <span>
#include <vector>

#include "runtime/records/record_layout.h"

namespace varnok {

// a and b point at the field's first element inside two records.
int compareField(const FieldDesc& f, const uint8_t* a, const uint8_t* b);
uint64_t fieldHash(const FieldDesc& f, const uint8_t* p);

// The text of a CSTRING or PSTRING element as (start, length); a STRING is
// its whole size.
struct TextSpan {
    const uint8_t* data;
    uint32_t length;
};
TextSpan fieldText(FieldType type, const uint8_t* p, uint32_t size);

// A key: 1 to 16 components, each a field of the layout,
// descending when its number was negative.
class KeySpec {
public:
    struct Component {
        const FieldDesc* field;
        bool descending;
    };
    static constexpr size_t kMaxComponents = 16;

    KeySpec() = default;
    KeySpec(const KeySpec& other) { *this = other; }
    KeySpec& operator=(const KeySpec& other) {
        count_ = other.count_;
        size_ = other.size_;
        limit_ = other.limit_;
        std::copy(other.numbers_, other.numbers_ + count_, numbers_);
        std::copy(other.components_, other.components_ + count_, components_);
        return *this;
    }
    // Reads the components up to the first 0, at most 16. Returns 0, or 75
    // when a component names a field past the last one (key left empty).
    int parse(const RecordLayout& layout, std::span<const int32_t> parts);

    bool empty() const { return count_ == 0; }
    // The field number of a one-component key, else 0.
    int32_t singleNumber() const { return count_ == 1 ? numbers_[0] : 0; }
    void clear() {
        count_ = 0;
        size_ = limit_ = 0;
    }
    size_t componentCount() const { return count_; }
    std::vector<int32_t> numbers() const { return {numbers_, numbers_ + count_}; }
    std::span<const Component> components() const { return {components_, count_}; }
    uint32_t size() const { return size_; }    // bytes of the key fields
    uint32_t limit() const { return limit_; }  // record bytes the key reaches
    bool sameAs(const KeySpec& other) const {
        return count_ == other.count_ && std::equal(numbers_, numbers_ + count_, other.numbers_);
    }

    // True when parsing `parts` against the layout this key was read from
    // gives this very key: the same numbers, then the end of the list, a 0
    // or the 16-component limit. Lets a repeated key skip parsing.
    bool readsAs(std::span<const int32_t> parts) const {
        if (count_ == 1)  // the usual key, answered without a loop
            return !parts.empty() && parts[0] == numbers_[0] && (parts.size() == 1 || parts[1] == 0);
        if (parts.size() < count_) return false;
        for (size_t i = 0; i < count_; ++i)
            if (parts[i] != numbers_[i]) return false;
        return count_ == kMaxComponents || parts.size() == count_ || parts[count_] == 0;
    }

    // The searched record minus the entry: < 0 when `searched` sorts first.
    int compare(const uint8_t* searched, const uint8_t* entry) const {
        for (size_t i = 0; i < count_; ++i) {
            const Component& c = components_[i];
            const int r = compareField(*c.field, searched + c.field->offset, entry + c.field->offset);
            if (r != 0) return c.descending ? (r < 0 ? 1 : -1) : r;
        }
        return 0;
    }

private:
    // Fixed room for 16 components: keys are parsed on every keyed call and
    // must neither allocate nor clear the room (only count_ entries are valid).
    int32_t numbers_[kMaxComponents];
    Component components_[kMaxComponents];
    size_t count_ = 0;
    uint32_t size_ = 0;
    uint32_t limit_ = 0;
};

}  // namespace varnok
