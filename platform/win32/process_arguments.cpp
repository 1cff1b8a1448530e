#include "platform/process_arguments.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

#include "platform/win32/wide_text.h"

namespace varnok::platform {

namespace {

UINT consoleCodePageBefore = 0;

bool hasStandardHandle(DWORD which) {
    HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void restoreConsoleCodePage() {
    if (consoleCodePageBefore != 0) ::SetConsoleOutputCP(consoleCodePageBefore);
}

}  // namespace

std::vector<std::string> processArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!words) return arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(win32::toUtf8(words[i]));
    ::LocalFree(words);
    return arguments;
}

void prepareConsoleOutput() {
    std::fflush(stdout);
    std::fflush(stderr);
    // A GUI-subsystem program may have no standard handles at all (started
    // from Explorer); the C runtime refuses its streams' modes then.
    if (hasStandardHandle(STD_OUTPUT_HANDLE)) _setmode(_fileno(stdout), _O_BINARY);
    if (hasStandardHandle(STD_ERROR_HANDLE)) _setmode(_fileno(stderr), _O_BINARY);
    // Only a console has a code page to set; a file or pipe takes the bytes.
    const UINT before = ::GetConsoleOutputCP();
    if (before != 0 && before != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8) && consoleCodePageBefore == 0) {
        consoleCodePageBefore = before;
        std::atexit(restoreConsoleCodePage);
    }
}

}  // namespace varnok::platform
