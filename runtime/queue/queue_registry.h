// The registry of live queues, and the queue-reference field that names one.
//
// A record can hold a reference to a queue only as bytes, and bytes can be
// anything; so a reference is never an address. Each queue is registered
// under a handle when its store is created (its first use) and unregistered
// when releaseQueue destroys the store; a queue-reference field holds that
// handle, four bytes little-endian. Following a reference asks the registry,
// which answers the queue only while it is alive:
//
//     uint8_t* field = record + offset;           // a QUEUE field, 4 bytes
//     storeQueueReference(field, &otherQ);        // registers otherQ if needed
//     QueueDecl* q = liveQueue(loadQueueReference(field));  // nullptr once released
//
// Handles are 1, 2, 3, ... in the order queues register, and are never
// reused while the process runs: a released queue's handle names nothing
// from then on, and a new queue at the same address gets a new handle. 0 is
// no queue. Handles whose highest byte is a space (0x20) are skipped, so a
// reference's four bytes never lose their last one to trailing-space
// trimming when a record is shown as text. When the 32-bit numbers run out,
// later queues get no handle (0) and cannot be referred to; so does a queue
// whose registration finds no memory.
//
// A queue registers once: a second registration answers the handle it has.
// The registry serves every thread; it keeps only the declaration's
// address, never touches the queue itself, and costs one lock and one map
// update per store created or released.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/queue/queue.h"
#include "runtime/records/record_layout.h"

namespace varnok {

// Registers the queue (its store exists) and answers its handle; the handle
// it already has when registered; 0 for nullptr or when handles ran out.
uint32_t registerQueue(QueueDecl* q);
// Forgets the queue; its handle names nothing from now on.
void unregisterQueue(const QueueDecl* q);

// The live queue a handle names; nullptr for 0, an unknown handle or a
// released queue.
QueueDecl* liveQueue(uint32_t handle);
// The handle of a registered queue; 0 when it is not registered.
uint32_t queueHandle(const QueueDecl* q);
// Number of registered queues.
size_t liveQueueCount();

// ---- the queue-reference field (FieldType::Queue, 4 bytes)

inline constexpr uint32_t QueueReferenceSize = 4;

// The handle a reference to the queue carries: its handle, creating the
// store first when the queue has none yet (which registers it). 0 for
// nullptr or a declaration whose store cannot be made.
uint32_t queueReference(QueueDecl* q);
// Writes a reference to the queue (0 for nullptr) into a 4-byte field.
void storeQueueReference(uint8_t* field, QueueDecl* q);
// The handle held in a 4-byte field.
uint32_t loadQueueReference(const uint8_t* field);
// The live queue named by the four characters of a cell (the text of a
// queue-reference field); nullptr when the text is not four characters long
// or names no live queue.
QueueDecl* queueFromReferenceText(std::string_view text);

// Appends a queue-reference field to a layout being built.
RecordLayoutBuilder& addQueueReference(RecordLayoutBuilder& builder, std::string name);

// Tests only: makes the next handle at least `next` (never lower, so no
// handle is reused).
void skipQueueHandlesTo(uint32_t next);

}  // namespace varnok
