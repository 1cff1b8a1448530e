#include "platform/profile.h"

#include <cerrno>
#include <mutex>

#include "platform/ascii_text.h"
#include "platform/directory.h"
#include "platform/plain_file.h"

namespace varnok::platform {

namespace {

std::mutex& profileLock() {
    static std::mutex lock;
    return lock;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

constexpr auto sameName = platform::sameAsciiText;

bool hasLineBreak(std::string_view s) {
    return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos;
}

// One line of a profile file as the parser sees it.
struct ParsedLine {
    enum Kind { Other, Section, Entry } kind = Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // entry value, trimmed, quotes kept
};

ParsedLine parseLine(std::string_view line) {
    ParsedLine p;
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') return p;
    if (t.front() == '[') {
        size_t close = t.find(']');
        p.kind = ParsedLine::Section;
        p.name = trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        return p;
    }
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return p;
    p.kind = ParsedLine::Entry;
    p.name = trim(t.substr(0, eq));
    p.value = trim(t.substr(eq + 1));
    return p;
}

bool enclosedInQuotes(std::string_view v) {
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

std::string_view unquote(std::string_view v) { return enclosedInQuotes(v) ? v.substr(1, v.size() - 2) : v; }

// The value as stored: without trailing blanks, and inside double quotes
// when reading would otherwise change it (leading blanks are dropped and a
// pair of enclosing quotes is taken off on reading).
std::string storedValue(std::string_view value) {
    std::string_view v = trimRight(value);
    if (!v.empty() && (isBlank(v.front()) || enclosedInQuotes(v))) return "\"" + std::string(v) + "\"";
    return std::string(v);
}

// A profile file held as lines, with the line ending style it had.
struct ProfileText {
    std::vector<std::string> lines;
    bool crlf = false;
    bool exists = false;
    bool readable = true;  // false: it exists but could not be read whole
};

ProfileText load(const std::string& path) {
    ProfileText text;
    InputFile in;
    if (!in.open(path)) {
        // Missing (or under a name that cannot be a folder): an empty profile.
        text.readable = in.error() == ENOENT || in.error() == ENOTDIR;
        text.exists = !text.readable;
        return text;
    }
    text.exists = true;
    std::string bytes;
    char chunk[8192];
    for (uint64_t offset = 0;;) {
        const int64_t n = in.readAt(offset, chunk, sizeof chunk);
        if (n < 0) return ProfileText{{}, false, true, false};
        if (n == 0) break;
        bytes.append(chunk, size_t(n));
        offset += uint64_t(n);
    }
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            text.crlf = true;
        }
        text.lines.push_back(std::move(line));
        start = end + 1;
    }
    return text;
}

// Writes the whole text through a temporary file that replaces the old one
// only when complete. A file that could not be read is never replaced: its
// unread settings would be lost.
bool store(const std::string& path, const ProfileText& text) {
    if (!text.readable) return false;
    std::string body;
    const char* eol = text.crlf ? "\r\n" : "\n";
    for (const std::string& line : text.lines) body.append(line).append(eol);
    SafeOutputFile out;
    if (!out.create(path) || !out.write(body.data(), body.size())) return false;
    return out.commit();
}

// Index of the first entry line for the key in any section of that name, or
// -1. sectionEnd receives the index after the last non-blank line of the first
// matching section (-1 when the section is missing).
struct Location {
    long entry = -1;
    long sectionEnd = -1;
};

Location locate(const ProfileText& text, std::string_view section, std::string_view key) {
    // Names are stored without the blanks around them.
    section = trim(section);
    key = trim(key);
    Location loc;
    enum { Before, InFirst, After } state = Before;
    bool inMatching = false;
    for (size_t i = 0; i < text.lines.size(); ++i) {
        ParsedLine p = parseLine(text.lines[i]);
        if (p.kind == ParsedLine::Section) {
            inMatching = sameName(p.name, section);
            if (inMatching && state == Before) {
                state = InFirst;
                loc.sectionEnd = long(i) + 1;
            } else if (state == InFirst) {
                state = After;
            }
            continue;
        }
        // Keys appended to the section go after its last non-blank line.
        if (state == InFirst && !trim(text.lines[i]).empty()) loc.sectionEnd = long(i) + 1;
        if (inMatching && p.kind == ParsedLine::Entry && loc.entry < 0 && !key.empty() && sameName(p.name, key))
            loc.entry = long(i);
    }
    return loc;
}

bool validSection(std::string_view section) {
    return !trim(section).empty() && !hasLineBreak(section) && section.find(']') == std::string_view::npos;
}

bool validKey(std::string_view key) {
    std::string_view t = trim(key);
    return !t.empty() && !hasLineBreak(key) && key.find('=') == std::string_view::npos && t.front() != ';' &&
           t.front() != '#' && t.front() != '[';
}

}  // namespace

std::string defaultProfilePath() { return profileFolder() + PathSeparator + "win.ini"; }

std::string resolveProfilePath(std::string_view fileName) {
    if (fileName.empty()) return defaultProfilePath();
    std::string path(fileName);
    for (char& c : path)
        if (c == '\\' || c == '/') c = PathSeparator;
    // A drive ("C:name") is a directory part on Windows.
    const std::string_view parts = PathSeparator == '\\' ? std::string_view("\\:") : std::string_view("/");
    if (path.find_first_of(parts) == std::string::npos) return profileFolder() + PathSeparator + path;
    return path;
}

std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view fileName) {
    std::string path = resolveProfilePath(fileName);
    std::lock_guard guard(profileLock());
    ProfileText text = load(path);
    Location loc = locate(text, section, key);
    if (loc.entry < 0) return std::string(trimRight(defaultValue));
    return std::string(unquote(parseLine(text.lines[size_t(loc.entry)]).value));
}

int getPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         std::string_view fileName) {
    std::string path = resolveProfilePath(fileName);
    std::string value;
    {
        std::lock_guard guard(profileLock());
        ProfileText text = load(path);
        Location loc = locate(text, section, key);
        if (loc.entry < 0) return defaultValue;
        value = std::string(unquote(parseLine(text.lines[size_t(loc.entry)]).value));
    }
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
    long long n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > 2147483648LL) n = 2147483648LL;  // saturate instead of overflowing
    }
    if (negative) n = -n;
    if (n > 2147483647LL) n = 2147483647LL;
    return int(n);
}

bool writePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, std::string_view fileName) {
    if (!validSection(section) || !validKey(key)) return false;
    if (value && hasLineBreak(*value)) return false;
    std::string path = resolveProfilePath(fileName);
    std::lock_guard guard(profileLock());
    ProfileText text = load(path);
    Location loc = locate(text, section, key);
    if (!value) {
        if (loc.entry < 0) return text.readable;  // nothing to remove, if it could be told
        text.lines.erase(text.lines.begin() + loc.entry);
        return store(path, text);
    }
    const std::string stored = storedValue(*value);
    std::string line = std::string(trim(key)) + "=" + stored;
    if (loc.entry >= 0) {
        // The key keeps the spelling it has in the file.
        line = std::string(parseLine(text.lines[size_t(loc.entry)]).name) + "=" + stored;
        if (text.lines[size_t(loc.entry)] == line) return true;
        text.lines[size_t(loc.entry)] = line;
    } else if (loc.sectionEnd >= 0) {
        text.lines.insert(text.lines.begin() + loc.sectionEnd, line);
    } else {
        if (!text.lines.empty() && !trim(text.lines.back()).empty()) text.lines.emplace_back();
        text.lines.push_back("[" + std::string(trim(section)) + "]");
        text.lines.push_back(line);
    }
    const std::string folder = profileFolder();
    if (!text.exists && path.compare(0, folder.size() + 1, folder + PathSeparator) == 0) createDirectories(folder);
    return store(path, text);
}

bool removePrivateProfileSection(std::string_view section, std::string_view fileName) {
    std::string path = resolveProfilePath(fileName);
    std::lock_guard guard(profileLock());
    ProfileText text = load(path);
    std::vector<std::string> kept;
    bool inSection = false;
    bool removed = false;
    for (std::string& line : text.lines) {
        ParsedLine p = parseLine(line);
        if (p.kind == ParsedLine::Section) inSection = sameName(p.name, trim(section));
        if (inSection) {
            removed = true;
            continue;
        }
        kept.push_back(std::move(line));
    }
    if (!removed) return text.readable;
    text.lines = std::move(kept);
    return store(path, text);
}

std::vector<std::string> privateProfileSections(std::string_view fileName) {
    std::string path = resolveProfilePath(fileName);
    std::lock_guard guard(profileLock());
    ProfileText text = load(path);
    std::vector<std::string> names;
    for (const std::string& line : text.lines) {
        ParsedLine p = parseLine(line);
        if (p.kind == ParsedLine::Section) names.emplace_back(p.name);
    }
    return names;
}

std::vector<std::string> privateProfileKeys(std::string_view section, std::string_view fileName) {
    std::string path = resolveProfilePath(fileName);
    std::lock_guard guard(profileLock());
    ProfileText text = load(path);
    std::vector<std::string> names;
    bool inSection = false;
    for (const std::string& line : text.lines) {
        ParsedLine p = parseLine(line);
        if (p.kind == ParsedLine::Section) inSection = sameName(p.name, trim(section));
        else if (inSection && p.kind == ParsedLine::Entry) names.emplace_back(p.name);
    }
    return names;
}

std::string getProfileString(std::string_view section, std::string_view key, std::string_view defaultValue) {
    return getPrivateProfileString(section, key, defaultValue, "");
}

int getProfileInt(std::string_view section, std::string_view key, int defaultValue) {
    return getPrivateProfileInt(section, key, defaultValue, "");
}

bool writeProfileString(std::string_view section, std::string_view key, std::optional<std::string_view> value) {
    return writePrivateProfileString(section, key, value, "");
}

}  // namespace varnok::platform
