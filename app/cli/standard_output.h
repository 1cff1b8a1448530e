// "-o -": a command's copy or export goes to standard output instead of a
// file. It is written the way every output is written (to a file, by the
// same code), under a name of this process's own in the system's temporary
// folder; then its bytes are copied to standard output and the file is
// removed. Nothing else goes to standard output then: the name a command
// prints after writing is left out.
#pragma once
#include <string>
#include <string_view>

namespace varnok::app {

inline bool namesStandardOutput(std::string_view output) { return output == "-"; }

// The file that stands in for standard output, ending in suffix (".txa").
std::string standardOutputStandIn(std::string_view suffix);

// Copies the stand-in's bytes to standard output and removes it. False
// (after reporting it for command) when it cannot be read or written.
bool copyToStandardOutput(std::string_view command, const std::string& standIn);

}  // namespace varnok::app
