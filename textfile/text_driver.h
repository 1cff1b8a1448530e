// TextDriver: the text line driver ("ASCII", "ASCII (Text)"). Each record is
// one line of a plain text file; positions are byte offsets (1-based where a
// program sees them). Reading a line copies it into the record buffer padded
// with spaces; writing a line writes the buffer (less trailing spaces while
// CLIP is on) followed by the line terminator. Options come from the file's
// driver string at OPEN and from SEND (textfile/driver_options.h).
//
// While Ctrl-Z ends the file (CTRLZISEOF on), a Ctrl-Z ends the data wherever
// a read meets it, before anything else, also when the terminator begins
// with it: NEXT, EOF and reads at a pointer then agree on where the file ends.
//
// Guarantees beyond the plain operations:
//  - a line is written with one write call, and a write that fails is undone
//    (an append is cut off again, a rewritten line gets its old bytes back),
//    so the file only ever holds whole lines;
//  - a deny-none file takes the file lock around each write, so several
//    processes can append to one file;
//  - operations other than OPEN, SHARE, CREATE, CLOSE, REMOVE, RENAME, COPY,
//    NAME, SEND of a driver command, CLEAR and the view operations need an
//    open file and answer 37 otherwise.
//
// Import mode: a program can register an import module (registerImportModule).
// SEND "IMPORTFILE" to an open file then hands every further operation of that
// file to the module until CLOSE; without a module the message "File Driver
// does not support File Import" is shown and the answer is 37. While any file
// is in import mode, OPEN of an ordinary file answers 90.
#pragma once
#include <cstdint>
#include <span>

#include "textfile/file_driver.h"

namespace varnok::textfile {

class TextControlBlock;

// An import module's entry point: the operation, the file and its arguments.
using ImportEntry = int32_t (*)(int operation, FileDecl& file, FileArgs& args);

class TextDriver final : public FileDriver {
public:
    const char* name() const override { return "ASCII"; }
    const char* description() const override { return "ASCII (Text)"; }
    std::span<const uint8_t> supportedOperations() const override;
    int32_t call(int operation, FileDecl& file, FileArgs& args) override;

    // The one driver object the dispatcher uses.
    static TextDriver& instance();

    // Sets (or with nullptr removes) the import module; SEND "REGISTER"
    // answers "1" while one is registered, else "0".
    static void registerImportModule(ImportEntry entry);
    // Number of files currently in import mode.
    static int importModeFiles();

    // NEXT on a file this driver has open, outside import mode: the same
    // answer as call(op::NEXT, ...) without the general entry's tests. Answers
    // false, touching nothing, for any other file; `code` is set otherwise.
    static bool nextOnOpenFile(FileDecl& file, int32_t& code);

private:
    int32_t open(FileDecl& file, FileArgs& args);
    int32_t create(FileDecl& file);
    int32_t close(FileDecl& file);
    int32_t send(FileDecl& file, FileArgs& args);
    int32_t callOpen(int operation, TextControlBlock& cb, FileDecl& file, FileArgs& args);
};

}  // namespace varnok::textfile
