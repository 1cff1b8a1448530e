// The Windows half of plain files (platform/plain_file.h).
#include "platform/plain_file.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/temporary_files.h"
#include "platform/win32/system_errors.h"
#include "platform/win32/wide_text.h"

namespace varnok::platform {

namespace {

constexpr intptr_t kNoHandle = -1;
constexpr size_t kLargestTransfer = size_t{1} << 30;  // one call's most (a DWORD counts)

HANDLE handleOf(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

OVERLAPPED at(uint64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

DWORD attributesOf(const std::string& path) { return ::GetFileAttributesW(win32::widePath(path).c_str()); }

bool exists(DWORD attributes) { return attributes != INVALID_FILE_ATTRIBUTES; }

// Writes all n bytes at offset: 0 or the errno of the failure.
int writeAll(HANDLE file, uint64_t offset, const void* data, size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        OVERLAPPED where = at(offset);
        DWORD put = 0;
        if (!::WriteFile(file, p, static_cast<DWORD>(std::min(n, kLargestTransfer)), &put, &where)) {
            return win32::errnoFromLastError();
        }
        if (put == 0) return ENOSPC;
        p += put;
        offset += put;
        n -= put;
    }
    return 0;
}

bool identityOf(HANDLE file, FileIdentity& id) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info)) return false;
    id.device = info.dwVolumeSerialNumber;
    id.inode = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    id.valid = true;
    return true;
}

// A symbolic link (or other name surrogate) is replaced by the file it
// names; anything else stays.
std::string resolveTarget(const std::string& target) {
    const DWORD attributes = attributesOf(target);
    if (!exists(attributes) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return target;
    const HANDLE file = ::CreateFileW(win32::widePath(target).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return target;
    std::wstring name(MAX_PATH, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    if (n >= name.size()) {
        name.resize(n);
        n = ::GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    }
    ::CloseHandle(file);
    if (n == 0 || n >= name.size()) return target;
    name.resize(n);
    // The answer carries the "\\?\" prefix; the plain form reads better.
    if (name.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        name = L"\\\\" + name.substr(8);
    } else if (name.rfind(L"\\\\?\\", 0) == 0) {
        name = name.substr(4);
    }
    return win32::toUtf8(name);
}

// Gives the new file what the old one had that a new file would not: its
// attributes (hidden, system, archive, not indexed) and its creation time.
// Where the system refuses, the new file is saved all the same.
void keepWhatTheOldFileHad(HANDLE file, const std::wstring& target) {
    WIN32_FILE_ATTRIBUTE_DATA old{};
    if (!::GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &old)) return;
    constexpr DWORD kKept =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    FILE_BASIC_INFO basic{};  // zero times and attributes are left as they are
    basic.CreationTime.LowPart = old.ftCreationTime.dwLowDateTime;
    basic.CreationTime.HighPart = static_cast<LONG>(old.ftCreationTime.dwHighDateTime);
    basic.FileAttributes = old.dwFileAttributes & kKept;
    ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

}  // namespace

FileIdentity fileIdentity(const std::string& path) {
    FileIdentity id;
    const HANDLE file = ::CreateFileW(win32::widePath(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return id;
    identityOf(file, id);
    ::CloseHandle(file);
    return id;
}

bool pathExists(const std::string& path) { return exists(attributesOf(path)); }

bool isDirectory(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isReadOnlyFile(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::string systemErrorText(int error) { return std::strerror(error); }

// --- InputFile ---

InputFile::~InputFile() { close(); }

bool InputFile::open(const std::string& path) {
    close();
    if (fileFaultInjected(FileOp::Open)) {
        error_ = errno;
        return false;
    }
    // Other programs may read, write, rename and delete the file meanwhile,
    // as they may on POSIX systems.
    const HANDLE file = ::CreateFileW(win32::widePath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD failure = ::GetLastError();
        error_ = failure == ERROR_ACCESS_DENIED && isDirectory(path) ? EISDIR : win32::errnoFromWin32(failure);
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
    error_ = 0;
    return true;
}

bool InputFile::duplicate(const InputFile& other) {
    close();
    if (other.handle_ == kNoHandle) {
        error_ = EBADF;
        return false;
    }
    // A handle of its own (not a copy of the same one), so that reads on
    // two threads do not queue behind each other.
    const HANDLE source = handleOf(other.handle_);
    HANDLE file = ::ReOpenFile(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
    if (file == INVALID_HANDLE_VALUE &&
        !::DuplicateHandle(::GetCurrentProcess(), source, ::GetCurrentProcess(), &file, 0, FALSE,
                           DUPLICATE_SAME_ACCESS)) {
        error_ = win32::errnoFromLastError();
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
    return true;
}

int64_t InputFile::readAt(uint64_t offset, void* buffer, size_t n) {
    if (handle_ == kNoHandle) {
        error_ = EBADF;
        return -1;
    }
    if (fileFaultInjected(FileOp::Read)) {
        error_ = errno;
        return -1;
    }
    OVERLAPPED where = at(offset);
    DWORD got = 0;
    if (::ReadFile(handleOf(handle_), buffer, static_cast<DWORD>(std::min(n, kLargestTransfer)), &got, &where)) {
        return got;
    }
    if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
    error_ = win32::errnoFromLastError();
    return -1;
}

void InputFile::close() {
    if (handle_ != kNoHandle) ::CloseHandle(handleOf(handle_));
    handle_ = kNoHandle;
}

FileStamp InputFile::stamp() const {
    FileStamp stamp;
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle_ == kNoHandle || !::GetFileInformationByHandle(handleOf(handle_), &info)) return stamp;
    stamp.size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    // FILETIME counts 100 ns steps since 1601.
    constexpr int64_t kFrom1601To1970 = 116444736000000000;
    const int64_t ticks = static_cast<int64_t>((uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                               info.ftLastWriteTime.dwLowDateTime);
    stamp.modifiedNs = (ticks - kFrom1601To1970) * 100;
    stamp.valid = true;
    return stamp;
}

FileIdentity InputFile::identity() const {
    FileIdentity id;
    if (handle_ != kNoHandle) identityOf(handleOf(handle_), id);
    return id;
}

// --- SafeOutputFile ---

SafeOutputFile::~SafeOutputFile() { abandon(); }

bool SafeOutputFile::create(const std::string& target) {
    abandon();
    target_ = resolveTarget(target);
    const DWORD attributes = attributesOf(target_);
    keepMode_ = exists(attributes);
    targetReadOnly_ = false;
    if (keepMode_ && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error_ = EISDIR;
        return false;
    }
    // MoveFileExW would replace a read-only file on some systems (Wine) and
    // refuse on others: it is refused here, on every one.
    if (keepMode_ && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        targetReadOnly_ = true;
        error_ = EACCES;
        return false;
    }
    if (fileFaultInjected(FileOp::Open)) {
        error_ = errno;
        return false;
    }
    handle_ = createTemporaryBeside(target_, temp_);
    if (handle_ == kNoHandle) {
        error_ = errno;
        temp_.clear();
        return false;
    }
    end_ = 0;
    error_ = 0;
    return true;
}

int SafeOutputFile::writeAt(uint64_t offset, const void* data, size_t n) const {
    if (handle_ == kNoHandle) return EBADF;
    if (fileFaultInjected(FileOp::Write)) return errno;
    return writeAll(handleOf(handle_), offset, data, n);
}

bool SafeOutputFile::write(const void* data, size_t n) {
    if (handle_ == kNoHandle) {
        error_ = EBADF;
        return false;
    }
    if (fileFaultInjected(FileOp::Write)) {
        error_ = errno;
        return false;
    }
    if (const int failure = writeAll(handleOf(handle_), end_, data, n)) {
        error_ = failure;
        return false;
    }
    end_ += n;
    return true;
}

bool SafeOutputFile::commit() {
    if (handle_ == kNoHandle) {
        error_ = EBADF;
        return false;
    }
    const HANDLE file = handleOf(handle_);
    const std::wstring target = win32::widePath(target_);
    if (keepMode_) keepWhatTheOldFileHad(file, target);
    if (fileFaultInjected(FileOp::Sync)) {
        error_ = errno;
        abandon();
        return false;
    }
    if (!::FlushFileBuffers(file)) {
        error_ = win32::errnoFromLastError();
        abandon();
        return false;
    }
    handle_ = kNoHandle;
    if (!::CloseHandle(file)) {
        error_ = win32::errnoFromLastError();
        abandon();
        return false;
    }
    // One rename puts the new file in place, over the old one if there is
    // one: a process stopped at any moment leaves one or the other.
    // (ReplaceFileW is not one step everywhere: Wine's moves the old file
    // away first and the new one in afterwards.)
    const bool injected = fileFaultInjected(FileOp::Rename);
    if (injected || !::MoveFileExW(win32::widePath(temp_).c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error_ = injected ? errno : win32::errnoFromLastError();
        abandon();
        return false;
    }
    temp_.clear();
    return true;
}

void SafeOutputFile::abandon() {
    if (handle_ != kNoHandle) ::CloseHandle(handleOf(handle_));
    handle_ = kNoHandle;
    if (!temp_.empty()) ::DeleteFileW(win32::widePath(temp_).c_str());
    temp_.clear();
}

}  // namespace varnok::platform
