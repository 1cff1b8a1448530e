// OsFile: one operating-system file as the text line driver uses it.
//
// Semantics every implementation gives:
//  - failures are answered with the runtime's error codes (runtime/error_codes.h),
//    never with exceptions; osErrorCode() maps the system's error numbers to
//    those codes. A missing file is 2, a missing folder 3, a refused access 5,
//    an open refused by another open's sharing 32;
//  - sharing modes hold between processes and between opens in one process,
//    as in the model "two opens coexist unless one denies what the other
//    does" (reading for ReadOnly and ReadWrite, writing for WriteOnly and
//    ReadWrite; Compatible denies nothing). The open that would break the
//    model is refused with 32. Windows decides this itself; on POSIX systems
//    advisory locks far beyond any real data stand for the sharing modes (see
//    posix/os_file.cpp), with one limit: a descriptor that cannot read
//    (write) cannot hold a shared (exclusive) marker, so such an open refuses
//    when a conflicting open is already there but does not keep later ones out;
//  - the file lock (tryLock()/unlock()) is an exclusive lock on one byte far
//    beyond any real data, so it never blocks reads and writes of the data and
//    never conflicts with the sharing modes. It belongs to this open (another
//    open of the same file in the same process is kept out too), asking again
//    while holding it succeeds, and closing the file releases it;
//  - a write-only open reads its own file where the system allows it
//    (readable()): on POSIX systems it does; on Windows it does not, as
//    reading access would change which other opens its sharing admits;
//  - every system call goes through a table the tests of the platform layer
//    can replace (posix/posix_calls.h, win32/win32_calls.h), and the tests of
//    the layers above can make any of them fail through setOsFaultHook().
//
// File names are UTF-8; on Windows they may use '\' or '/' and be longer
// than 260 characters.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace varnok::platform {

// What an operating-system call was doing when it failed; the same system
// error can mean different things (an I/O error is a read fault or a write
// fault).
enum class OsActivity { Open, Read, Write, Other };

// The runtime error code for the system's own error number (errno on POSIX
// systems, the thread's last error on Windows). On POSIX systems: ENOENT 2,
// ENOTDIR 3, EMFILE 4, EACCES 5, ENOMEM 8, EAGAIN 32, ENAMETOOLONG 45, EROFS
// 319, EIO 329 (write) or 330 (otherwise), ENOSPC 339, EEXIST 380, EINVAL
// 387, anything else 90. On Windows the file errors 2 to 5, 8 and 32 keep
// their numbers, a lock violation is 32, a bad or too long name 45, a full
// disk 339, an existing file 380, other system errors up to 91 are 300 plus
// their number, anything else 90.
int32_t osErrorCode(int error, OsActivity activity);

enum class FileAccess : uint8_t { ReadOnly = 0, WriteOnly = 1, ReadWrite = 2 };
enum class FileSharing : uint8_t { Compatible, DenyAll, DenyWrite, DenyRead, DenyNone };

// Fault injection for the tests of the layers above. Before each system call
// an OsFile makes (its opens, reads, writes, truncations, size queries,
// locks and closes, and those of remove, rename and copy), the hook, when
// set, is asked whether the call fails. A failing call fails as a device
// error of the system would: writes and truncations with 329 (a write puts
// the first half of its bytes first, as a write cut short does), the others
// with 330; a failing close still releases the file.
// (Name: the removing, renaming or moving into place of a file by name.)
enum class OsCall : uint8_t { Open, Read, Write, Truncate, Size, Lock, Close, Name };
using OsFaultHook = bool (*)(OsCall call);
// Sets the hook (nullptr: no faults); answers the previous one.
OsFaultHook setOsFaultHook(OsFaultHook hook);
// For the implementations: whether the hook fails this call.
bool osFaultHookFails(OsCall call);

class OsFile {
public:
    OsFile() = default;
    ~OsFile();
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    // Opens an existing file (or creates it when create is set) with the given
    // access and sharing. Returns 0 or an error code; a missing file gives 2,
    // a missing directory 3, a folder 5, a sharing conflict 32, an empty name 45.
    int32_t open(const std::string& path, FileAccess access, FileSharing sharing,
                 bool create = false);
    // Closes the file and drops its locks; returns 0 or an error code.
    int32_t close();
    bool isOpen() const { return handle_ != kNoHandle; }

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

    // Writing needs write access; reading a handle that can read (see above).
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
    // Every byte of source into target from offset 0 (copy()'s loop, the
    // same on every system): 0 or the error code of the failed call.
    static int32_t copyContents(OsFile& source, OsFile& target);
    static constexpr intptr_t kNoHandle = -1;  // also Windows' INVALID_HANDLE_VALUE
    int32_t takeSharingMarkers(FileAccess access, FileSharing sharing);  // POSIX only
    intptr_t handle_ = kNoHandle;  // a descriptor on POSIX systems, a HANDLE on Windows
    uint64_t sizeAtOpen_ = 0;
    bool regular_ = false;
    bool writable_ = false;  // the access asked for allows writing and the handle does
    bool readable_ = false;  // the handle can read
    bool lockable_ = false;  // the handle can take the file lock
    bool locked_ = false;    // this open holds the file lock
};

// An absolute, normalised form of a file name (relative names are taken
// against the current directory). Empty for an empty name. On Windows the
// separators become '\' and the system's own rules apply (a drive's current
// directory, trailing dots and blanks of a component dropped).
std::string resolveFileName(const std::string& name);

}  // namespace varnok::platform
