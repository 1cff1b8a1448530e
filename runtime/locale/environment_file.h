// The environment file: settings beside the program that replace the
// locale defaults. Its name is the program's path with the extension
// replaced by ".ENV".
//
// Format: lines separated by CR or LF; a character 26 ends the file. A line
// "key=value" has its blanks dropped from the key (cut to 31 characters);
// a line without '=' is skipped. The value (cut to 1024 characters) loses
// its trailing blanks and tabs, then "<n>" escapes are expanded: '<', the
// decimal code of a character 1..255, and one more character (normally '>')
// that is dropped; "<<" is one '<'; any other '<' is kept as written. Each
// line is handed to applySetting (runtime/locale.h). While the file is read,
// ORVCHARSET may switch the OEM flag; it is put back afterwards.
#pragma once
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace varnok {

constexpr size_t MaxEnvironmentKeyLength = 31;
constexpr size_t MaxEnvironmentValueLength = 1024;

// The program's path with everything after the last '.' of the file name
// replaced by ".ENV" (appended when the name has no '.').
std::string environmentFilePath(std::string_view programPath);

// Reads and applies a file; false (and nothing applied) when it cannot be
// opened, which is not an error.
bool readEnvironmentFile(const std::string& path);
// Applies the settings of a file's text.
void readEnvironmentText(std::string_view text);
// The same read from a stream in pieces of 2048 bytes, as files are read.
void readEnvironmentStream(std::istream& in);

// The value with its "<n>" escapes expanded.
std::string expandEscapes(std::string_view value);
// Splits a value into list items. A value that begins with '"' is a list of
// items separated by commas or blanks, where an item in double quotes may
// hold commas and blanks and "" stands for one '"'. Any other value is split
// at its commas only, and its quotes and blanks are ordinary characters.
std::vector<std::string> splitListItems(std::string_view value);

}  // namespace varnok
