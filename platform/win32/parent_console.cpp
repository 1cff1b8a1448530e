#include "platform/parent_console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace varnok::platform {

namespace {

// A standard handle that leads somewhere: a console, a file, a pipe.
bool leadsSomewhere(DWORD which) {
    HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Points stream at the attached console, and makes that the process's
// standard handle too, for whatever asks the system for it. A stream that
// still has its descriptor (1 for standard output) gets the console under
// that descriptor; one the C runtime left without a descriptor, because it
// had no handle at the start, is reopened on the console by name.
void reopenOnConsole(std::FILE* stream, DWORD which) {
    const int target = _fileno(stream);
    if (target < 0) {
        if (std::freopen("CONOUT$", "w", stream) && _fileno(stream) >= 0)
            ::SetStdHandle(which, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))));
        return;
    }
    HANDLE console = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return;
    const int opened = _open_osfhandle(reinterpret_cast<intptr_t>(console), _O_TEXT);
    if (opened < 0) {
        ::CloseHandle(console);
        return;
    }
    if (opened != target) {
        const bool moved = _dup2(opened, target) == 0;
        _close(opened);
        if (!moved) return;
    }
    ::SetStdHandle(which, reinterpret_cast<HANDLE>(_get_osfhandle(target)));
}

}  // namespace

void attachParentConsole() {
    const bool output = leadsSomewhere(STD_OUTPUT_HANDLE);
    const bool error = leadsSomewhere(STD_ERROR_HANDLE);
    if (output && error) return;
    // Fails when the parent has no console (Explorer) or this process has
    // one already; either way there is nothing to connect.
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!output) reopenOnConsole(stdout, STD_OUTPUT_HANDLE);
    if (!error) reopenOnConsole(stderr, STD_ERROR_HANDLE);
}

}  // namespace varnok::platform
