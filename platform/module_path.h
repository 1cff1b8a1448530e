// The path of the running program, the way the process itself reports it
// (on Linux the target of /proc/self/exe; on Windows GetModuleFileNameW, as
// UTF-8 and without a "\\?\" prefix), so that files that live beside the
// program can be found wherever it was started from.
#pragma once
#include <string>

namespace varnok::platform {

// Absolute path of the program file; empty when the system cannot tell.
std::string modulePath();

}  // namespace varnok::platform
