// Plain files for whole-file loads and safe saves.
//
// InputFile reads an existing file at given offsets. SafeOutputFile writes a
// temporary file in the target's folder (named and created as
// platform/temporary_files.h says) and puts it in the target's place only on
// commit(), after every byte was written and flushed to disk, by one rename;
// until then, and after any failure, the target is untouched and the
// temporary file is removed. A process killed at any moment leaves under the
// target's name either the old file or the complete new one. A symbolic link
// as target is followed, so the file it names is replaced.
//
// On POSIX systems the rename is rename(2), and a replaced file keeps its
// permission bits (and its owner and group where the system allows). On
// Windows it is MoveFileExW (replacing, write-through), and a replaced file
// keeps its attributes (hidden, system, archive) and its creation time; its
// security is the folder's, as for any new file there. On Windows a target
// that is open cannot always be replaced: one held without sharing deletion
// never, one held by a reader (InputFile shares deletion) only where the
// system renames with POSIX semantics (not Wine, not older Windows); the
// save then fails with EACCES and the old file stays. A read-only target may
// be refused too. ReplaceFileW is not used: it is not one step everywhere
// (Wine's moves the old file away first), so a process killed inside it
// could leave neither file under the name.
//
// Failures are errno values on every system (Windows errors mapped as the C
// runtime maps them), so systemErrorText() describes them.
//
// Every open, read, write, flush and rename goes through a fault seam: a test
// can make the Nth call of one kind fail (failFileOperation).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace varnok::platform {

enum class FileOp { Open, Read, Write, Sync, Rename };
constexpr int fileOpCount = 5;

// The nth call of op from now on fails (with EIO; EACCES for Open); 0 = never.
void failFileOperation(FileOp op, int nth);
// Just before the nth call of op from now on, action runs (once): a test can
// change a file while it is being read or written.
void beforeFileOperation(FileOp op, int nth, std::function<void()> action);
// Disarms every failure and action.
void clearFileFaults();
// Counts one call of op: runs its action when due, and answers true (with
// errno set as the failure would set it) when this call is to fail. The
// implementations ask before each call of that kind.
bool fileFaultInjected(FileOp op);

// Device and inode of a file, following symbolic links (on Windows the
// volume's serial number and the file's index).
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool valid = false;
    bool operator==(const FileIdentity& o) const {
        return valid && o.valid && device == o.device && inode == o.inode;
    }
};
FileIdentity fileIdentity(const std::string& path);

// Size and time of last change of an open file: a file that reads the same
// stamp before and after being read was not written meanwhile.
struct FileStamp {
    uint64_t size = 0;
    int64_t modifiedNs = 0;  // nanoseconds since 1970 (Windows keeps 100 ns steps)
    bool valid = false;
    bool operator==(const FileStamp& o) const {
        return valid && o.valid && size == o.size && modifiedNs == o.modifiedNs;
    }
};

// True when anything (a file, a folder, a link) has that name.
bool pathExists(const std::string& path);
bool isDirectory(const std::string& path);
// True when an existing file (not a folder) is read-only, so that a save
// must not replace it: on Windows it carries the read-only attribute; on
// POSIX systems this process has no write permission for it (the owner's
// bit for the owner and for the superuser, whom the bits would not stop,
// the group's or the others' for anyone else).
bool isReadOnlyFile(const std::string& path);

// The operating system's text for an errno value.
std::string systemErrorText(int error);

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens for reading; false on failure (error() tells why).
    bool open(const std::string& path);
    // Opens the file another InputFile has open, as a handle of its own (for
    // reading on another thread); false on failure.
    bool duplicate(const InputFile& other);
    // Reads up to n bytes at offset; the count read, 0 at the end, -1 on failure.
    int64_t readAt(uint64_t offset, void* buffer, size_t n);
    void close();
    FileIdentity identity() const;
    FileStamp stamp() const;
    int error() const { return error_; }

private:
    intptr_t handle_ = -1;  // a descriptor on POSIX systems, a HANDLE on Windows
    int error_ = 0;
};

class SafeOutputFile {
public:
    SafeOutputFile() = default;
    ~SafeOutputFile();  // abandons an uncommitted file
    SafeOutputFile(const SafeOutputFile&) = delete;
    SafeOutputFile& operator=(const SafeOutputFile&) = delete;

    // Creates the temporary file beside target. False on failure; a target
    // that is a read-only file (isReadOnlyFile) is refused with EACCES and
    // targetReadOnly() set, since a rename would replace it all the same.
    bool create(const std::string& target);
    bool targetReadOnly() const { return targetReadOnly_; }
    // Writes all n bytes. False on failure.
    bool write(const void* data, size_t n);
    // Writes all n bytes at an offset: 0, or the errno of the failure (the
    // file's own error() is left alone). Writes of different ranges may run
    // on several threads at once.
    int writeAt(uint64_t offset, const void* data, size_t n) const;
    // Records the error a writeAt reported, for error() and for the caller.
    void setError(int error) { error_ = error; }
    // Flushes, closes and renames over the target. False on failure, after
    // which the target is as it was and the temporary file is gone.
    bool commit();
    // Closes and removes the temporary file.
    void abandon();
    int error() const { return error_; }
    const std::string& temporaryName() const { return temp_; }

private:
    intptr_t handle_ = -1;  // the temporary file's (see InputFile)
    int error_ = 0;
    std::string target_;
    std::string temp_;
    uint64_t end_ = 0;  // where write() goes on
    unsigned mode_ = 0;
    unsigned owner_ = 0, group_ = 0;
    bool keepMode_ = false;
    bool targetReadOnly_ = false;
};

}  // namespace varnok::platform
