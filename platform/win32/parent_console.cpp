#include "platform/parent_console.h"

#include <windows.h>

#include <cstdio>

namespace varnok::platform {

namespace {

// A standard handle that leads somewhere: a console, a file, a pipe.
bool leadsSomewhere(DWORD which) {
    HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Reopens stream on the attached console and makes it the process's
// standard handle too, for whatever asks the system for it.
void reopenOnConsole(std::FILE* stream, DWORD which) {
    if (!std::freopen("CONOUT$", "w", stream)) return;
    HANDLE console = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) ::SetStdHandle(which, console);
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
