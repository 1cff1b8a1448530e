// PosixFile: one operating-system file as the text line driver uses it.
//
// Semantics:
//  - every open, read, write, truncate, size query, lock, close, remove and
//    rename goes through the function table posixCalls(), so a test can make
//    the Nth call fail (see PosixCalls);
//  - failures are answered with the runtime's error codes (runtime/error_codes.h),
//    never with exceptions; osErrorCode() maps errno to those codes;
//  - sharing modes hold between processes and between opens in one process:
//    each open marks what it reads, writes and denies with advisory locks on
//    bytes far beyond any real data, laid out so that a marker conflicting
//    with another open's marker is refused by the system in the very call
//    that takes it (error 32). Two racing conflicting opens can both fail,
//    but never both succeed. A descriptor that cannot read (write) cannot
//    hold a shared (exclusive) marker: such an open refuses when a
//    conflicting open is already there, but does not keep later ones out;
//  - the file lock (lock()/unlock()) is an exclusive advisory lock on its own
//    byte out there, so it never conflicts with the sharing markers. It is held
//    by this open, not by the process; closing the file releases everything.
#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

struct flock;

namespace varnok::platform {

// The system calls a PosixFile makes. Tests replace entries to inject faults;
// realPosixCalls() holds the genuine ones.
struct PosixCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*pread)(int fd, void* buffer, size_t count, off_t offset);
    ssize_t (*pwrite)(int fd, const void* buffer, size_t count, off_t offset);
    int (*ftruncate)(int fd, off_t length);
    int (*fstat)(int fd, struct stat* info);
    int (*lock)(int fd, int command, struct flock* request);  // fcntl locking
    int (*close)(int fd);
    int (*unlink)(const char* path);
    int (*rename)(const char* from, const char* to);
};
const PosixCalls& realPosixCalls();
// The table in use; assign entries (or the whole table) to redirect calls.
PosixCalls& posixCalls();

// What an operating-system call was doing when it failed; the same errno can
// mean different things (EIO is a read fault or a write fault).
enum class OsActivity { Open, Read, Write, Other };

// The runtime error code for an errno value: ENOENT 2, ENOTDIR 3, EMFILE 4,
// EACCES 5, ENOMEM 8, EAGAIN 32, ENAMETOOLONG 45, EIO 329 (write) or 330
// (read), ENOSPC 339, EEXIST 380, EINVAL 387; anything else 90.
int32_t osErrorCode(int error, OsActivity activity);

enum class FileAccess : uint8_t { ReadOnly = 0, WriteOnly = 1, ReadWrite = 2 };
enum class FileSharing : uint8_t { Compatible, DenyAll, DenyWrite, DenyRead, DenyNone };

class PosixFile {
public:
    PosixFile() = default;
    ~PosixFile();
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    // Opens an existing file (or creates it when create is set) with the given
    // access and sharing. Returns 0 or an error code; a missing file gives 2,
    // a missing directory 3, a sharing conflict 32.
    int32_t open(const std::string& path, FileAccess access, FileSharing sharing,
                 bool create = false);
    // Closes the file and drops its locks; returns 0 or an error code.
    int32_t close();
    bool isOpen() const { return fd_ >= 0; }

    // Reads up to count bytes at offset; got is less than count only at the
    // end of the file. Returns 0 or an error code.
    int32_t readAt(uint64_t offset, void* buffer, size_t count, size_t& got);
    // One read call: got may fall short of count anywhere, not only at the
    // end. Regular files give a short count only at the end.
    int32_t readSomeAt(uint64_t offset, void* buffer, size_t count, size_t& got);
    // Writes all count bytes at offset (retrying short writes). Returns 0 or an
    // error code; written tells how many bytes reached the file.
    int32_t writeAt(uint64_t offset, const void* buffer, size_t count, size_t& written);
    int32_t truncate(uint64_t length);
    int32_t size(uint64_t& bytes);
    // The size the file had when open() succeeded (learnt without a second
    // system call); size() asks again.
    uint64_t sizeAtOpen() const { return sizeAtOpen_; }
    // A regular file: one whose reads fall short only at its end.
    bool isRegular() const { return regular_; }

    // The file lock: tryLock answers 32 at once when another open holds it.
    int32_t tryLock();
    int32_t unlock();

    // Writing needs write access; reading only a descriptor that can read
    // (a write-only open may still look at its own file).
    bool writable() const { return writable_; }
    bool readable() const { return readable_; }

    // Name operations on closed files.
    static int32_t remove(const std::string& path);
    // Refuses (380) to replace an existing file of the new name.
    static int32_t rename(const std::string& from, const std::string& to);
    // Copies into a temporary file beside the target and renames it over the
    // target, so the target is either the old file or the complete copy.
    static int32_t copy(const std::string& from, const std::string& to);

private:
    int32_t takeSharingMarkers(FileAccess access, FileSharing sharing);
    int fd_ = -1;
    uint64_t sizeAtOpen_ = 0;
    bool regular_ = false;
    bool writable_ = false;  // the access asked for allows writing and the descriptor does
    bool readable_ = false;  // the descriptor can read
    bool lockable_ = false;  // the descriptor can take the exclusive file lock
};

// An absolute, normalised form of a file name (relative names are taken
// against the current directory). Empty for an empty name.
std::string resolveFileName(const std::string& name);

}  // namespace varnok::platform
