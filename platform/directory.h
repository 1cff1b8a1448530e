// Directory listing: the ordinary files whose names match a pattern.
// A folder, anything that is not a regular file, and a hidden file (one whose
// name begins with ".") are never listed. The last component of the pattern
// may hold the wildcards "*" and "?"; without them the listing holds the named
// file or nothing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace varnok::platform {

struct DirectoryEntry {
    std::string name;       // the file's name without its folder
    uint64_t size = 0;      // bytes
    int64_t modified = 0;   // seconds since 1970-01-01 UTC
    bool readOnly = false;  // the owner may not write it
};

// Replaces out with the matching entries, sorted by name. Returns the count.
size_t listDirectory(const std::string& pattern, std::vector<DirectoryEntry>& out);

// True when the last path component begins with "." (and is not "." or "..").
bool isHiddenName(const std::string& path);

}  // namespace varnok::platform
