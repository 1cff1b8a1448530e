// Progress: how far a long load or save has come, in bytes of a total.
//
// TxaLines tells it after each piece of work: each chunk a load reads (the
// last one of a whole read has done == total, the file's size), about every
// mebibyte a save writes (against the size the lines were loaded from, as
// the written size is known only at the end) and once when the saved file
// is in place, with done == total == the bytes written. Done never goes
// back. An empty file reports nothing.
// It is called on the working thread in the middle of the work, so it must
// be quick and must not touch the lines; it cannot stop the work.
#pragma once
#include <cstdint>

namespace varnok::app {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void advanced(uint64_t done, uint64_t total) = 0;
    // The caller's work is over, before its outcome is told (TxaLines never
    // calls it; the load or the removal around it does).
    virtual void ended() {}
};

}  // namespace varnok::app
