// In-memory queue: an ordered table of entries of one fixed record layout,
// read and written through the declaration's record buffer. Positions are
// 1-based in the current order. Every operation except CLEAR first clears
// the calling thread's error code (see runtime/error_codes.h), so errorCode()
// afterwards tells whether it succeeded; failures post 7, 8, 30 or 75.
//
// A missing declaration (nullptr) posts error 7 and does nothing further
// (FREE and CLEAR of a missing declaration do nothing and post nothing).
// The store is created on first use; RECORDS, POINTER, CLEAR and FREE never
// create it, CHANGES does.
//
// Two behaviours worth knowing: PUT and DELETE act on the entry POINTER names
// (so GET by any key followed by PUT replaces the entry found), and after a
// DELETE, POINTER keeps its number, which then names the following entry.
// Related headers: runtime/record_reflection.h (field names and values of a
// buffer), runtime/queue_check.h (invariant check for tests).
#pragma once
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "runtime/errors/error_codes.h"
#include "runtime/queue/queue_get_ticket.h"
#include "runtime/records/record_layout.h"

namespace varnok {

class QueueStore;  // the entries, orders and views; created on first use

// The program's declaration of one queue: its buffer, its layout and its store.
struct QueueDecl {
    uint8_t* buffer = nullptr;
    const RecordLayout* layout = nullptr;
    QueueStore* store = nullptr;  // absent until the first operation that needs it
    uint32_t recordSize = 0;
    // The store's ticket for repeated searches, set and cleared with the
    // store, so that GET by key reaches it in one step.
    QueueGetTicket* ticket = nullptr;
};

// A key: signed 1-based field numbers (negative = descending), ended by the
// first 0 or by the end of the list; only the first 16 are used.
class Key {
public:
    Key(std::initializer_list<int32_t> parts) : parts_(parts), single_(singleOf(parts_)) {}
    explicit Key(std::span<const int32_t> parts) : parts_(parts.begin(), parts.end()), single_(singleOf(parts_)) {}
    std::span<const int32_t> parts() const { return parts_; }
    // The one field number the list names when it names exactly one (the
    // list ends after it or goes on with 0), else 0: lets a search by one
    // field recognise its key with one compare. Never INT32_MIN, which is
    // no field number (such a list counts as not naming one), so that value
    // can stand for "no field" in a compare with single().
    int32_t single() const { return single_; }

private:
    static int32_t singleOf(const std::vector<int32_t>& p) {
        return !p.empty() && (p.size() == 1 || p[1] == 0) && p[0] != INT32_MIN ? p[0] : 0;
    }
    std::vector<int32_t> parts_;
    int32_t single_;
};

void ADD(QueueDecl* q);                   // append at the end of the current order
void ADD(QueueDecl* q, const Key& key);   // insert where the key says (after equal keys)
// ADD(q) for a buffer whose bytes from `significant` on all equal its last
// byte (a text padded with spaces): the same entry and result, but a packed
// queue need not read the padding. The promise is the caller's to keep.
void ADDPadded(QueueDecl* q, uint32_t significant);
void GET(QueueDecl* q, int32_t position); // copy the entry at a position into the buffer
// GET(q, key), the first entry whose key equals the buffer's, is defined
// below the other declarations.
// GET(q, position) for a buffer whose bytes from `clean` on all equal its
// last byte (a text padded with spaces): the same result, but a packed queue
// writes only the bytes that differ. Returns the mark for the next call:
// from there on the buffer holds only its last byte (the record size when
// nothing is known, and after a failed GET). The promise is the caller's.
uint32_t GETPadded(QueueDecl* q, int32_t position, uint32_t clean);
// GET(q, position) of a text record for writing it out: copies the record
// not into the buffer but into `out` (room for the record size), leaving
// out a last run of `pad` (the padding after the text). Returns the bytes
// copied (the record is those and pad to the end); 0 with 30 posted when
// there is no entry there. Cursor and POINTER follow as with GET.
uint32_t GETText(QueueDecl* q, int32_t position, uint8_t* out, uint8_t pad);
// A hint that the entry at a position of the current order will be read
// soon: starts bringing it into the processor's cache. Changes nothing,
// posts nothing, and ignores a position with no entry.
void prefetchEntry(const QueueDecl* q, int32_t position);
// The step before: starts bringing in only the reference to the entry at a
// position, which prefetchEntry must read. Issued further ahead, it keeps
// prefetchEntry itself from waiting on memory.
void prefetchReference(const QueueDecl* q, int32_t position);
void PUT(QueueDecl* q);                   // replace the entry at POINTER with the buffer
void DELETE(QueueDecl* q);                // remove the entry at POINTER
void FREE(QueueDecl* q);                  // destroy all entries and orders
void SORT(QueueDecl* q, const Key& key);  // make the order for the key current
uint32_t RECORDS(QueueDecl* q);
uint32_t POINTER(QueueDecl* q);
uint32_t POSITION(QueueDecl* q);
uint32_t CHANGES(QueueDecl* q);
void CLEAR(QueueDecl* q, int how = 0);    // clear the buffer field by field
uint32_t fieldCount(const QueueDecl* q);
// Copies the entry at a position into the second view (position 0: the buffer
// itself) without touching the buffer, cursor or counter. Returns 1 when the
// position is refused (below 0 or above RECORDS), else 0.
int readForDisplay(QueueDecl* q, int32_t position);
// The second view: the record last read for display or the old version of
// the entry last replaced by PUT. nullptr when there is no store.
const uint8_t* secondView(const QueueDecl* q);
// Destroys the store and detaches it; the declaration can be used again.
void releaseQueue(QueueDecl* q);

// Clears one record image field by field (as CLEAR does for a buffer).
void clearRecord(const RecordLayout& layout, uint8_t* record, int how = 0);

// GET by key through parsing, binding and searching, for every search the
// short path below does not answer. Leaves the ticket for the next one.
void getByKeyInFull(QueueDecl* q, const Key& key);

// The first entry whose key equals the buffer's, copied into the buffer.
// A loop of searches by one numeric key is answered here, inline, from the
// ticket the previous search left (see QueueGetTicket), when the error state
// is clear, the key names the ticket's field, the declaration still has the
// store's layout and exactly one entry has the key. A search spends its time
// waiting for the slot and the entry to come from memory; the shorter the
// code around those waits, the more searches the processor keeps in flight
// at once, and a call and return are a good part of that code. Anything
// else, and the first search after any other operation, takes the full path.
inline void GET(QueueDecl* q, const Key& key) {
    const QueueGetTicket* t;
    uint8_t* buffer;
    if (q && tErrorStateClean && (t = q->ticket) && key.single() == t->field && (buffer = q->buffer) &&
        q->layout == t->layout && t->answer(buffer))
        return;
    getByKeyInFull(q, key);
}

// A queue that owns its layout, its buffer and its declaration, and releases
// its store when it goes out of scope.
class Queue {
public:
    explicit Queue(RecordLayout layout);
    ~Queue();
    Queue(const Queue&) = delete;
    Queue& operator=(const Queue&) = delete;

    QueueDecl* decl() { return &decl_; }
    operator QueueDecl*() { return &decl_; }
    uint8_t* buffer() { return buffer_.data(); }
    const uint8_t* buffer() const { return buffer_.data(); }
    const RecordLayout& layout() const { return layout_; }
    uint32_t recordSize() const { return layout_.size(); }

private:
    RecordLayout layout_;
    std::vector<uint8_t> buffer_;
    QueueDecl decl_;
};

}  // namespace varnok
