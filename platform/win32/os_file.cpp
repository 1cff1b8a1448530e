// The Windows half of OsFile (platform/os_file.h): handles from CreateFileW
// with the sharing modes given to the system as they are, positioned reads
// and writes through OVERLAPPED offsets, and the file lock as LockFileEx on
// one byte beyond any real data.
#include "platform/os_file.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/temporary_files.h"
#include "platform/win32/system_errors.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_calls.h"

namespace varnok::platform {

namespace {

const Win32Calls kRealCalls = {
    ::CreateFileW, ::ReadFile,   ::WriteFile,   ::SetFilePointerEx, ::SetEndOfFile, ::GetFileSizeEx,
    ::LockFileEx,  ::UnlockFileEx, ::CloseHandle, ::DeleteFileW,     ::MoveFileExW,
};

Win32Calls gCalls = kRealCalls;

// True when the fault hook fails this call; the thread's last error is then
// the device fault the call would have met.
bool faulted(OsCall call) {
    if (!osFaultHookFails(call)) return false;
    const bool writes = call == OsCall::Write || call == OsCall::Truncate;
    ::SetLastError(writes ? ERROR_WRITE_FAULT : ERROR_READ_FAULT);
    return true;
}

// The file lock's byte, as on every system far beyond any real data: Windows
// locks are binding, so a lock over data would stop other opens' reads.
constexpr uint64_t kFileLockByte = (uint64_t{1} << 62) + 8;

// One call moves at most this much (a DWORD counts the bytes).
constexpr size_t kLargestTransfer = size_t{1} << 30;

HANDLE handleOf(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

OVERLAPPED at(uint64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

int32_t lastErrorCode(OsActivity activity) { return osErrorCode(static_cast<int>(::GetLastError()), activity); }

// The system's own share flags for a sharing mode. Compatible denies
// nothing, as deny-none does.
DWORD shareFlags(FileSharing sharing) {
    switch (sharing) {
    case FileSharing::DenyAll: return 0;
    case FileSharing::DenyWrite: return FILE_SHARE_READ;
    case FileSharing::DenyRead: return FILE_SHARE_WRITE;
    case FileSharing::Compatible:
    case FileSharing::DenyNone: break;
    }
    return FILE_SHARE_READ | FILE_SHARE_WRITE;
}

// A single read: 0 bytes at or past the end.
bool readOnce(HANDLE file, uint64_t offset, void* buffer, size_t count, DWORD& got) {
    got = 0;
    if (faulted(OsCall::Read)) return false;
    OVERLAPPED where = at(offset);
    const DWORD ask = static_cast<DWORD>(std::min(count, kLargestTransfer));
    if (gCalls.readFile(file, buffer, ask, &got, &where)) return true;
    if (::GetLastError() != ERROR_HANDLE_EOF) return false;
    got = 0;
    return true;
}

bool writeOnce(HANDLE file, uint64_t offset, const void* buffer, size_t count, DWORD& put) {
    put = 0;
    const DWORD ask = static_cast<DWORD>(std::min(count, kLargestTransfer));
    OVERLAPPED where = at(offset);
    if (faulted(OsCall::Write)) {
        DWORD part = 0;
        gCalls.writeFile(file, buffer, ask / 2, &part, &where);  // cut short part way
        ::SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return gCalls.writeFile(file, buffer, ask, &put, &where) != 0;
}

}  // namespace

const Win32Calls& realWin32Calls() { return kRealCalls; }
Win32Calls& win32Calls() { return gCalls; }

int32_t osErrorCode(int error, OsActivity /*activity*/) {
    switch (static_cast<DWORD>(error)) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND: return 2;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return 3;
    case ERROR_TOO_MANY_OPEN_FILES: return 4;
    case ERROR_ACCESS_DENIED: return 5;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return 8;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return 32;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return 45;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return 339;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return 380;
    default: break;
    }
    // The rest of the operating-system group: 300 plus the system's number,
    // where the runtime's table has that number.
    const bool listed = (error >= 1 && error <= 13) || (error >= 15 && error <= 39) || (error >= 50 && error <= 72) ||
                        (error >= 80 && error <= 88) || error == 90 || error == 91;
    return listed ? 300 + error : 90;
}

OsFile::~OsFile() { close(); }

int32_t OsFile::open(const std::string& path, FileAccess access, FileSharing sharing, bool create) {
    close();
    if (path.empty()) return 45;
    const bool reads = access != FileAccess::WriteOnly;
    const bool writes = access != FileAccess::ReadOnly;
    // Exactly the access asked for: the system weighs it against the other
    // opens' sharing. Reading attributes never counts there.
    const DWORD desired = FILE_READ_ATTRIBUTES | (reads ? GENERIC_READ : 0) | (writes ? GENERIC_WRITE : 0);
    if (faulted(OsCall::Open)) return lastErrorCode(OsActivity::Open);
    const HANDLE file = gCalls.createFile(win32::widePath(path).c_str(), desired, shareFlags(sharing), nullptr,
                                          create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lastErrorCode(OsActivity::Open);
    handle_ = reinterpret_cast<intptr_t>(file);
    // A folder opens only with backup semantics, so it never gets here;
    // devices and pipes do, and have no size.
    regular_ = ::GetFileType(file) == FILE_TYPE_DISK;
    sizeAtOpen_ = 0;
    if (regular_) {
        LARGE_INTEGER bytes{};
        if (faulted(OsCall::Size) || !gCalls.getFileSizeEx(file, &bytes)) {
            const int32_t code = lastErrorCode(OsActivity::Open);
            close();
            return code;
        }
        sizeAtOpen_ = static_cast<uint64_t>(bytes.QuadPart);
    }
    writable_ = writes;
    readable_ = reads;
    lockable_ = true;  // LockFileEx takes either access
    return 0;
}

int32_t OsFile::close() {
    if (handle_ == kNoHandle) return 0;
    const HANDLE file = handleOf(handle_);
    // Locks go with the handle anyway, but only some time after it closes:
    // this open's lock is given back first, so the next open finds it free.
    if (locked_) unlock();
    handle_ = kNoHandle;
    writable_ = readable_ = lockable_ = regular_ = locked_ = false;
    const bool fail = faulted(OsCall::Close);
    const DWORD failure = ::GetLastError();
    if (!gCalls.closeHandle(file)) return lastErrorCode(OsActivity::Other);
    return fail ? osErrorCode(static_cast<int>(failure), OsActivity::Other) : 0;
}

int32_t OsFile::readAt(uint64_t offset, void* buffer, size_t count, size_t& got) {
    got = 0;
    if (handle_ == kNoHandle) return 37;
    if (!readable_) return 5;
    auto* out = static_cast<char*>(buffer);
    while (got < count) {
        DWORD n = 0;
        if (!readOnce(handleOf(handle_), offset + got, out + got, count - got, n)) {
            return lastErrorCode(OsActivity::Read);
        }
        if (n == 0) break;
        got += n;
    }
    return 0;
}

int32_t OsFile::readSomeAt(uint64_t offset, void* buffer, size_t count, size_t& got) {
    got = 0;
    if (handle_ == kNoHandle) return 37;
    if (!readable_) return 5;
    DWORD n = 0;
    if (!readOnce(handleOf(handle_), offset, buffer, count, n)) return lastErrorCode(OsActivity::Read);
    got = n;
    return 0;
}

int32_t OsFile::writeAt(uint64_t offset, const void* buffer, size_t count, size_t& written) {
    written = 0;
    if (handle_ == kNoHandle) return 37;
    if (!writable_) return 5;
    const auto* in = static_cast<const char*>(buffer);
    while (written < count) {
        DWORD n = 0;
        if (!writeOnce(handleOf(handle_), offset + written, in + written, count - written, n)) {
            return lastErrorCode(OsActivity::Write);
        }
        if (n == 0) return osErrorCode(ERROR_HANDLE_DISK_FULL, OsActivity::Write);
        written += n;
    }
    return 0;
}

int32_t OsFile::truncate(uint64_t length) {
    if (handle_ == kNoHandle) return 37;
    if (!writable_) return 5;
    LARGE_INTEGER where{};
    where.QuadPart = static_cast<LONGLONG>(length);
    if (faulted(OsCall::Truncate) || !gCalls.setFilePointerEx(handleOf(handle_), where, nullptr, FILE_BEGIN) ||
        !gCalls.setEndOfFile(handleOf(handle_))) {
        return lastErrorCode(OsActivity::Write);
    }
    return 0;
}

int32_t OsFile::size(uint64_t& bytes) {
    bytes = 0;
    if (handle_ == kNoHandle) return 37;
    LARGE_INTEGER size{};
    if (faulted(OsCall::Size) || !gCalls.getFileSizeEx(handleOf(handle_), &size)) {
        return lastErrorCode(OsActivity::Read);
    }
    bytes = static_cast<uint64_t>(size.QuadPart);
    return 0;
}

int32_t OsFile::tryLock() {
    if (handle_ == kNoHandle) return 37;
    if (!lockable_) return 5;
    // Windows locks do not nest: the holder asking again would be refused
    // by its own lock.
    if (locked_) return 0;
    OVERLAPPED where = at(kFileLockByte);
    if (faulted(OsCall::Lock) ||
        !gCalls.lockFileEx(handleOf(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
        const DWORD error = ::GetLastError();
        return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING
                   ? 32
                   : osErrorCode(static_cast<int>(error), OsActivity::Other);
    }
    locked_ = true;
    return 0;
}

int32_t OsFile::unlock() {
    if (handle_ == kNoHandle) return 37;
    if (!locked_) return 0;
    OVERLAPPED where = at(kFileLockByte);
    if (faulted(OsCall::Lock) || !gCalls.unlockFileEx(handleOf(handle_), 0, 1, 0, &where)) {
        return lastErrorCode(OsActivity::Other);
    }
    locked_ = false;
    return 0;
}

int32_t OsFile::remove(const std::string& path) {
    if (path.empty()) return 45;
    if (faulted(OsCall::Name) || !gCalls.deleteFile(win32::widePath(path).c_str())) {
        return lastErrorCode(OsActivity::Other);
    }
    return 0;
}

int32_t OsFile::rename(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return 45;
    // Without MOVEFILE_REPLACE_EXISTING an existing file of the new name
    // refuses the move (ERROR_ALREADY_EXISTS, 380), in the same call.
    if (faulted(OsCall::Name) ||
        !gCalls.moveFileEx(win32::widePath(from).c_str(), win32::widePath(to).c_str(), MOVEFILE_COPY_ALLOWED)) {
        return lastErrorCode(OsActivity::Other);
    }
    return 0;
}

int32_t OsFile::copy(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return 45;
    OsFile source;
    int32_t code = source.open(from, FileAccess::ReadOnly, FileSharing::DenyWrite);
    if (code != 0) return code;
    std::string temporary;
    const intptr_t made = faulted(OsCall::Open) ? kNoHandle : createTemporaryBeside(to, temporary);
    if (made == kNoHandle) return lastErrorCode(OsActivity::Open);
    OsFile target;
    target.handle_ = made;
    target.writable_ = true;
    code = copyContents(source, target);
    if (code == 0) code = target.close();
    const std::wstring temporaryName = win32::widePath(temporary);
    if (code == 0 && (faulted(OsCall::Name) ||
                      !gCalls.moveFileEx(temporaryName.c_str(), win32::widePath(to).c_str(),
                                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) {
        code = lastErrorCode(OsActivity::Other);
    }
    if (code != 0) {
        target.close();
        ::DeleteFileW(temporaryName.c_str());
    }
    return code;
}

std::string resolveFileName(const std::string& name) {
    if (name.empty()) return {};
    std::wstring wide;
    if (!win32::toWide(name, wide)) return name;  // no file has a name that is not UTF-8
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    return win32::toUtf8(win32::fullPath(wide));
}

}  // namespace varnok::platform
