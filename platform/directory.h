// Directory listing: the ordinary files whose names match a pattern, and
// the creation of folders.
//
// A folder, anything that is not a regular file, and a hidden file are
// never listed. A file is hidden when its name begins with "." (and is not
// "." or ".."); on Windows also when it carries the hidden attribute. A
// symbolic link counts as the file it leads to.
//
// The last component of the pattern may hold the wildcards "*" (any run of
// characters) and "?" (one character); without them the listing holds the
// named file or nothing. How names match follows the system's file names:
// byte for byte on Linux (where "?" is one byte), without regard to case on
// Windows (where "?" is one UTF-16 unit). Windows matches the whole name
// only: "*.txa" does not find "a.txab" through its short 8.3 name.
//
// Paths use the system's separator ("/"; on Windows "\", where "/" is taken
// as "\" too). Windows paths are UTF-8 texts and may be longer than the
// classic 260 characters.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace varnok::platform {

#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

struct DirectoryEntry {
    std::string name;       // the file's name without its folder
    uint64_t size = 0;      // bytes
    int64_t modified = 0;   // seconds since 1970-01-01 UTC
    bool readOnly = false;  // the owner may not write it (Windows: the read-only attribute)
};

// Replaces out with the matching entries, sorted by name (bytes of the
// UTF-8 names). Returns the count.
size_t listDirectory(const std::string& pattern, std::vector<DirectoryEntry>& out);

// True when the file the path names is hidden (rules above). The name alone
// decides on Linux; on Windows an existing file's attribute counts too.
bool isHiddenName(const std::string& path);

// Creates the folder and each missing folder above it. True when the path
// is a folder afterwards.
bool createDirectories(const std::string& path);

}  // namespace varnok::platform
