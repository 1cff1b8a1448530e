// QueueBatch: records made into entries of one queue ahead of time, possibly
// on another thread, and then appended by ADDBatch in one step. Lets a large
// text load on two processors: one thread ADDs the first half of the lines
// while another fills a batch with the second half.
//
// A batch codes each record exactly as ADD would store it, into memory of
// its own. Filling it reads only what never changes in the queue's store
// (layout, record size), so it may run on another thread while the owning
// thread uses the queue, as long as the queue is not released meanwhile.
// ADDBatch then appends the entries in order, as ADD of each record would
// (orders, change counter, cursor and POINTER alike), and takes over their
// memory; the buffer is left as it is.
#pragma once
#include <cstdint>

#include "runtime/queue/queue.h"
#include "runtime/queue/queue_store.h"

namespace varnok {

class QueueBatch {
public:
    // For the queue `q`, whose store this creates as CHANGES would; a batch
    // for a missing declaration stays empty and ADDBatch refuses it.
    explicit QueueBatch(QueueDecl* q);
    QueueBatch(const QueueBatch&) = delete;
    QueueBatch& operator=(const QueueBatch&) = delete;
    ~QueueBatch();  // frees entries never appended

    // The record as ADDPadded(q, significant) would store it: the bytes
    // from `significant` on must all equal the record's last byte (pass the
    // record size for no promise). False when memory runs out or the batch
    // has no store; the batch is then unchanged.
    bool add(const uint8_t* record, uint32_t significant);
    uint32_t size() const { return static_cast<uint32_t>(entries_.entries.size()); }

private:
    friend void ADDBatch(QueueDecl* q, QueueBatch& batch);
    const QueueStore* store_ = nullptr;
    QueueStore::Batch entries_;
};

// Appends a batch made for this queue (see above). Posts 7 for a missing
// declaration or a batch of another queue, 8 when memory runs out: entries
// appended until then stay, the rest are dropped. The batch is empty after.
void ADDBatch(QueueDecl* q, QueueBatch& batch);

}  // namespace varnok
