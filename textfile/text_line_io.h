// The text line driver's reading, writing and locking on an open control
// block. Every function answers 0 or a runtime error code.
#pragma once
#include <cstdint>

#include "textfile/text_control_block.h"

namespace varnok::textfile {

// Reads the line that starts at a 1-based byte pointer into the record
// buffer. Pointer 0 reads nothing and answers 0; a pointer past the end of
// the file, or at a Ctrl-Z that ends it, answers 33.
int32_t readLineAt(TextControlBlock& cb, uint64_t pointer);
// Reads at the next read position and moves that position past the line.
int32_t readNextLine(TextControlBlock& cb);
// Whether nothing can be read at the next read position.
int32_t atEndOfFile(TextControlBlock& cb, bool& atEnd);
// Asks the system for the file's size when another process may have changed it.
int32_t refreshFileSize(TextControlBlock& cb);

enum class WritePlace { End, Pointer, CurrentLine };
// Writes the record buffer as one line: at the end of the file, at a 1-based
// pointer, or over the current line. Without a length the whole record is
// written; a length of 0 cuts the file off at the write position instead.
int32_t writeLine(TextControlBlock& cb, WritePlace place, uint64_t pointer, uint32_t length,
                  bool hasLength);
// Cuts the file to 0 bytes.
int32_t emptyFile(TextControlBlock& cb);

// Takes the file lock for one write, waiting a bounded time (10 seconds
// unless changed) while another open holds it; answers 0, 32 when the time
// ran out, or the system's error.
int32_t waitForWriteLock(platform::OsFile& file);
// Sets that bound for the whole process; answers the previous one.
uint32_t setWriteLockWaitMilliseconds(uint32_t milliseconds);
// LOCKfile: waits for the file lock without limit (nested calls only count).
int32_t lockFile(TextControlBlock& cb);
// LOCKfilesec: tries once a second until the seconds have passed; each failed
// attempt is reported to onFailure.
int32_t lockFileFor(TextControlBlock& cb, uint32_t seconds, void (*onFailure)(const void* context, int32_t code),
                    const void* context);
// UNLOCK: counts one level down; the lock goes at 0.
int32_t unlockFile(TextControlBlock& cb);
// Releases the lock whatever the count (CLOSE).
void dropFileLock(TextControlBlock& cb);

}  // namespace varnok::textfile
