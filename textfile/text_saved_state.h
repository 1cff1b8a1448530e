// Saved copies of a text file's driver state and record buffer (GETSTATE,
// RESTORESTATE, FREESTATE). A handle is valid from GETSTATE until FREESTATE;
// the driver keeps the set of live handles, so a stale or foreign handle is
// refused instead of being read.
#pragma once
#include <cstdint>

#include "textfile/text_control_block.h"

namespace varnok::textfile {

// A new handle holding the positions, options and record of the file.
void* saveState(const TextControlBlock& cb);
// Puts a saved state back: 78 for a null or unknown handle, or one saved
// from a file with another record size.
int32_t restoreState(TextControlBlock& cb, void* handle);
// Discards a handle; null and unknown handles are ignored.
void freeState(void* handle);

}  // namespace varnok::textfile
