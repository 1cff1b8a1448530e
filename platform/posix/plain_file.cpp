// The POSIX half of plain files (platform/plain_file.h).
#include "platform/plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <system_error>
#include <thread>

#include "platform/temporary_files.h"

namespace varnok::platform {

namespace {

int fdOf(intptr_t handle) { return static_cast<int>(handle); }

// Closes a handle on a helper thread of its own (here, when none can be
// started).
void closeInBackground(int fd) {
    try {
        std::thread([fd] { ::close(fd); }).detach();
    } catch (const std::system_error&) {
        ::close(fd);
    }
}

// A symbolic link is replaced by the file it names; anything else stays.
std::string resolveTarget(const std::string& target) {
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(target.c_str(), resolved)) return resolved;
    }
    return target;
}

}  // namespace

FileIdentity fileIdentity(const std::string& path) {
    struct stat st;
    FileIdentity id;
    if (::stat(path.c_str(), &st) == 0) {
        id.device = static_cast<uint64_t>(st.st_dev);
        id.inode = static_cast<uint64_t>(st.st_ino);
        id.valid = true;
    }
    return id;
}

bool pathExists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isReadOnlyFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    const uid_t me = ::geteuid();
    if (me == 0 || me == st.st_uid) return (st.st_mode & S_IWUSR) == 0;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
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
    handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle_ < 0) {
        error_ = errno;
        return false;
    }
    struct stat st;
    if (::fstat(fdOf(handle_), &st) == 0 && S_ISDIR(st.st_mode)) {
        close();
        error_ = EISDIR;
        return false;
    }
    error_ = 0;
    return true;
}

bool InputFile::duplicate(const InputFile& other) {
    close();
    if (other.handle_ < 0) {
        error_ = EBADF;
        return false;
    }
    handle_ = ::fcntl(fdOf(other.handle_), F_DUPFD_CLOEXEC, 0);
    if (handle_ < 0) {
        error_ = errno;
        return false;
    }
    return true;
}

int64_t InputFile::readAt(uint64_t offset, void* buffer, size_t n) {
    if (handle_ < 0) {
        error_ = EBADF;
        return -1;
    }
    if (fileFaultInjected(FileOp::Read)) {
        error_ = errno;
        return -1;
    }
    for (;;) {
        ssize_t got = ::pread(fdOf(handle_), buffer, n, static_cast<off_t>(offset));
        if (got >= 0) return got;
        if (errno != EINTR) {
            error_ = errno;
            return -1;
        }
    }
}

void InputFile::close() {
    if (handle_ >= 0) ::close(fdOf(handle_));
    handle_ = -1;
}

FileStamp InputFile::stamp() const {
    struct stat st;
    FileStamp stamp;
    if (handle_ >= 0 && ::fstat(fdOf(handle_), &st) == 0) {
        stamp.size = static_cast<uint64_t>(st.st_size);
        stamp.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        stamp.valid = true;
    }
    return stamp;
}

FileIdentity InputFile::identity() const {
    struct stat st;
    FileIdentity id;
    if (handle_ >= 0 && ::fstat(fdOf(handle_), &st) == 0) {
        id.device = static_cast<uint64_t>(st.st_dev);
        id.inode = static_cast<uint64_t>(st.st_ino);
        id.valid = true;
    }
    return id;
}

// --- SafeOutputFile ---

SafeOutputFile::~SafeOutputFile() { abandon(); }

bool SafeOutputFile::create(const std::string& target) {
    abandon();
    target_ = resolveTarget(target);
    struct stat st;
    keepMode_ = ::stat(target_.c_str(), &st) == 0;
    targetReadOnly_ = false;
    if (keepMode_ && S_ISDIR(st.st_mode)) {
        error_ = EISDIR;
        return false;
    }
    if (keepMode_ && isReadOnlyFile(target_)) {
        targetReadOnly_ = true;
        error_ = EACCES;
        return false;
    }
    mode_ = keepMode_ ? (st.st_mode & 07777) : 0;
    owner_ = keepMode_ ? st.st_uid : 0;
    group_ = keepMode_ ? st.st_gid : 0;
    if (fileFaultInjected(FileOp::Open)) {
        error_ = errno;
        return false;
    }
    // A new file of its own beside the target (platform/temporary_files.h);
    // leftovers of runs that died are cleared away first.
    handle_ = createTemporaryBeside(target_, temp_);
    if (handle_ < 0) {
        error_ = errno;
        temp_.clear();
        return false;
    }
    error_ = 0;
    return true;
}

int SafeOutputFile::writeAt(uint64_t offset, const void* data, size_t n) const {
    if (handle_ < 0) return EBADF;
    if (fileFaultInjected(FileOp::Write)) return errno;
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t put = ::pwrite(fdOf(handle_), p, n, static_cast<off_t>(offset));
        if (put < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += put;
        offset += static_cast<uint64_t>(put);
        n -= static_cast<size_t>(put);
    }
    return 0;
}

bool SafeOutputFile::write(const void* data, size_t n) {
    if (handle_ < 0) {
        error_ = EBADF;
        return false;
    }
    if (fileFaultInjected(FileOp::Write)) {
        error_ = errno;
        return false;
    }
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t put = ::write(fdOf(handle_), p, n);
        if (put < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        p += put;
        n -= static_cast<size_t>(put);
    }
    return true;
}

bool SafeOutputFile::commit() {
    if (handle_ < 0) {
        error_ = EBADF;
        return false;
    }
    if (keepMode_) {
        // Owner and group first (changing them may clear set-id bits); only
        // a privileged user can give the file away, so a refusal is no failure.
        [[maybe_unused]] int ignored = ::fchown(fdOf(handle_), static_cast<uid_t>(owner_), static_cast<gid_t>(group_));
    }
    if (keepMode_ && ::fchmod(fdOf(handle_), static_cast<mode_t>(mode_)) != 0) {
        error_ = errno;
        abandon();
        return false;
    }
    if (fileFaultInjected(FileOp::Sync) || ::fsync(fdOf(handle_)) != 0) {
        error_ = errno;
        abandon();
        return false;
    }
    int fd = fdOf(handle_);
    handle_ = -1;
    if (::close(fd) != 0) {
        error_ = errno;
        abandon();
        return false;
    }
    // A handle on the file about to be replaced keeps the system from
    // freeing its pages inside the rename (milliseconds for a large file);
    // the handle is closed on a helper thread instead, while the program
    // goes on.
    const int replaced = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fileFaultInjected(FileOp::Rename) || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
        if (replaced >= 0) ::close(replaced);
        abandon();
        return false;
    }
    temp_.clear();
    if (replaced >= 0) closeInBackground(replaced);
    // The rename is recorded in the folder; flushing the folder makes it
    // last through a crash of the machine. Where a file system cannot flush
    // a folder the rename stands all the same.
    const int folder = ::open(folderOfPath(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

void SafeOutputFile::abandon() {
    if (handle_ >= 0) ::close(fdOf(handle_));
    handle_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace varnok::platform
