// Wildcards in the file arguments of a command.
//
// On POSIX systems the shell expands "*" and "?" before the program starts,
// and a word that still holds one was quoted or matched nothing: the words
// are taken as they are. On Windows neither cmd nor PowerShell expands
// them, so the program does, as Windows programs do: a word whose last
// component holds "*" or "?" becomes the names of the files it matches as
// listDirectory (platform/directory.h) lists them (ordinary, not hidden,
// case-blind), each with the folder part as the word wrote it, sorted
// without regard to case. A pattern that matches nothing stays as it is,
// so the command reports it as a file that cannot be read.
//
//   expandFileArguments({"*.txa"})     // {"a.txa", "B.txa", "c.TXA"} on Windows
//   expandFileArguments({"sub\\?.txa"}) // {"sub\\x.txa"}
#pragma once
#include <string>
#include <vector>

namespace varnok::platform {

std::vector<std::string> expandFileArguments(const std::vector<std::string>& words);

}  // namespace varnok::platform
