// RecordLayout: the description of one fixed-layout record as a flat list of
// fields in declaration order. Queues, the text driver, comparisons, packing
// and record reflection all work from this one description.
//
// Invariants:
//  - field numbers are 1-based indexes into fields(); a GROUP counts as a field
//    and its members follow it directly (groupFieldCount of them, all levels);
//  - every field lies inside the record: offset + size * elements <= size();
//  - a member's offset lies inside its group's first element.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/records/field_type.h"

namespace varnok {

struct FieldDesc {
    FieldType type = FieldType::End;
    uint32_t offset = 0;              // byte offset of the first element in the record
    uint32_t size = 0;                // bytes of one element (a GROUP: its members' bytes)
    uint32_t elements = 1;            // product of the dimensions; 1 for a scalar
    std::vector<uint32_t> dims;       // empty for a scalar
    uint32_t places = 0;              // DECIMAL and PDECIMAL: decimal places
    uint32_t groupFieldCount = 0;     // GROUP: number of fields inside it, all levels
    std::string name;                 // label, possibly with a prefix ("REM:Icon")
    std::string picture;              // optional display picture ("@n-15.2")

    uint32_t totalSize() const { return size * elements; }
};

class RecordLayout {
public:
    RecordLayout() = default;
    RecordLayout(std::vector<FieldDesc> fields, uint32_t size);

    uint32_t size() const { return size_; }
    uint32_t fieldCount() const { return static_cast<uint32_t>(fields_.size()); }
    // 1-based; nullptr past the last field or for 0.
    const FieldDesc* field(int number) const;
    const std::vector<FieldDesc>& fields() const { return fields_; }

private:
    std::vector<FieldDesc> fields_;
    uint32_t size_ = 0;
};

// Builds a layout field by field; offsets follow declaration order with no
// padding. Example: the lines of a text file
//     RecordLayout lines = RecordLayoutBuilder().string("Lyn", 1024).build();
class RecordLayoutBuilder {
public:
    RecordLayoutBuilder& field(FieldType type, std::string name, uint32_t size,
                               std::vector<uint32_t> dims = {}, uint32_t places = 0);
    RecordLayoutBuilder& byte(std::string name) { return field(FieldType::Byte, std::move(name), 1); }
    RecordLayoutBuilder& shortField(std::string name) { return field(FieldType::Short, std::move(name), 2); }
    RecordLayoutBuilder& ushortField(std::string name) { return field(FieldType::UShort, std::move(name), 2); }
    RecordLayoutBuilder& longField(std::string name) { return field(FieldType::Long, std::move(name), 4); }
    RecordLayoutBuilder& ulongField(std::string name) { return field(FieldType::ULong, std::move(name), 4); }
    RecordLayoutBuilder& sreal(std::string name) { return field(FieldType::SReal, std::move(name), 4); }
    RecordLayoutBuilder& real(std::string name) { return field(FieldType::Real, std::move(name), 8); }
    RecordLayoutBuilder& date(std::string name) { return field(FieldType::Date, std::move(name), 4); }
    RecordLayoutBuilder& time(std::string name) { return field(FieldType::Time, std::move(name), 4); }
    // DECIMAL(digits, places): digits / 2 + 1 bytes of packed decimal.
    RecordLayoutBuilder& decimal(std::string name, uint32_t digits, uint32_t places);
    RecordLayoutBuilder& string(std::string name, uint32_t size) { return field(FieldType::String, std::move(name), size); }
    RecordLayoutBuilder& cstring(std::string name, uint32_t size) { return field(FieldType::CString, std::move(name), size); }
    RecordLayoutBuilder& pstring(std::string name, uint32_t size) { return field(FieldType::PString, std::move(name), size); }
    // Sets the dimensions of the field added last (an array).
    RecordLayoutBuilder& dim(std::vector<uint32_t> dims);
    RecordLayoutBuilder& picture(std::string picture);
    RecordLayoutBuilder& beginGroup(std::string name, std::vector<uint32_t> dims = {});
    RecordLayoutBuilder& endGroup();
    RecordLayout build();

private:
    std::vector<FieldDesc> fields_;
    std::vector<size_t> openGroups_;  // indexes into fields_
    uint32_t offset_ = 0;
};

}  // namespace varnok
