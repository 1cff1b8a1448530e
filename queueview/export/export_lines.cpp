#include "queueview/export/export_lines.h"

#include <algorithm>
#include <cstring>

#include "runtime/errors/error_codes.h"

namespace varnok::queueview {

ExportLines::ExportLines(size_t expectedLongest)
    : lines_(makeQueue(std::clamp<size_t>(expectedLongest, 1, MaxStartSize))) {}

std::unique_ptr<Queue> ExportLines::makeQueue(size_t recordSize) {
    auto q = std::make_unique<Queue>(RecordLayoutBuilder().string("Line", static_cast<uint32_t>(recordSize)).build());
    std::memset(q->buffer(), ' ', q->recordSize());
    return q;
}

bool ExportLines::add(std::string_view line) {
    if (line.size() > recordSize() && !grow(line.size())) return false;
    uint8_t* record = lines_->buffer();
    std::memcpy(record, line.data(), line.size());
    if (filled_ > line.size()) std::memset(record + line.size(), ' ', filled_ - line.size());
    filled_ = line.size();
    ADDPadded(lines_->decl(), static_cast<uint32_t>(line.size()));
    return errorCode() == NoError;
}

bool ExportLines::grow(size_t longest) {
    if (longest > UINT32_MAX / 2) {
        postError(InsufficientMemoryErr);
        return false;
    }
    std::unique_ptr<Queue> bigger = makeQueue(std::max(longest, recordSize() * 2));
    QueueDecl* from = lines_->decl();
    QueueDecl* to = bigger->decl();
    const uint32_t n = RECORDS(from);
    size_t filled = 0;
    for (uint32_t i = 1; i <= n; ++i) {
        const size_t length = GETText(from, static_cast<int32_t>(i), bigger->buffer(), ' ');
        if (errorCode() != NoError) return false;
        if (filled > length) std::memset(bigger->buffer() + length, ' ', filled - length);
        filled = length;
        ADDPadded(to, static_cast<uint32_t>(length));
        if (errorCode() != NoError) return false;
    }
    std::memset(bigger->buffer(), ' ', filled);
    lines_ = std::move(bigger);
    filled_ = 0;
    return true;
}

size_t longestValueText(const FieldDesc& field) {
    switch (field.type) {
    case FieldType::Byte:
    case FieldType::Short:
    case FieldType::UShort:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::Long:
    case FieldType::ULong:
    case FieldType::SReal:
    case FieldType::Real:
    case FieldType::Decimal:
    case FieldType::PDecimal:
        // The widest is a REAL in plain decimal: 309 digits before the point
        // for the largest, 324 places after it for the smallest.
        return std::max<size_t>(400, 2 * size_t(field.size) + 2);
    default:
        return field.size;
    }
}

}  // namespace varnok::queueview
