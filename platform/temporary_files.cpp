// The names of temporary files (platform/temporary_files.h), the same on
// every system; creating and clearing them away is each system's own.
#include "platform/temporary_files.h"

namespace varnok::platform {

namespace {

constexpr std::string_view kMark = ".varnok-";
constexpr std::string_view kSuffix = ".tmp";
constexpr size_t kLongestStem = 200;  // bytes of the target's name kept

#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/";
constexpr bool kDriveLetters = true;  // "C:\name", "C:name"
#else
constexpr std::string_view kSeparators = "/";
constexpr bool kDriveLetters = false;
#endif

// Where the name part of a path starts.
size_t nameStart(const std::string& path) {
    const size_t separator = path.find_last_of(kSeparators);
    if (separator != std::string::npos) return separator + 1;
    if (kDriveLetters && path.size() >= 2 && path[1] == ':') return 2;  // "C:name"
    return 0;
}

// The first bytes of a UTF-8 name, at most `most`, never ending inside a
// character.
std::string_view cutName(std::string_view name, size_t most) {
    if (name.size() <= most) return name;
    size_t end = most;
    // A continuation byte (10xxxxxx) at the cut means the cut splits a character.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    return name.substr(0, end);
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

}  // namespace

std::string folderOfPath(const std::string& path) {
    const size_t start = nameStart(path);
    if (start == 0) return ".";
    const size_t separator = path.find_last_of(kSeparators);
    if (separator == std::string::npos) return path.substr(0, start);  // "C:" of "C:name"
    // The root keeps its separator: "/" and "C:\".
    const bool root = separator == 0 || (kDriveLetters && separator == 2 && path[1] == ':');
    return path.substr(0, root ? separator + 1 : separator);
}

std::string temporaryNameFor(const std::string& target, long pid, unsigned serial) {
    const size_t start = nameStart(target);
    std::string name = target.substr(0, start);
    name += '.';
    name += cutName(std::string_view(target).substr(start), kLongestStem);
    name += kMark;
    name += std::to_string(pid);
    name += '-';
    name += std::to_string(serial);
    name += kSuffix;
    return name;
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

}  // namespace varnok::platform
