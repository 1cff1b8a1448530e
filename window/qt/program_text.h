// Program texts as Qt strings. The program keeps its texts as bytes: its own
// messages and file names in UTF-8, the contents of TXA files (which lists
// show) in Windows-1252.
//
// fromProgram reads UTF-8 and falls back to Windows-1252 for bytes that are
// not valid UTF-8, so a TXA name quoted in a message shows right either way.
// toProgram writes UTF-8. fromWindows1252 is for data read from queues.
#pragma once
#include <QString>
#include <string>
#include <string_view>

namespace varnok::window::qt {

QString fromProgram(std::string_view text);
std::string toProgram(const QString& text);
QString fromWindows1252(std::string_view text);

}  // namespace varnok::window::qt
