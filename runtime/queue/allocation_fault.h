// A seam for tests of running out of memory: every allocation of queue
// storage (entries, reference arrays, orders, hash tables, merge space) asks
// shouldFail() first. failAfter(n) makes the n-th such allocation from now on
// fail, on the calling thread only; failAfter(0) switches it off.
#pragma once

namespace varnok::allocation_fault {

void failAfter(int n);
bool shouldFail();

}  // namespace varnok::allocation_fault
