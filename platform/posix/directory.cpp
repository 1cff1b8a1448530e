#include "platform/directory.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace varnok::platform {

namespace {

std::string lastComponent(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool describe(const std::string& path, const std::string& name, DirectoryEntry& entry) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    entry.name = name;
    entry.size = static_cast<uint64_t>(st.st_size);
    entry.modified = static_cast<int64_t>(st.st_mtime);
    entry.readOnly = (st.st_mode & S_IWUSR) == 0;
    return true;
}

}  // namespace

bool isHiddenName(const std::string& path) {
    std::string name = lastComponent(path);
    return name.size() > 1 && name[0] == '.' && name != "..";
}

size_t listDirectory(const std::string& pattern, std::vector<DirectoryEntry>& out) {
    out.clear();
    std::string name = lastComponent(pattern);
    if (name.empty()) return 0;
    if (name.find_first_of("*?") == std::string::npos) {
        DirectoryEntry entry;
        if (!isHiddenName(pattern) && describe(pattern, name, entry)) out.push_back(entry);
        return out.size();
    }
    std::string folder = pattern.substr(0, pattern.size() - name.size());
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return 0;
    while (struct dirent* d = ::readdir(dir)) {
        std::string candidate = d->d_name;
        if (candidate.empty() || candidate[0] == '.') continue;
        if (::fnmatch(name.c_str(), candidate.c_str(), FNM_PERIOD) != 0) continue;
        DirectoryEntry entry;
        if (describe(folder + candidate, candidate, entry)) out.push_back(entry);
    }
    ::closedir(dir);
    std::sort(out.begin(), out.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return out.size();
}

bool createDirectories(const std::string& path) {
    // Each missing level in turn; one that cannot be made shows up at the end.
    for (size_t i = 1; i < path.size(); ++i)
        if (path[i] == '/' && path[i - 1] != '/') ::mkdir(path.substr(0, i).c_str(), 0777);
    if (!path.empty()) ::mkdir(path.c_str(), 0777);
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace varnok::platform
