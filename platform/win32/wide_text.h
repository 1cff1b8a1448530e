// UTF-8 inside the program, UTF-16 at the Win32 boundary: the conversions
// every Win32 half of the platform uses, and the form a path takes before it
// reaches a wide file function.
#pragma once
#include <string>
#include <string_view>

namespace varnok::platform::win32 {

// The UTF-16 form of a UTF-8 text; false (out empty) when the text is not
// valid UTF-8, which no wide function could be given unchanged.
bool toWide(std::string_view utf8, std::wstring& out);
// The UTF-8 form of a UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view wide);

// A path for the wide file functions: "/" becomes "\", and a path too long
// for the classic limit (MAX_PATH less room for an 8.3 name) is made
// absolute and given the "\\?\" prefix ("\\?\UNC\" for a share), which lifts
// the limit. Empty when the path is empty, holds a zero byte or is not
// valid UTF-8.
std::wstring widePath(std::string_view utf8);
// The absolute, normal form of a path as the system resolves it (against
// the current directory, "." and ".." taken away), at any length; the path
// itself when the system cannot resolve it.
std::wstring fullPath(const std::wstring& path);
// A path a wide function returned, as UTF-8 and without the "\\?\" prefix,
// the form the rest of the program sees.
std::string pathFromWide(std::wstring_view wide);

}  // namespace varnok::platform::win32
