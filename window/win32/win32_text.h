// Texts at the Win32 boundary: the program's texts are UTF-8 (a text that is
// not valid UTF-8 is read as Windows-1252, the TXA files' code page), list
// cells are Windows-1252 as the TXA data holds them, and what a control
// gives back is UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace varnok::window::win32 {

std::wstring programWide(std::string_view text);
std::wstring cp1252Wide(std::string_view text);
std::string wideProgram(std::wstring_view text);

}  // namespace varnok::window::win32
