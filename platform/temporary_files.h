// Temporary files beside a file that is being replaced.
//
// A file is never written in place: its new content goes to a temporary
// file in the same folder, which is renamed over it when complete. The
// temporary file is named after the target and the program, so that anyone
// who finds one knows where it came from:
//
//     .<target name>.varnok-<process id>-<serial>.tmp
//
// (the target's name cut to 200 bytes, so the whole name fits the file
// system's limit). It is created exclusively (O_CREAT | O_EXCL): an existing
// file or link of that name is never opened, followed or reused; another
// serial number is tried instead.
//
// A process that dies while writing (killed, or the machine stopped) leaves
// its temporary file behind. Every creation first removes such leftovers
// from the folder: regular files named as above, owned by this user, whose
// process no longer exists. Nothing else is touched: not another program's
// files, not the files of a run still in progress, not a link.
#pragma once
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace varnok::platform {

// The open call used to create the file (a test seam of the caller's).
using OpenFunction = int (*)(const char* path, int flags, mode_t mode);

// The temporary name for target written by process pid, serial n.
std::string temporaryNameFor(const std::string& target, long pid, unsigned serial);

// The process id in a file name (without its folder) of the form above;
// 0 when the name is not one of the program's temporary files.
long temporaryFileProcess(std::string_view fileName);

// Removes stale temporary files (rules above) from folder ("" is the
// current folder). Returns how many were removed.
size_t removeStaleTemporaryFiles(const std::string& folder);

// Removes stale temporary files from target's folder, then creates a new
// temporary file beside target, write-only, mode 0666 less the umask.
// Returns its descriptor and puts its path into name; -1 with errno set
// when no file could be created.
int createTemporaryBeside(const std::string& target, std::string& name, OpenFunction open = nullptr);

// The folder part of a path ("." for a bare name, "/" for the root).
std::string folderOfPath(const std::string& path);

}  // namespace varnok::platform
