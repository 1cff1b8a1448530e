// The UTF-8 / UTF-16 boundary of the Win32 file functions: names are UTF-8
// inside the program and UTF-16 for the ...W functions, and a long name
// (past what the system takes without help) is given in its "\\?\" form.
#pragma once
#include <string>
#include <string_view>

namespace varnok::platform::win32 {

// UTF-8 to UTF-16 and back; a byte that is not UTF-8 becomes U+FFFD.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The name to give a ...W file function for a UTF-8 path: '/' becomes '\',
// and a name too long for the plain form becomes absolute and normal and is
// prefixed with "\\?\" ("\\?\UNC\" for "\\server\share\..."), which lifts
// the 260-character limit. Names that already carry a prefix stay as they are.
std::wstring systemPath(const std::string& path);

// The absolute, normal form of a name as the system resolves it (the current
// directory, "." and "..", '/' taken as '\'); the name itself when the
// system cannot resolve it.
std::wstring fullPath(const std::wstring& name);

}  // namespace varnok::platform::win32
