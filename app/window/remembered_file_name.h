// The last TXA file name, remembered between runs in ".\remtxa.ini" in the
// current directory (section "TXA", key "FileName"), so the program started
// from another folder remembers another name.
//
// Reading gives the empty text when the file or the key is missing, and
// the value whole (up to the profile read's 1023 characters): the window
// leaves out one too long for its entry rather than cut it. Writing stores the name without trailing spaces, also when it is
// empty (the key is then present with no value); a failed write is not
// reported.
#pragma once
#include <string>
#include <string_view>

namespace varnok::app {

inline constexpr std::string_view RememberedNameFile = ".\\remtxa.ini";
inline constexpr std::string_view RememberedNameSection = "TXA";
inline constexpr std::string_view RememberedNameKey = "FileName";

std::string readRememberedFileName();
void writeRememberedFileName(std::string_view name);

}  // namespace varnok::app
