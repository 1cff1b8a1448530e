#include "runtime/queue/queue_batch.h"

namespace varnok {

QueueBatch::QueueBatch(QueueDecl* q) {
    if (!q || !q->buffer || !q->layout) return;
    CHANGES(q);  // creates the store
    store_ = q->store;
}

QueueBatch::~QueueBatch() {
    if (store_) store_->dropBatch(entries_);
}

bool QueueBatch::add(const uint8_t* record, uint32_t significant) {
    if (!store_) return false;
    if (significant > store_->recordSize) significant = store_->recordSize;
    return store_->makeBatchEntry(entries_, record, significant);
}

}  // namespace varnok
