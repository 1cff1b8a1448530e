#include "platform/current_directory.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace varnok::platform {

std::string currentDirectory() {
    std::wstring here(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetCurrentDirectoryW(DWORD(here.size()), here.data());
        if (n == 0) return {};
        if (n < here.size()) {
            here.resize(n);
            return win32::pathFromWide(here);
        }
        here.resize(n);  // n counts the terminating zero when the path did not fit
    }
}

bool setCurrentDirectory(std::string_view path) {
    // A zero byte would cut the name short and name another folder.
    if (path.empty() || path.find('\0') != std::string_view::npos) return false;
    const std::wstring native = win32::widePath(path);
    return !native.empty() && ::SetCurrentDirectoryW(native.c_str()) != 0;
}

}  // namespace varnok::platform
