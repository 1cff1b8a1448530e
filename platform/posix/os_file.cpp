// The POSIX half of OsFile (platform/os_file.h): descriptors, positioned
// reads and writes, and the sharing modes and the file lock as advisory
// locks on bytes beyond any real data.
#include "platform/os_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <utility>
#include <vector>

#include "platform/current_directory.h"
#include "platform/posix/posix_calls.h"
#include "platform/temporary_files.h"

namespace varnok::platform {

namespace {

int callOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
int callLock(int fd, int command, struct flock* request) { return ::fcntl(fd, command, request); }

const PosixCalls kRealCalls = {
    callOpen, ::pread, ::pwrite, ::ftruncate, ::fstat, callLock, ::close, ::unlink, ::rename,
};

PosixCalls gCalls = kRealCalls;

// The calls as OsFile makes them: first offered to the fault hook, which may
// make them fail as a device error (EIO) would.
bool faulted(OsCall call) {
    if (!osFaultHookFails(call)) return false;
    errno = EIO;
    return true;
}
int sysOpen(const char* path, int flags, mode_t mode) {
    return faulted(OsCall::Open) ? -1 : gCalls.open(path, flags, mode);
}
ssize_t sysPread(int fd, void* buffer, size_t count, off_t offset) {
    return faulted(OsCall::Read) ? -1 : gCalls.pread(fd, buffer, count, offset);
}
ssize_t sysPwrite(int fd, const void* buffer, size_t count, off_t offset) {
    if (faulted(OsCall::Write)) {
        gCalls.pwrite(fd, buffer, count / 2, offset);  // cut short part way
        errno = EIO;
        return -1;
    }
    return gCalls.pwrite(fd, buffer, count, offset);
}
int sysTruncate(int fd, off_t length) { return faulted(OsCall::Truncate) ? -1 : gCalls.ftruncate(fd, length); }
int sysStat(int fd, struct stat* info) { return faulted(OsCall::Size) ? -1 : gCalls.fstat(fd, info); }
int sysLock(int fd, int command, struct flock* request) {
    return faulted(OsCall::Lock) ? -1 : gCalls.lock(fd, command, request);
}
// The descriptor is gone whatever the answer.
int sysClose(int fd) {
    const bool fail = faulted(OsCall::Close);
    const int answer = gCalls.close(fd);
    if (fail) errno = EIO;
    return fail ? -1 : answer;
}
int sysUnlink(const char* path) { return faulted(OsCall::Name) ? -1 : gCalls.unlink(path); }
int sysRename(const char* from, const char* to) { return faulted(OsCall::Name) ? -1 : gCalls.rename(from, to); }

int fdOf(intptr_t handle) { return static_cast<int>(handle); }

// Open-file-description locks belong to one open, so two opens in the same
// process see each other's locks; classic record locks are the fallback where
// they do not exist.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
constexpr int kGetLock = F_OFD_GETLK;
#else
constexpr int kSetLock = F_SETLK;
constexpr int kGetLock = F_GETLK;
#endif

// Lock bytes lie far beyond any file's data, so they never cover a byte a
// program reads or writes and never limit the file's growth.
constexpr off_t kLockBase = off_t{1} << 62;
constexpr off_t kFileLockByte = kLockBase + 8;

// The sharing markers live in two areas, one for reading and one for
// writing, side by side. An open that reads (writes) holds a shared lock on
// the whole read (write) area; an open that denies reading (writing) holds an
// exclusive lock on one byte of that area, a byte of its own. So a reader and
// a read-denier always collide, whichever comes second, while readers share
// the area with readers and deniers each keep to their own byte. Every
// conflict shows as a refused lock, in the same call that takes the marker.
// Shared locks need a descriptor that reads and exclusive ones one that
// writes; an open whose descriptor lacks one (a file this user may not write,
// say) looks for conflicting opens already there instead, but cannot keep
// later ones out.
constexpr off_t kAreaBytes = off_t{1} << 40;
constexpr off_t kReadArea = kLockBase + kAreaBytes;
constexpr off_t kWriteArea = kReadArea + kAreaBytes;

// The byte of one denying open inside an area: a start drawn from the
// process id and the clock, plus a count of opens. Deniers in one process
// never meet; deniers in different processes (a forked child included, whose
// count goes on from its parent's) meet with a chance of about one in 2^40.
off_t ownMarkerByte() {
    static const uint64_t started =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    static std::atomic<uint64_t> opens{0};
    const uint64_t process = (static_cast<uint64_t>(::getpid()) ^ started) * 0x9E3779B97F4A7C15ull;
    const uint64_t byte = process + opens.fetch_add(1, std::memory_order_relaxed);
    // Never the area's first byte: that one tells whether anyone reads
    // (writes) at all.
    return 1 + static_cast<off_t>(byte % static_cast<uint64_t>(kAreaBytes - 1));
}

struct flock lockRequest(short type, off_t start, off_t count) {
    struct flock request{};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = start;
    request.l_len = count;
    request.l_pid = 0;
    return request;
}

int setLock(int fd, short type, off_t start, off_t count = 1) {
    struct flock request = lockRequest(type, start, count);
    return sysLock(fd, kSetLock, &request);
}

// True when another open holds a lock on the bytes that a lock of `type`
// would collide with.
bool heldByOther(int fd, short type, off_t start, off_t count) {
    struct flock request = lockRequest(type, start, count);
    if (sysLock(fd, kGetLock, &request) != 0) return false;
    return request.l_type != F_UNLCK;
}

// The code of a refused marker lock: another open's marker is in the way (32).
int32_t markerCode(int error) {
    return error == EAGAIN || error == EACCES ? 32 : osErrorCode(error, OsActivity::Open);
}

bool directoryExists(const std::string& path) {
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return true;
    return std::filesystem::is_directory(parent, ec);
}

// A missing file and a missing directory both come back as ENOENT.
int32_t missingNameCode(const std::string& path) {
    return directoryExists(path) ? 2 : 3;
}

}  // namespace

const PosixCalls& realPosixCalls() { return kRealCalls; }
PosixCalls& posixCalls() { return gCalls; }

int32_t osErrorCode(int error, OsActivity activity) {
    switch (error) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR:
    case ELOOP: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBADF: return 5;
    case ENOMEM: return 8;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY: return 32;
    case ENAMETOOLONG: return 45;
    case EROFS: return 319;
    case EIO: return activity == OsActivity::Write ? 329 : 330;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return 339;
    case EEXIST: return 380;
    case EINVAL: return 387;
    default: return 90;
    }
}

OsFile::~OsFile() { close(); }

int32_t OsFile::open(const std::string& path, FileAccess access, FileSharing sharing,
                        bool create) {
    close();
    if (path.empty()) return 45;
    int extra = O_CLOEXEC | (create ? O_CREAT : 0);
#ifdef O_NOATIME
    // A file opened for writing is read only in the service of its writes
    // (the look for a trailing Ctrl-Z before an append, a line rewritten in
    // place), so those reads leave its access time alone. Each append would
    // otherwise dirty the file's inode twice, once for the read just after
    // the last write and once for the write. The system allows this only to
    // the file's owner; other files are opened without it.
    if (access != FileAccess::ReadOnly) extra |= O_NOATIME;
#endif
    // Prefer a descriptor that can both read and write: shared sharing
    // markers need reading, exclusive ones and the file lock need writing.
    // Fall back to what was asked for when the file does not allow more.
    int fd = sysOpen(path.c_str(), O_RDWR | extra, 0666);
#ifdef O_NOATIME
    if (fd < 0 && errno == EPERM && (extra & O_NOATIME) != 0) {
        extra &= ~O_NOATIME;
        fd = sysOpen(path.c_str(), O_RDWR | extra, 0666);
    }
#endif
    bool canWrite = true;
    bool canRead = true;
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY ||
                   errno == EISDIR)) {
        const int wanted = access == FileAccess::ReadOnly    ? O_RDONLY
                           : access == FileAccess::WriteOnly ? O_WRONLY
                                                             : O_RDWR;
        fd = sysOpen(path.c_str(), wanted | extra, 0666);
        canWrite = wanted != O_RDONLY;
        canRead = wanted != O_WRONLY;
    }
    if (fd < 0) {
        const int error = errno;
        return error == ENOENT ? missingNameCode(path) : osErrorCode(error, OsActivity::Open);
    }
    struct stat info{};
    if (sysStat(fd, &info) != 0) {
        const int error = errno;
        sysClose(fd);
        return osErrorCode(error, OsActivity::Open);
    }
    if (S_ISDIR(info.st_mode)) {
        sysClose(fd);
        return 5;
    }
    handle_ = fd;
    sizeAtOpen_ = static_cast<uint64_t>(info.st_size);
    regular_ = S_ISREG(info.st_mode);
    writable_ = canWrite && access != FileAccess::ReadOnly;
    readable_ = canRead;
    lockable_ = canWrite;
    if (const int32_t code = takeSharingMarkers(access, sharing)) {
        close();
        return code;
    }
    return 0;
}

int32_t OsFile::takeSharingMarkers(FileAccess access, FileSharing sharing) {
    const bool reads = access != FileAccess::WriteOnly;
    const bool writes = access != FileAccess::ReadOnly;
    const bool deniesRead = sharing == FileSharing::DenyAll || sharing == FileSharing::DenyRead;
    const bool deniesWrite = sharing == FileSharing::DenyAll || sharing == FileSharing::DenyWrite;
    // Reading and writing together take both areas in one call: the usual
    // read-write deny-none open costs a single lock request.
    if (reads || writes) {
        const off_t start = reads ? kReadArea : kWriteArea;
        const off_t end = writes ? kWriteArea + kAreaBytes : kReadArea + kAreaBytes;
        if (readable_) {
            if (setLock(fdOf(handle_), F_RDLCK, start, end - start) != 0) return markerCode(errno);
        } else if (heldByOther(fdOf(handle_), F_RDLCK, start, end - start)) {
            return 32;  // a denier is there (only exclusive locks answer)
        }
    }
    if (deniesRead || deniesWrite) {
        const off_t own = ownMarkerByte();
        const std::pair<bool, off_t> denials[] = {{deniesRead, kReadArea}, {deniesWrite, kWriteArea}};
        for (const auto& [denies, area] : denials) {
            if (!denies) continue;
            if (lockable_) {
                if (setLock(fdOf(handle_), F_WRLCK, area + own) != 0) return markerCode(errno);
            } else if (heldByOther(fdOf(handle_), F_WRLCK, area, 1)) {
                return 32;  // someone reads (writes): every such open holds the area's first byte
            }
        }
    }
    return 0;
}

int32_t OsFile::close() {
    if (handle_ == kNoHandle) return 0;
    const int fd = fdOf(handle_);
    handle_ = kNoHandle;
    writable_ = readable_ = lockable_ = regular_ = locked_ = false;
    if (sysClose(fd) != 0 && errno != EINTR) return osErrorCode(errno, OsActivity::Other);
    return 0;
}

int32_t OsFile::readAt(uint64_t offset, void* buffer, size_t count, size_t& got) {
    got = 0;
    if (handle_ == kNoHandle) return 37;
    if (!readable_) return 5;
    auto* out = static_cast<char*>(buffer);
    while (got < count) {
        const ssize_t n = sysPread(fdOf(handle_), out + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return osErrorCode(errno, OsActivity::Read);
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return 0;
}

int32_t OsFile::readSomeAt(uint64_t offset, void* buffer, size_t count, size_t& got) {
    got = 0;
    if (handle_ == kNoHandle) return 37;
    if (!readable_) return 5;
    for (;;) {
        const ssize_t n = sysPread(fdOf(handle_), buffer, count, static_cast<off_t>(offset));
        if (n >= 0) {
            got = static_cast<size_t>(n);
            return 0;
        }
        if (errno != EINTR) return osErrorCode(errno, OsActivity::Read);
    }
}

int32_t OsFile::writeAt(uint64_t offset, const void* buffer, size_t count, size_t& written) {
    written = 0;
    if (handle_ == kNoHandle) return 37;
    if (!writable_) return 5;
    const auto* in = static_cast<const char*>(buffer);
    while (written < count) {
        const ssize_t n =
            sysPwrite(fdOf(handle_), in + written, count - written, static_cast<off_t>(offset + written));
        if (n < 0) {
            if (errno == EINTR) continue;
            return osErrorCode(errno, OsActivity::Write);
        }
        if (n == 0) return osErrorCode(ENOSPC, OsActivity::Write);
        written += static_cast<size_t>(n);
    }
    return 0;
}

int32_t OsFile::truncate(uint64_t length) {
    if (handle_ == kNoHandle) return 37;
    if (!writable_) return 5;
    if (sysTruncate(fdOf(handle_), static_cast<off_t>(length)) != 0) {
        return osErrorCode(errno, OsActivity::Write);
    }
    return 0;
}

int32_t OsFile::size(uint64_t& bytes) {
    bytes = 0;
    if (handle_ == kNoHandle) return 37;
    struct stat info{};
    if (sysStat(fdOf(handle_), &info) != 0) return osErrorCode(errno, OsActivity::Read);
    bytes = static_cast<uint64_t>(info.st_size);
    return 0;
}

int32_t OsFile::tryLock() {
    if (handle_ == kNoHandle) return 37;
    if (!lockable_) return 5;
    if (setLock(fdOf(handle_), F_WRLCK, kFileLockByte) != 0) {
        const int error = errno;
        return (error == EAGAIN || error == EACCES) ? 32 : osErrorCode(error, OsActivity::Other);
    }
    locked_ = true;
    return 0;
}

int32_t OsFile::unlock() {
    if (handle_ == kNoHandle) return 37;
    if (setLock(fdOf(handle_), F_UNLCK, kFileLockByte) != 0) return osErrorCode(errno, OsActivity::Other);
    locked_ = false;
    return 0;
}

int32_t OsFile::remove(const std::string& path) {
    if (path.empty()) return 45;
    if (sysUnlink(path.c_str()) != 0) {
        const int error = errno;
        return error == ENOENT ? missingNameCode(path) : osErrorCode(error, OsActivity::Other);
    }
    return 0;
}

int32_t OsFile::rename(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return 45;
    struct stat info{};
    if (::lstat(to.c_str(), &info) == 0) return 380;
    if (sysRename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        return error == ENOENT ? missingNameCode(from) : osErrorCode(error, OsActivity::Other);
    }
    return 0;
}

int32_t OsFile::copy(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return 45;
    OsFile source;
    int32_t code = source.open(from, FileAccess::ReadOnly, FileSharing::DenyWrite);
    if (code != 0) return code;
    std::string temporary;
    const intptr_t fd = faulted(OsCall::Open) ? -1 : createTemporaryBeside(to, temporary);
    if (fd < 0) {
        const int error = errno;
        return error == ENOENT ? missingNameCode(to) : osErrorCode(error, OsActivity::Open);
    }
    OsFile target;
    target.handle_ = fd;
    target.writable_ = true;
    code = copyContents(source, target);
    if (code == 0) code = target.close();
    if (code == 0 && sysRename(temporary.c_str(), to.c_str()) != 0) {
        code = osErrorCode(errno, OsActivity::Other);
    }
    if (code != 0) {
        target.close();
        gCalls.unlink(temporary.c_str());
    }
    return code;
}

namespace {

// True when a name holds an empty, "." or ".." component that lexical
// normalising would remove.
bool needsNormalising(const std::string& name) {
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const size_t length = end - start;
        const bool last = end == name.size();
        if (length == 0 && start > 0 && !last) return true;  // "//"
        if (length == 1 && name[start] == '.') return true;
        if (length == 2 && name[start] == '.' && name[start + 1] == '.') return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::string resolveFileName(const std::string& name) {
    if (name.empty()) return {};
    std::string full;
    if (name.front() != '/') {
        full = currentDirectory();
        if (full.empty()) return name;
        if (full.back() != '/') full += '/';
    }
    full += name;
    if (!needsNormalising(full)) return full;
    return std::filesystem::path(full).lexically_normal().string();
}

}  // namespace varnok::platform
