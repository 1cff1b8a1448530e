#include "platform/posix_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "platform/temporary_files.h"

namespace varnok::platform {

namespace {

int callOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
int callLock(int fd, int command, struct flock* request) { return ::fcntl(fd, command, request); }

const PosixCalls kRealCalls = {
    callOpen, ::pread, ::pwrite, ::ftruncate, ::fstat, callLock, ::close, ::unlink, ::rename,
};

PosixCalls gCalls = kRealCalls;

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
constexpr off_t kHasReadByte = kLockBase + 0;
constexpr off_t kHasWriteByte = kLockBase + 1;
constexpr off_t kDenyReadByte = kLockBase + 2;
constexpr off_t kDenyWriteByte = kLockBase + 3;
constexpr off_t kFileLockByte = kLockBase + 8;

struct flock lockRequest(short type, off_t start) {
    struct flock request{};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = start;
    request.l_len = 1;
    request.l_pid = 0;
    return request;
}

int setLock(int fd, short type, off_t start) {
    struct flock request = lockRequest(type, start);
    return gCalls.lock(fd, kSetLock, &request);
}

// True when another open holds any lock on the byte.
bool heldByOther(int fd, off_t start) {
    struct flock request = lockRequest(F_WRLCK, start);
    if (gCalls.lock(fd, kGetLock, &request) != 0) return false;
    return request.l_type != F_UNLCK;
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

PosixFile::~PosixFile() { close(); }

int32_t PosixFile::open(const std::string& path, FileAccess access, FileSharing sharing,
                        bool create) {
    close();
    if (path.empty()) return 45;
    const int extra = O_CLOEXEC | (create ? O_CREAT : 0);
    // Prefer a descriptor that can both read and write: the sharing markers
    // need reading, the file lock needs writing. Fall back to what was asked
    // for when the file does not allow more.
    int fd = gCalls.open(path.c_str(), O_RDWR | extra, 0666);
    bool canWrite = true;
    bool canRead = true;
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY ||
                   errno == EISDIR)) {
        const int wanted = access == FileAccess::ReadOnly    ? O_RDONLY
                           : access == FileAccess::WriteOnly ? O_WRONLY
                                                             : O_RDWR;
        fd = gCalls.open(path.c_str(), wanted | extra, 0666);
        canWrite = wanted != O_RDONLY;
        canRead = wanted != O_WRONLY;
    }
    if (fd < 0) {
        const int error = errno;
        return error == ENOENT ? missingNameCode(path) : osErrorCode(error, OsActivity::Open);
    }
    struct stat info{};
    if (gCalls.fstat(fd, &info) != 0) {
        const int error = errno;
        gCalls.close(fd);
        return osErrorCode(error, OsActivity::Open);
    }
    if (S_ISDIR(info.st_mode)) {
        gCalls.close(fd);
        return 5;
    }
    fd_ = fd;
    writable_ = canWrite && access != FileAccess::ReadOnly;
    readable_ = canRead;
    lockable_ = canWrite;
    if (canRead) {
        const int32_t code = takeSharingMarkers(access, sharing);
        if (code != 0) {
            close();
            return code;
        }
    }
    return 0;
}

int32_t PosixFile::takeSharingMarkers(FileAccess access, FileSharing sharing) {
    const bool reads = access != FileAccess::WriteOnly;
    const bool writes = access != FileAccess::ReadOnly;
    const bool deniesRead = sharing == FileSharing::DenyAll || sharing == FileSharing::DenyRead;
    const bool deniesWrite = sharing == FileSharing::DenyAll || sharing == FileSharing::DenyWrite;
    struct Marker {
        bool wanted;
        off_t byte;
    };
    const Marker markers[] = {{reads, kHasReadByte},
                              {writes, kHasWriteByte},
                              {deniesRead, kDenyReadByte},
                              {deniesWrite, kDenyWriteByte}};
    for (const Marker& m : markers) {
        if (m.wanted && setLock(fd_, F_RDLCK, m.byte) != 0) {
            return osErrorCode(errno, OsActivity::Open);
        }
    }
    // The markers of others that this open conflicts with.
    const Marker conflicts[] = {{reads, kDenyReadByte},
                                {writes, kDenyWriteByte},
                                {deniesRead, kHasReadByte},
                                {deniesWrite, kHasWriteByte}};
    for (const Marker& m : conflicts) {
        if (m.wanted && heldByOther(fd_, m.byte)) return 32;
    }
    return 0;
}

int32_t PosixFile::close() {
    if (fd_ < 0) return 0;
    const int fd = fd_;
    fd_ = -1;
    writable_ = readable_ = lockable_ = false;
    if (gCalls.close(fd) != 0 && errno != EINTR) return osErrorCode(errno, OsActivity::Other);
    return 0;
}

int32_t PosixFile::readAt(uint64_t offset, void* buffer, size_t count, size_t& got) {
    got = 0;
    if (fd_ < 0) return 37;
    if (!readable_) return 5;
    auto* out = static_cast<char*>(buffer);
    while (got < count) {
        const ssize_t n = gCalls.pread(fd_, out + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return osErrorCode(errno, OsActivity::Read);
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return 0;
}

int32_t PosixFile::writeAt(uint64_t offset, const void* buffer, size_t count, size_t& written) {
    written = 0;
    if (fd_ < 0) return 37;
    if (!writable_) return 5;
    const auto* in = static_cast<const char*>(buffer);
    while (written < count) {
        const ssize_t n =
            gCalls.pwrite(fd_, in + written, count - written, static_cast<off_t>(offset + written));
        if (n < 0) {
            if (errno == EINTR) continue;
            return osErrorCode(errno, OsActivity::Write);
        }
        if (n == 0) return osErrorCode(ENOSPC, OsActivity::Write);
        written += static_cast<size_t>(n);
    }
    return 0;
}

int32_t PosixFile::truncate(uint64_t length) {
    if (fd_ < 0) return 37;
    if (!writable_) return 5;
    if (gCalls.ftruncate(fd_, static_cast<off_t>(length)) != 0) {
        return osErrorCode(errno, OsActivity::Write);
    }
    return 0;
}

int32_t PosixFile::size(uint64_t& bytes) {
    bytes = 0;
    if (fd_ < 0) return 37;
    struct stat info{};
    if (gCalls.fstat(fd_, &info) != 0) return osErrorCode(errno, OsActivity::Read);
    bytes = static_cast<uint64_t>(info.st_size);
    return 0;
}

int32_t PosixFile::tryLock() {
    if (fd_ < 0) return 37;
    if (!lockable_) return 5;
    if (setLock(fd_, F_WRLCK, kFileLockByte) != 0) {
        const int error = errno;
        return (error == EAGAIN || error == EACCES) ? 32 : osErrorCode(error, OsActivity::Other);
    }
    return 0;
}

int32_t PosixFile::unlock() {
    if (fd_ < 0) return 37;
    if (setLock(fd_, F_UNLCK, kFileLockByte) != 0) return osErrorCode(errno, OsActivity::Other);
    return 0;
}

int32_t PosixFile::remove(const std::string& path) {
    if (path.empty()) return 45;
    if (gCalls.unlink(path.c_str()) != 0) {
        const int error = errno;
        return error == ENOENT ? missingNameCode(path) : osErrorCode(error, OsActivity::Other);
    }
    return 0;
}

int32_t PosixFile::rename(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return 45;
    struct stat info{};
    if (::lstat(to.c_str(), &info) == 0) return 380;
    if (gCalls.rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        return error == ENOENT ? missingNameCode(from) : osErrorCode(error, OsActivity::Other);
    }
    return 0;
}

int32_t PosixFile::copy(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return 45;
    PosixFile source;
    int32_t code = source.open(from, FileAccess::ReadOnly, FileSharing::DenyWrite);
    if (code != 0) return code;
    std::string temporary;
    int fd = createTemporaryBeside(to, temporary, gCalls.open);
    if (fd < 0) {
        const int error = errno;
        return error == ENOENT ? missingNameCode(to) : osErrorCode(error, OsActivity::Open);
    }
    PosixFile target;
    target.fd_ = fd;
    target.writable_ = true;
    std::vector<char> chunk(64 * 1024);
    uint64_t offset = 0;
    for (;;) {
        size_t got = 0;
        code = source.readAt(offset, chunk.data(), chunk.size(), got);
        if (code != 0 || got == 0) break;
        size_t written = 0;
        code = target.writeAt(offset, chunk.data(), got, written);
        if (code != 0) break;
        offset += got;
    }
    if (code == 0) code = target.close();
    if (code == 0 && gCalls.rename(temporary.c_str(), to.c_str()) != 0) {
        code = osErrorCode(errno, OsActivity::Write);
    }
    if (code != 0) {
        target.close();
        gCalls.unlink(temporary.c_str());
    }
    return code;
}

std::string resolveFileName(const std::string& name) {
    if (name.empty()) return {};
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(name, ec);
    if (ec) return name;
    return full.lexically_normal().string();
}

}  // namespace varnok::platform
