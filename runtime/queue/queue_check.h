// Debug verifier of a queue's invariants, called by the tests after every
// operation: the order list (1 to 16 orders, the current one among them,
// the others keyed), every order holding exactly the same entries, keyed and
// hashed orders sorted under their keys, hash indexes counting every entry
// under the right key, cursors inside their orders and packed entries that
// decode. A queue without a store is sound.
#pragma once
#include <string>

#include "runtime/queue/queue.h"

namespace varnok {

// True when sound; otherwise false with a description in *why (if given).
bool queueCheck(const QueueDecl* q, std::string* why = nullptr);

}  // namespace varnok
