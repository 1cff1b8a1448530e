#include "framework/windows/queue_list_source.h"

#include "runtime/records/record_reflection.h"

namespace varnok::framework {

int32_t QueueListSource::rowCount() { return static_cast<int32_t>(RECORDS(queue_)); }

uint32_t QueueListSource::changeStamp() { return CHANGES(queue_); }

std::string QueueListSource::fieldText(int32_t row, int field) {
    if (!queue_ || !queue_->layout || row < 1 || row > rowCount()) return {};
    const uint32_t stamp = CHANGES(queue_);
    if (row != cachedRow_ || stamp != cachedStamp_ || cached_.empty()) {
        if (readForDisplay(queue_, row) != 0) return {};
        const uint8_t* view = secondView(queue_);
        if (!view) return {};
        cached_.assign(view, view + queue_->recordSize);
        cachedRow_ = row;
        cachedStamp_ = stamp;
        ++reads_;
    }
    return reflectFieldValue(*queue_->layout, cached_.data(), field);
}

}  // namespace varnok::framework
