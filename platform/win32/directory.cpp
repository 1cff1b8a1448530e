#include "platform/directory.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/win32/wide_text.h"

namespace varnok::platform {

namespace {

using win32::widePath;

// Where the last component starts: after the last "\", "/" or the ":" of a
// drive ("C:name").
size_t nameStart(const std::string& path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? 0 : cut + 1;
}

bool hiddenByName(std::string_view name) { return name.size() > 1 && name[0] == '.' && name != ".."; }

// 100-nanosecond ticks since 1601 to whole seconds since 1970, rounded down.
int64_t unixSeconds(FILETIME time) {
    constexpr int64_t TicksPerSecond = 10'000'000;
    constexpr int64_t Epoch1970 = 116'444'736'000'000'000;  // 1970-01-01 in ticks since 1601
    const int64_t ticks = int64_t((uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime) - Epoch1970;
    return ticks >= 0 ? ticks / TicksPerSecond : -((-ticks + TicksPerSecond - 1) / TicksPerSecond);
}

struct Found {
    DWORD attributes = 0;
    uint64_t size = 0;
    FILETIME modified{};
};

// A link (reparse point) is followed to the file it leads to; false when
// it leads nowhere.
bool followLink(const std::wstring& path, Found& found) {
    HANDLE h = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    if (!ok) return false;
    found.attributes |= info.dwFileAttributes;  // hidden stays hidden, on the link or on its target
    found.attributes &= ~DWORD(FILE_ATTRIBUTE_REPARSE_POINT);
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found.attributes &= ~DWORD(FILE_ATTRIBUTE_DIRECTORY);
    found.size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    found.modified = info.ftLastWriteTime;
    return true;
}

bool describe(const std::wstring& path, const std::string& name, Found found, DirectoryEntry& entry) {
    if ((found.attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !followLink(path, found)) return false;
    constexpr DWORD NotListed = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_HIDDEN;
    if (found.attributes & NotListed) return false;
    entry.name = name;
    entry.size = found.size;
    entry.modified = unixSeconds(found.modified);
    entry.readOnly = (found.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return true;
}

std::wstring upper(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(text.data(), DWORD(text.size()));
    return text;
}

// "*" and "?" against a whole name, both already in upper case; "*" takes
// the shortest run that lets the rest match, backtracking to the last one.
bool matches(std::wstring_view pattern, std::wstring_view name) {
    size_t p = 0, n = 0;
    size_t star = std::wstring_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool isFolder(const std::string& path) {
    const std::wstring wide = widePath(path);
    if (wide.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool isHiddenName(const std::string& path) {
    const std::string name = path.substr(nameStart(path));
    if (hiddenByName(name)) return true;
    if (name.empty() || name == "." || name == "..") return false;
    const std::wstring wide = widePath(path);
    if (wide.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

size_t listDirectory(const std::string& pattern, std::vector<DirectoryEntry>& out) {
    out.clear();
    const size_t start = nameStart(pattern);
    const std::string name = pattern.substr(start);
    if (name.empty()) return 0;
    if (name.find_first_of("*?") == std::string::npos) {
        const std::wstring path = widePath(pattern);
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (hiddenByName(name) || path.empty() || !::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
            return 0;
        const Found found{data.dwFileAttributes, (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                          data.ftLastWriteTime};
        DirectoryEntry entry;
        if (describe(path, name, found, entry)) out.push_back(entry);
        return out.size();
    }
    std::wstring wanted;
    if (!win32::toWide(name, wanted)) return 0;
    wanted = upper(std::move(wanted));
    // Every name of the folder, matched here rather than by the system,
    // which would also match the short 8.3 names.
    const std::string folder = pattern.substr(0, start);
    const std::wstring search = widePath(folder + "*");
    if (search.empty()) return 0;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileExW(search.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring candidate = data.cFileName;
        if (candidate.empty() || candidate[0] == L'.' || !matches(wanted, upper(candidate))) continue;
        const Found found{data.dwFileAttributes, (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                          data.ftLastWriteTime};
        const std::string utf8 = win32::toUtf8(candidate);
        DirectoryEntry entry;
        if (describe(widePath(folder + utf8), utf8, found, entry)) out.push_back(entry);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(out.begin(), out.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return out.size();
}

bool createDirectories(const std::string& path) {
    if (path.empty()) return false;
    if (isFolder(path)) return true;
    std::string folder = path;
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    const size_t cut = folder.find_last_of("\\/");
    if (cut != std::string::npos && cut > 0) {
        std::string parent = folder.substr(0, cut);
        if (parent.back() == ':') parent += '\\';  // "C:\" rather than the drive's current folder
        if (parent != folder) createDirectories(parent);
    }
    const std::wstring wide = widePath(folder);
    if (!wide.empty()) ::CreateDirectoryW(wide.c_str(), nullptr);
    return isFolder(folder);
}

}  // namespace varnok::platform
