// FileDriver: what every file driver offers the operation dispatcher. A driver
// has a name (the one file declarations give), a description, the counted list
// of operation codes it supports (textfile/operations.h), and one entry point
// that carries out an operation on a file and answers with an error code
// (0 for success; runtime/error_codes.h).
//
// FileArgs carries an operation's arguments in and its answers out; each
// operation reads and writes only the members its comment names.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "textfile/file_decl.h"

namespace varnok::textfile {

struct FileArgs {
    // In.
    uint8_t access = 0;         // OPEN, SHARE: access bits (low 2) and sharing (high 4)
    uint32_t pointer = 0;       // 1-based byte pointer: SETfileptr, GETfileptr[len], PUTfileptr[len]
    uint32_t length = 0;        // the length variants: ADDfilelen, APPENDlen, GETfileptrlen, PUTfileptrlen
    uint32_t seconds = 0;       // LOCKfilesec
    std::string text;           // SEND option text; RENAME and COPY new name; *_PROPERTY name
    std::string value;          // SET_PROPERTY value
    // In and out.
    std::array<uint8_t, 4> position{};  // RESETfile, REGETfile in; POSITIONfile out (little-endian)
    void* state = nullptr;      // GETSTATE out; RESTORESTATE, FREESTATE in
    // Out.
    uint32_t result = 0;        // POINTERfile, BYTES, EOF (1 at the end, else 0)
    std::string answer;         // SEND's previous value, NAME, GET_PROPERTY
};

// The 4-byte form of a position and back.
std::array<uint8_t, 4> positionBytes(uint32_t pointer);
uint32_t positionPointer(const std::array<uint8_t, 4>& position);

class FileDriver {
public:
    virtual ~FileDriver() = default;
    virtual const char* name() const = 0;          // e.g. "ASCII"
    virtual const char* description() const = 0;   // e.g. "ASCII (Text)"
    virtual std::span<const uint8_t> supportedOperations() const = 0;
    // Carries out one operation; answers 0 or an error code.
    virtual int32_t call(int operation, FileDecl& file, FileArgs& args) = 0;
};

}  // namespace varnok::textfile
