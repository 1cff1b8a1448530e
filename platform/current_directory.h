// The process's current directory, as the file dialog and the profile
// functions' relative names (".\remtxa.ini") see it. It is one per process:
// a change is seen by every thread.
//
// Paths are UTF-8 texts in the system's form: on Windows with a drive (or
// share) and "\" separators. Windows itself keeps a current directory of at
// most MAX_PATH - 2 characters unless the program declares itself aware of
// long paths, so a longer folder may be refused there (Wine takes it); and
// Windows does not remove a folder that is a process's current directory.
#pragma once
#include <string>
#include <string_view>

namespace varnok::platform {

// The absolute path of the current directory; empty when it cannot be
// told (it was removed, or its path is unreadable).
std::string currentDirectory();
// Makes the folder current; "\" and "/" are both taken as separators. False
// (and nothing changes) when the path is empty or holds a zero byte, is
// missing or not a folder, or may not be entered.
bool setCurrentDirectory(std::string_view path);

}  // namespace varnok::platform
