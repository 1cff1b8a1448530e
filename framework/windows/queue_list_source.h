// QueueListSource: a list control showing a queue directly. It reads an
// entry through the queue's read-for-display (runtime/queue/queue.h), which
// leaves the queue's buffer, cursor and change counter alone, and reports
// the queue's CHANGES value, so the list redraws exactly when the queue
// changed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/queue/queue.h"
#include "window/list_source.h"

namespace varnok::framework {

class QueueListSource : public window::ListSource {
public:
    explicit QueueListSource(QueueDecl* queue) : queue_(queue) {}
    int32_t rowCount() override;
    std::string fieldText(int32_t row, int field) override;
    uint32_t changeStamp() override;
    QueueDecl* queue() const { return queue_; }

    // Rows read from the queue since construction (tests count the reads of
    // a scroll).
    uint64_t reads() const { return reads_; }

private:
    QueueDecl* queue_;
    // The last row read, copied out of the second view (which a PUT or
    // another list over the same queue may overwrite), with the CHANGES value
    // it was read under: the cells of one row cost one read.
    std::vector<uint8_t> cached_;
    int32_t cachedRow_ = 0;
    uint32_t cachedStamp_ = 0;
    uint64_t reads_ = 0;
};

}  // namespace varnok::framework
