// The system calls an OsFile makes on Windows, as a table the tests of the
// platform layer can change: a test replaces entries to make calls fail or
// fall short, and puts realWin32Calls() back afterwards.
#pragma once
#include <windows.h>

namespace varnok::platform {

struct Win32Calls {
    HANDLE(WINAPI* createFile)(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templateFile);
    BOOL(WINAPI* readFile)(HANDLE file, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED at);
    BOOL(WINAPI* writeFile)(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD put, LPOVERLAPPED at);
    BOOL(WINAPI* setFilePointerEx)(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method);
    BOOL(WINAPI* setEndOfFile)(HANDLE file);
    BOOL(WINAPI* getFileSizeEx)(HANDLE file, PLARGE_INTEGER size);
    BOOL(WINAPI* lockFileEx)(HANDLE file, DWORD flags, DWORD reserved, DWORD countLow, DWORD countHigh,
                             LPOVERLAPPED at);
    BOOL(WINAPI* unlockFileEx)(HANDLE file, DWORD reserved, DWORD countLow, DWORD countHigh, LPOVERLAPPED at);
    BOOL(WINAPI* closeHandle)(HANDLE handle);
    BOOL(WINAPI* deleteFile)(LPCWSTR name);
    BOOL(WINAPI* moveFileEx)(LPCWSTR from, LPCWSTR to, DWORD flags);
};
const Win32Calls& realWin32Calls();
// The table in use; assign entries (or the whole table) to redirect calls.
Win32Calls& win32Calls();

}  // namespace varnok::platform
