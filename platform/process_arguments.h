// The program's arguments and its standard output, the same on every
// system: arguments arrive as UTF-8 texts, and what the program writes to
// standard output and standard error reaches a file or pipe byte for byte.
//
// On Windows argv holds the arguments in the ANSI code page, which loses
// every character outside it, so the arguments are read from the process's
// own UTF-16 command line instead (GetCommandLineW, CommandLineToArgvW). The
// C runtime would turn each "\n" written into "\r\n"; both streams are put
// in binary mode instead, and the console is set to show UTF-8 (its output
// code page is put back when the program ends).
#pragma once
#include <string>
#include <vector>

namespace varnok::platform {

// The arguments as UTF-8, the program's name first: argv as given, or on
// Windows the process's command line (argc and argv are then not used).
std::vector<std::string> processArguments(int argc, char** argv);

// Prepares standard output and standard error for the program's UTF-8
// bytes (see above). Nothing to do on Linux. Call once, before writing.
void prepareConsoleOutput();

}  // namespace varnok::platform
