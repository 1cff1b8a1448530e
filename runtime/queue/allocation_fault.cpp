#include "runtime/queue/allocation_fault.h"

namespace varnok::allocation_fault {

namespace {
thread_local int countdown = 0;  // 0: never fail
}

void failAfter(int n) { countdown = n > 0 ? n : 0; }

bool shouldFail() {
    if (countdown == 0) return false;
    return --countdown == 0;
}

}  // namespace varnok::allocation_fault
