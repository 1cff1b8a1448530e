// Creating temporary files and clearing away stale ones on Windows.
#include "platform/temporary_files.h"

#include <windows.h>

#include <atomic>
#include <cerrno>

#include "platform/win32/system_errors.h"
#include "platform/win32/wide_text.h"

namespace varnok::platform {

namespace {

// A folder and a name in it, with one separator between them.
std::string inFolder(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

}  // namespace

bool processEnded(long pid) {
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                         static_cast<DWORD>(pid));
    // No such process; any other refusal (another user's process) leaves it
    // running as far as we know.
    if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER;
    // A process that has ended may be held open by others: it is signalled.
    const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
}

long currentProcessId() { return static_cast<long>(::GetCurrentProcessId()); }

size_t removeStaleTemporaryFiles(const std::string& folder) {
    const std::string where = folder.empty() ? "." : folder;
    WIN32_FIND_DATAW entry{};
    const HANDLE search = ::FindFirstFileExW(win32::widePath(inFolder(where, "*")).c_str(), FindExInfoBasic, &entry,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return 0;
    const long self = currentProcessId();
    size_t removed = 0;
    do {
        const std::string name = win32::toUtf8(entry.cFileName);
        const long pid = temporaryFileProcess(name);
        if (pid == 0 || pid == self) continue;
        // Links (and other reparse points) and folders are never removed.
        if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) continue;
        if (!processEnded(pid)) continue;
        if (::DeleteFileW(win32::widePath(inFolder(where, name)).c_str())) ++removed;
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return removed;
}

intptr_t createTemporaryBeside(const std::string& target, std::string& name) {
    removeStaleTemporaryFiles(folderOfPath(target));
    static std::atomic<unsigned> serial{0};
    const long pid = currentProcessId();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = temporaryNameFor(target, pid, ++serial);
        // CREATE_NEW never opens an existing name, a link included. Nobody
        // else may open the file while it is being written.
        const HANDLE file = ::CreateFileW(win32::widePath(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            name = std::move(candidate);
            return reinterpret_cast<intptr_t>(file);
        }
        const DWORD failure = ::GetLastError();
        if (failure != ERROR_FILE_EXISTS && failure != ERROR_ALREADY_EXISTS) {
            win32::errnoFromLastError();
            return -1;
        }
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    errno = EEXIST;
    return -1;
}

}  // namespace varnok::platform
