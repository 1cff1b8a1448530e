#include "platform/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace varnok::platform {

namespace {

constexpr std::string_view kMark = ".varnok-";
constexpr std::string_view kSuffix = ".tmp";
constexpr size_t kLongestStem = 200;  // bytes of the target's name kept

int systemOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

std::string nameOfPath(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads the decimal digits of text from pos on; false when there are none or
// too many. Moves pos past them.
bool readNumber(std::string_view text, size_t& pos, unsigned long long& value) {
    size_t start = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 18)
        value = value * 10 + static_cast<unsigned>(text[pos++] - '0');
    return pos > start && (pos == text.size() || text[pos] < '0' || text[pos] > '9');
}

// True unless the process is known to be gone: the system answers that no
// such process exists. A process of another user still counts as running.
bool processExists(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH; }

}  // namespace

std::string folderOfPath(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string temporaryNameFor(const std::string& target, long pid, unsigned serial) {
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    return folder + "." + nameOfPath(target).substr(0, kLongestStem) + std::string(kMark) + std::to_string(pid) + "-" +
           std::to_string(serial) + std::string(kSuffix);
}

long temporaryFileProcess(std::string_view name) {
    if (name.size() < 1 + kMark.size() + 3 + kSuffix.size() || name.front() != '.') return 0;
    if (name.substr(name.size() - kSuffix.size()) != kSuffix) return 0;
    name.remove_suffix(kSuffix.size());
    size_t mark = name.rfind(kMark);
    if (mark == std::string_view::npos || mark == 0) return 0;
    size_t pos = mark + kMark.size();
    unsigned long long pid = 0, serial = 0;
    if (!readNumber(name, pos, pid) || pos >= name.size() || name[pos] != '-') return 0;
    ++pos;
    if (!readNumber(name, pos, serial) || pos != name.size()) return 0;
    if (pid == 0 || pid > 0x7FFFFFFF) return 0;
    return static_cast<long>(pid);
}

size_t removeStaleTemporaryFiles(const std::string& folder) {
    const std::string where = folder.empty() ? "." : folder;
    DIR* dir = ::opendir(where.c_str());
    if (!dir) return 0;
    const int fd = ::dirfd(dir);
    const long self = static_cast<long>(::getpid());
    const uid_t user = ::geteuid();
    size_t removed = 0;
    while (dirent* entry = ::readdir(dir)) {
        const long pid = temporaryFileProcess(entry->d_name);
        if (pid == 0 || pid == self || processExists(pid)) continue;
        struct stat st;
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != user) continue;
        if (::unlinkat(fd, entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

int createTemporaryBeside(const std::string& target, std::string& name, OpenFunction open) {
    if (!open) open = systemOpen;
    removeStaleTemporaryFiles(folderOfPath(target));
    static std::atomic<unsigned> serial{0};
    const long pid = static_cast<long>(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = temporaryNameFor(target, pid, ++serial);
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
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
