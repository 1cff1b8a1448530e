// The process's current directory, as the file dialog and the profile
// functions' relative names (".\remtxa.ini") see it. It is one per process:
// a change is seen by every thread.
#pragma once
#include <string>
#include <string_view>

namespace varnok::platform {

// The absolute path of the current directory; empty when it cannot be
// told (it was removed, or its path is unreadable).
std::string currentDirectory();
// Makes the folder current; "\" separators are taken as "/". False (and
// nothing changes) when the path is empty or holds a zero byte, is missing
// or not a folder, or may not be entered.
bool setCurrentDirectory(std::string_view path);

}  // namespace varnok::platform
