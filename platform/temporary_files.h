// Temporary files beside a file that is being replaced.
//
// A file is never written in place: its new content goes to a temporary
// file in the same folder, which is renamed over it when complete. The
// temporary file is named after the target and the program, so that anyone
// who finds one knows where it came from:
//
//     .<target name>.varnok-<process id>-<serial>.tmp
//
// (the target's name cut to at most 200 bytes, never inside a character, so
// the whole name fits the file system's limit). It is created exclusively
// (O_CREAT | O_EXCL on POSIX systems, CREATE_NEW on Windows): an existing
// file or link of that name is never opened, followed or reused; another
// serial number is tried instead.
//
// A process that dies while writing (killed, or the machine stopped) leaves
// its temporary file behind. Every creation first removes such leftovers
// from the folder: regular files named as above whose process no longer
// exists and, on POSIX systems, that belong to this user. Nothing else is
// touched: not another program's files, not the files of a run still in
// progress, not a folder, not a link.
//
// On Windows both '\' and '/' separate a path's folders.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok::platform {

// The temporary name for target written by process pid, serial n.
std::string temporaryNameFor(const std::string& target, long pid, unsigned serial);

// The process id in a file name (without its folder) of the form above;
// 0 when the name is not one of the program's temporary files.
long temporaryFileProcess(std::string_view fileName);

// Whether the process with that id is known to be gone (the system says no
// such process runs). A process of another user still counts as running.
bool processEnded(long pid);
// This process's id, as the names above hold it.
long currentProcessId();

// Removes stale temporary files (rules above) from folder ("" is the
// current folder). Returns how many were removed.
size_t removeStaleTemporaryFiles(const std::string& folder);

// Removes stale temporary files from target's folder, then creates a new
// temporary file beside target, for writing only (on POSIX systems with mode
// 0666 less the umask; on Windows shared with nobody until it is closed).
// Returns its handle (a descriptor on POSIX systems, a HANDLE on Windows)
// and puts its path into name; -1 with errno set when no file could be made
// (on Windows the thread's last error holds the system's own error too).
intptr_t createTemporaryBeside(const std::string& target, std::string& name);

// The folder part of a path ("." for a bare name, the root itself for a name
// in the root: "/", and on Windows "C:\" or "C:" for "C:name").
std::string folderOfPath(const std::string& path);

}  // namespace varnok::platform
