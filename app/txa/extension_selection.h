// Ticking extension instances for removal. A row is ticked when RemoveThis
// is 1; REM:Icon always follows as 1 + RemoveThis. The row a command works
// on is the list's highlighted row (0 when none).
#pragma once
#include <cstdint>

#include "runtime/queue/queue.h"

namespace varnok::app {

// Toggles the highlighted row. Returns the row the list should highlight
// next: the same row, or row 1 when none was highlighted.
int32_t toggleRow(QueueDecl* extensionQ, int32_t choice);

// Spreads the highlighted row's state to every instance of its extension
// name (byte for byte over the 64-character field), after asking "Select
// all the instances of: NAME" (a ticked row) or "Deselect all the instances
// of: NAME" (an unticked row). Returns true when the user said Yes.
bool selectAllLike(QueueDecl* extensionQ, int32_t choice);

// The rows ticked. Reads for display, so the queue's buffer, cursor and
// change counter stay as they were.
uint32_t tickedCount(QueueDecl* extensionQ);

// Ticks or unticks one row; false when there is no such row.
bool setTicked(QueueDecl* extensionQ, int32_t row, bool ticked);

}  // namespace varnok::app
