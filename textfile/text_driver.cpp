// The text line driver's entry point: operations on closed files (OPEN,
// CREATE, REMOVE, ...), the driver commands and the hand-over to the
// reading, writing and locking functions for open files.
#include "textfile/text_driver.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <memory>
#include <mutex>
#include <set>

#include "runtime/queue/queue.h"
#include "textfile/operations.h"
#include "textfile/text_control_block.h"
#include "textfile/text_line_io.h"
#include "textfile/text_saved_state.h"
#include "textfile/trace_log.h"
#include "window/message_box.h"

namespace varnok::textfile {

namespace {

constexpr uint8_t kSupported[] = {
    op::ADD,          op::ADDfilelen,   op::APPEND,        op::APPENDlen,   op::BYTES,
    op::EOF_,         op::CLOSE,        op::COPY,          op::CREATE,      op::EMPTY,
    op::FLUSH,        op::GETfileptrlen, op::GETfileptr,   op::GET_PROPERTY, op::LOCKfile,
    op::LOCKfilesec,  op::NAME,         op::NEXT,          op::OPEN,        op::POINTERfile,
    op::POSITIONfile, op::PUT,          op::PUTfileptr,    op::PUTfileptrlen, op::REGETfile,
    op::REMOVE,       op::RENAME,       op::RESETfile,     op::SEND,        op::SETfile,
    op::SETfileptr,   op::SET_PROPERTY, op::SHARE,         op::UNLOCK,      op::GETSTATE,
    op::RESTORESTATE, op::FREESTATE,
};
static_assert(sizeof(kSupported) == 37, "the driver supports 37 operations");

// kSupported as a bit set over the operation codes, for a one-step test.
constexpr std::array<uint64_t, 2> supportedBits() {
    std::array<uint64_t, 2> bits{};
    for (uint8_t code : kSupported) bits[code / 64] |= uint64_t{1} << (code % 64);
    return bits;
}
constexpr std::array<uint64_t, 2> kSupportedBits = supportedBits();

bool inSet(const std::array<uint64_t, 2>& bits, int operation) {
    return operation >= 0 && operation < 128 &&
           (bits[static_cast<unsigned>(operation) / 64] >> (operation % 64) & 1) != 0;
}

// The supported operations that work on the open file's control block.
constexpr std::array<uint64_t, 2> openFileBits() {
    std::array<uint64_t, 2> bits = supportedBits();
    for (int code : {op::OPEN, op::SHARE, op::CREATE, op::CLOSE, op::SEND, op::NAME, op::REMOVE,
                     op::RENAME, op::COPY, op::FREESTATE}) {
        bits[code / 64] &= ~(uint64_t{1} << (code % 64));
    }
    return bits;
}
constexpr std::array<uint64_t, 2> kOpenFileBits = openFileBits();

bool onOpenFile(int operation) { return inSet(kOpenFileBits, operation); }

bool supported(int operation) { return inSet(kSupportedBits, operation); }

// The import module and the files handed to it.
struct ImportRegistry {
    std::mutex mutex;
    ImportEntry entry = nullptr;
    std::set<const FileDecl*> files;
};
// files.size(), readable without the mutex (and without the registry's
// construction guard) on every operation.
std::atomic<int> gImportFiles{0};
ImportRegistry& imports() {
    static ImportRegistry registry;
    return registry;
}

bool inImportMode(const FileDecl& file) {
    ImportRegistry& r = imports();
    if (gImportFiles.load(std::memory_order_acquire) == 0) return false;
    std::lock_guard<std::mutex> guard(r.mutex);
    return r.files.count(&file) != 0;
}

// Declared names come from fixed-length fields: blanks around them do not count.
std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string commandWord(const std::string& text) {
    std::string word;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) continue;
        if (c == '/' && !word.empty()) break;
        word.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return word;
}

bool equalsIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == 0;
}

bool flagValue(const std::string& value) {
    const std::string word = commandWord(value);
    return word == "1" || word == "ON" || word == "YES" || word == "TRUE";
}

void traceLockAttempt(const void* context, int32_t code) {
    traceLockFailure(*static_cast<const FileDecl*>(context), code);
}

bool parseSharing(uint8_t access, platform::FileSharing& sharing) {
    switch (access & 0xF0) {
    case 0x00: sharing = platform::FileSharing::Compatible; return true;
    case 0x10: sharing = platform::FileSharing::DenyAll; return true;
    case 0x20: sharing = platform::FileSharing::DenyWrite; return true;
    case 0x30: sharing = platform::FileSharing::DenyRead; return true;
    case 0x40: sharing = platform::FileSharing::DenyNone; return true;
    default: return false;
    }
}

}  // namespace

std::span<const uint8_t> TextDriver::supportedOperations() const { return kSupported; }

TextDriver& TextDriver::instance() {
    static TextDriver driver;
    return driver;
}

void TextDriver::registerImportModule(ImportEntry entry) {
    ImportRegistry& r = imports();
    std::lock_guard<std::mutex> guard(r.mutex);
    r.entry = entry;
}

int TextDriver::importModeFiles() { return gImportFiles.load(std::memory_order_acquire); }

bool TextDriver::nextOnOpenFile(FileDecl& file, int32_t& code) {
    if (!file.driverState || file.stateOwner != &instance() || gImportFiles.load(std::memory_order_acquire) != 0)
        return false;
    auto& cb = *static_cast<TextControlBlock*>(file.driverState);
    code = (cb.accessMode & 3) == 1 ? 5 : readNextLine(cb);
    return true;
}

int32_t TextDriver::call(int operation, FileDecl& file, FileArgs& args) {
    // The usual case first: an operation on an open file in no import mode.
    if (file.driverState && onOpenFile(operation) && gImportFiles.load(std::memory_order_acquire) == 0) {
        return callOpen(operation, *static_cast<TextControlBlock*>(file.driverState), file, args);
    }
    if (inImportMode(file)) {
        ImportEntry entry = nullptr;
        {
            std::lock_guard<std::mutex> guard(imports().mutex);
            entry = imports().entry;
        }
        const int32_t code = entry ? entry(operation, file, args) : 37;
        if (operation == op::CLOSE || !entry) {
            std::lock_guard<std::mutex> guard(imports().mutex);
            imports().files.erase(&file);
            gImportFiles = static_cast<int>(imports().files.size());
        }
        return code;
    }
    switch (operation) {
    case op::OPEN:
    case op::SHARE: return open(file, args);
    case op::CREATE: return create(file);
    case op::CLOSE: return close(file);
    case op::SEND: return send(file, args);
    case op::NAME: args.answer = file.name; return 0;
    case op::REMOVE: {
        if (file.driverState) return 5;  // deleting an open file would lose what is written to it
        const std::string name = platform::resolveFileName(trimmed(file.name));
        const int32_t code = platform::OsFile::remove(name);
        return (code == 0 || code == 2 || code == 3 || code == 45) ? code : 5;
    }
    case op::RENAME:
    case op::COPY: {
        const std::string from = platform::resolveFileName(trimmed(file.name));
        const std::string to = platform::resolveFileName(trimmed(args.text));
        if (from.empty() || to.empty()) return 45;
        return operation == op::RENAME ? platform::OsFile::rename(from, to)
                                       : platform::OsFile::copy(from, to);
    }
    case op::CLEAR:
        if (file.record && file.buffer) clearRecord(*file.record, file.buffer);
        return 0;
    case op::INVIEW:
    case op::ENDVIEW:
    case op::QUERY_VIEW: return 0;
    case op::FREESTATE: freeState(args.state); return 0;  // also after CLOSE: nothing may leak
    default: break;
    }
    if (!supported(operation)) return 80;
    auto* cb = static_cast<TextControlBlock*>(file.driverState);
    if (!cb) return 37;
    return callOpen(operation, *cb, file, args);
}

int32_t TextDriver::callOpen(int operation, TextControlBlock& cb, FileDecl& file, FileArgs& args) {
    const bool writeOnly = (cb.accessMode & 3) == 1;
    if (operation == op::NEXT) return writeOnly ? 5 : readNextLine(cb);  // the most frequent by far
    switch (operation) {
    case op::SETfile: cb.nextRead = 1; return 0;
    case op::SETfileptr: cb.nextRead = args.pointer ? args.pointer : 1; return 0;
    case op::RESETfile: {
        const uint32_t pointer = positionPointer(args.position);
        cb.nextRead = pointer ? pointer : 1;
        return 0;
    }
    case op::NEXT: return writeOnly ? 5 : readNextLine(cb);
    case op::GETfileptr:
    case op::GETfileptrlen: return writeOnly ? 5 : readLineAt(cb, args.pointer);
    case op::REGETfile: return writeOnly ? 5 : readLineAt(cb, positionPointer(args.position));
    case op::POINTERfile:
        args.result = cb.haveRecord ? static_cast<uint32_t>(cb.lineStart + 1) : 0;
        return 0;
    case op::POSITIONfile:
        args.position = positionBytes(cb.haveRecord ? static_cast<uint32_t>(cb.lineStart + 1) : 0);
        return 0;
    case op::ADD:
    case op::APPEND: return writeLine(cb, WritePlace::End, 0, 0, false);
    case op::ADDfilelen:
    case op::APPENDlen: return writeLine(cb, WritePlace::End, 0, args.length, true);
    case op::PUT: return writeLine(cb, WritePlace::CurrentLine, 0, 0, false);
    case op::PUTfileptr: return writeLine(cb, WritePlace::Pointer, args.pointer, 0, false);
    case op::PUTfileptrlen: return writeLine(cb, WritePlace::Pointer, args.pointer, args.length, true);
    case op::BYTES: {
        if (const int32_t code = refreshFileSize(cb)) return code;
        const uint64_t bytes = cb.bytesMeansLine ? cb.lineLength : cb.fileSize;
        args.result = static_cast<uint32_t>(std::min<uint64_t>(bytes, UINT32_MAX));
        return 0;
    }
    case op::EOF_: {
        bool atEnd = true;
        const int32_t code = atEndOfFile(cb, atEnd);
        args.result = atEnd ? 1 : 0;
        return code;
    }
    case op::EMPTY: return emptyFile(cb);
    case op::FLUSH: return 0;  // lines go to the system as they are written
    case op::LOCKfile: return lockFile(cb);
    case op::LOCKfilesec: return lockFileFor(cb, args.seconds, traceLockAttempt, &file);
    case op::UNLOCK: return unlockFile(cb);
    case op::GETSTATE: args.state = saveState(cb); return 0;
    case op::RESTORESTATE: return restoreState(cb, args.state);
    case op::SET_PROPERTY:
        if (equalsIgnoringCase(trimmed(args.text), "LineBytes")) {
            cb.bytesMeansLine = flagValue(args.value);
            return 0;
        }
        return 80;
    case op::GET_PROPERTY: {
        const std::string property = trimmed(args.text);
        if (equalsIgnoringCase(property, "LineBytes")) {
            args.answer = cb.bytesMeansLine ? "1" : "0";
            return 0;
        }
        if (equalsIgnoringCase(property, "FileName")) {
            args.answer = cb.fileName;
            return 0;
        }
        return 80;
    }
    default: return 80;
    }
}

int32_t TextDriver::open(FileDecl& file, FileArgs& args) {
    if (file.driverState) return 52;
    if (importModeFiles() > 0) return 90;
    const std::string name = platform::resolveFileName(trimmed(file.name));
    if (name.empty()) return 45;
    if (!file.record || !file.buffer || file.record->size() == 0) return 47;
    const uint8_t access = args.access;
    platform::FileSharing sharing{};
    if ((access & 3) == 3 || !parseSharing(access, sharing)) return 5;

    auto cb = std::make_unique<TextControlBlock>();
    cb->fileName = name;
    cb->record = file.buffer;
    cb->recordBytes = file.record->size();
    cb->accessMode = access;
    cb->oem = file.oem;
    if (const int32_t code =
            cb->file.open(name, static_cast<platform::FileAccess>(access & 3), sharing)) {
        return code;
    }
    cb->fileSize = cb->file.sizeAtOpen();
    cb->options = DriverOptions::forOpen(access, cb->recordBytes);
    if (!cb->resizeReadBuffer(cb->options.bufferSize)) return 8;
    cb->options.applyDriverString(file.driverString, cb.get());
    cb->readOnly = (access & 3) == 0;
    cb->shared = (access & 0xF0) == 0x40;
    file.driverState = cb.release();
    return 0;
}

int32_t TextDriver::create(FileDecl& file) {
    if (!file.create) return 54;
    const std::string name = platform::resolveFileName(trimmed(file.name));
    if (name.empty()) return 45;
    // Deny-all: a file that someone has open is not wiped under them.
    platform::OsFile created;
    if (created.open(name, platform::FileAccess::ReadWrite, platform::FileSharing::DenyAll, true) != 0)
        return 5;
    if (created.truncate(0) != 0) return 5;
    return created.close() == 0 ? 0 : 5;
}

int32_t TextDriver::close(FileDecl& file) {
    auto* cb = static_cast<TextControlBlock*>(file.driverState);
    if (!cb) return 0;
    file.driverState = nullptr;
    dropFileLock(*cb);
    const int32_t code = cb->file.close();
    delete cb;
    return code;
}

int32_t TextDriver::send(FileDecl& file, FileArgs& args) {
    const std::string word = commandWord(args.text);
    if (word == "REGISTER") {
        std::lock_guard<std::mutex> guard(imports().mutex);
        args.answer = imports().entry ? "1" : "0";
        return 0;
    }
    if (word == "IMPORTFILE") {
        ImportEntry entry = nullptr;
        {
            std::lock_guard<std::mutex> guard(imports().mutex);
            entry = imports().entry;
        }
        // The module decides whether it can take the file.
        if (!entry || file.driverState || entry(op::SEND, file, args) != 0) {
            window::message("File Driver does not support File Import", "File Import",
                            window::IconExclamation, window::ButtonOk);
            return 37;
        }
        std::lock_guard<std::mutex> guard(imports().mutex);
        imports().files.insert(&file);
        gImportFiles = static_cast<int>(imports().files.size());
        return 0;
    }
    auto* cb = static_cast<TextControlBlock*>(file.driverState);
    if (!cb) return 37;
    args.answer = cb->options.send(args.text, cb);
    return 0;
}

}  // namespace varnok::textfile
