// The system calls an OsFile makes on POSIX systems, as a table the tests of
// the platform layer can change: a test replaces entries to make calls fail,
// fall short or be interrupted, and puts realPosixCalls() back afterwards.
#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

struct flock;

namespace varnok::platform {

struct PosixCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*pread)(int fd, void* buffer, size_t count, off_t offset);
    ssize_t (*pwrite)(int fd, const void* buffer, size_t count, off_t offset);
    int (*ftruncate)(int fd, off_t length);
    int (*fstat)(int fd, struct stat* info);
    int (*lock)(int fd, int command, struct flock* request);  // fcntl locking
    int (*close)(int fd);
    int (*unlink)(const char* path);
    int (*rename)(const char* from, const char* to);
};
const PosixCalls& realPosixCalls();
// The table in use; assign entries (or the whole table) to redirect calls.
PosixCalls& posixCalls();

}  // namespace varnok::platform
