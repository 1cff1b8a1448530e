// Which command lines open the window instead of running a command:
//
//   varnok               the window, empty entry (or the remembered name)
//   varnok main.txa      the window with main.txa loaded
//   varnok list ...      a command (app/cli)
//
// A single argument is a file to open when it does not start with "-" and
// holds a "." or a "/": command names never do, so "varnok lsit" stays an
// unknown command while "varnok ./Makefile" opens a name without a dot.
#pragma once
#include <optional>
#include <string>

namespace varnok::app {

// The file to open in the window for `varnok FILE`; nullopt for any other
// command line (no argument at all among them).
std::optional<std::string> desktopStartFile(int argc, char** argv);

}  // namespace varnok::app
