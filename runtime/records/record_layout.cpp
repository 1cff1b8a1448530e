#include "runtime/records/record_layout.h"

#include <utility>

#include "runtime/errors/error_codes.h"
#include "runtime/errors/fatal_error.h"

namespace varnok {

RecordLayout::RecordLayout(std::vector<FieldDesc> fields, uint32_t size)
    : fields_(std::move(fields)), size_(size) {}

const FieldDesc* RecordLayout::field(int number) const {
    if (number < 1 || static_cast<size_t>(number) > fields_.size()) return nullptr;
    return &fields_[static_cast<size_t>(number) - 1];
}

// A record, a field or a dimension product that does not fit in 32 bits
// cannot be described; every offset after it would be wrong.
[[noreturn]] static void recordTooLarge() {
    fatalRuntimeError(InvalidRecordDeclarationErr, "a record cannot hold 4 GB or more");
}

static uint32_t product(const std::vector<uint32_t>& dims) {
    uint32_t n = 1;
    for (uint32_t d : dims)
        if (__builtin_mul_overflow(n, d, &n)) recordTooLarge();
    return n;
}

static uint32_t totalSizeOf(const FieldDesc& f) {
    uint32_t total;
    if (__builtin_mul_overflow(f.size, f.elements, &total)) recordTooLarge();
    return total;
}

static uint32_t advance(uint32_t offset, uint32_t bytes) {
    if (__builtin_add_overflow(offset, bytes, &offset)) recordTooLarge();
    return offset;
}

RecordLayoutBuilder& RecordLayoutBuilder::field(FieldType type, std::string name, uint32_t size,
                                                std::vector<uint32_t> dims, uint32_t places) {
    FieldDesc f;
    f.type = type;
    f.offset = offset_;
    f.size = size;
    f.elements = product(dims);
    f.dims = std::move(dims);
    f.places = places;
    f.name = std::move(name);
    offset_ = advance(offset_, totalSizeOf(f));
    fields_.push_back(std::move(f));
    return *this;
}

RecordLayoutBuilder& RecordLayoutBuilder::decimal(std::string name, uint32_t digits, uint32_t places) {
    return field(FieldType::Decimal, std::move(name), digits / 2 + 1, {}, places);
}

RecordLayoutBuilder& RecordLayoutBuilder::dim(std::vector<uint32_t> dims) {
    if (fields_.empty()) return *this;
    FieldDesc& f = fields_.back();
    if (f.type == FieldType::Group && !openGroups_.empty() && &fields_[openGroups_.back()] == &f)
        return *this;  // an open group takes its dimensions in beginGroup
    offset_ -= f.totalSize();
    f.elements = product(dims);
    f.dims = std::move(dims);
    offset_ = advance(offset_, totalSizeOf(f));
    return *this;
}

RecordLayoutBuilder& RecordLayoutBuilder::picture(std::string picture) {
    if (!fields_.empty()) fields_.back().picture = std::move(picture);
    return *this;
}

RecordLayoutBuilder& RecordLayoutBuilder::beginGroup(std::string name, std::vector<uint32_t> dims) {
    FieldDesc g;
    g.type = FieldType::Group;
    g.offset = offset_;
    g.elements = product(dims);
    g.dims = std::move(dims);
    g.name = std::move(name);
    openGroups_.push_back(fields_.size());
    fields_.push_back(std::move(g));
    return *this;
}

RecordLayoutBuilder& RecordLayoutBuilder::endGroup() {
    if (openGroups_.empty()) return *this;
    size_t index = openGroups_.back();
    openGroups_.pop_back();
    FieldDesc& g = fields_[index];
    g.size = offset_ - g.offset;  // the members of one element
    g.groupFieldCount = static_cast<uint32_t>(fields_.size() - index - 1);
    offset_ = advance(g.offset, totalSizeOf(g));
    return *this;
}

RecordLayout RecordLayoutBuilder::build() {
    while (!openGroups_.empty()) endGroup();
    RecordLayout layout(std::move(fields_), offset_);
    fields_.clear();
    offset_ = 0;
    return layout;
}

}  // namespace varnok
