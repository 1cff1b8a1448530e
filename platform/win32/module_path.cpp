#include "platform/module_path.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace varnok::platform {

std::string modulePath() {
    // GetModuleFileNameW cuts a name that does not fit and says so only by
    // filling the buffer, so grow until it fits (paths may pass MAX_PATH).
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return win32::pathFromWide(buffer);
        }
        if (buffer.size() >= 32768) return {};  // past the longest path the system has
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace varnok::platform
