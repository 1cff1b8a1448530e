// Creating temporary files and clearing away stale ones on POSIX systems.
#include "platform/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace varnok::platform {

bool processEnded(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

long currentProcessId() { return static_cast<long>(::getpid()); }

size_t removeStaleTemporaryFiles(const std::string& folder) {
    const std::string where = folder.empty() ? "." : folder;
    DIR* dir = ::opendir(where.c_str());
    if (!dir) return 0;
    const int fd = ::dirfd(dir);
    const long self = currentProcessId();
    const uid_t user = ::geteuid();
    size_t removed = 0;
    while (dirent* entry = ::readdir(dir)) {
        const long pid = temporaryFileProcess(entry->d_name);
        if (pid == 0 || pid == self || !processEnded(pid)) continue;
        struct stat st;
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != user) continue;
        if (::unlinkat(fd, entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

intptr_t createTemporaryBeside(const std::string& target, std::string& name) {
    removeStaleTemporaryFiles(folderOfPath(target));
    static std::atomic<unsigned> serial{0};
    const long pid = currentProcessId();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = temporaryNameFor(target, pid, ++serial);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            name = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace varnok::platform
