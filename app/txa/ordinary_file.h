// The one check of a name before its file is loaded: is it an ordinary file?
// The directory listing decides (platform/directory.h: a folder, a hidden
// file and anything that is not a regular file are never listed); when the
// name lists nothing, FileCheck says why, for the command line's message.
//
//   FileCheck c = checkOrdinaryFile("main.txa");
//   if (!c.ordinary()) ...        // c.kind: Missing, Folder, Hidden, NotOrdinary
#pragma once
#include <cstdint>
#include <string>

namespace varnok::app {

enum class FileKind : uint8_t {
    Ordinary,     // listed: a regular file that is not hidden
    Missing,      // nothing has that name
    Folder,
    Hidden,       // its name begins with "."
    NotOrdinary,  // something else (a device, a pipe, a name the listing refuses)
};

struct FileCheck {
    FileKind kind = FileKind::Missing;
    uint64_t size = 0;  // bytes, as listed (Ordinary only)
    bool ordinary() const { return kind == FileKind::Ordinary; }
};

FileCheck checkOrdinaryFile(const std::string& name);

}  // namespace varnok::app
