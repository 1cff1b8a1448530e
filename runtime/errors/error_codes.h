// Runtime error codes: every runtime operation that can fail posts a number
// into the calling thread's error state instead of throwing. The state is
// per thread, created on the thread's first post or query; posting on one
// thread never changes what another reads.
#pragma once
#include <cstdint>
#include <string>

namespace varnok {

// Codes the runtime itself posts.
enum ErrorCodeNumber : int32_t {
    NoError = 0,
    FileNotFoundErr = 2,
    PathNotFoundErr = 3,
    TooManyOpenFilesErr = 4,
    AccessDeniedErr = 5,
    MemoryCorruptedErr = 7,
    InsufficientMemoryErr = 8,
    BadDriveErr = 15,
    EntryNotFoundErr = 30,
    FileAlreadyLockedErr = 32,
    RecordNotAvailableErr = 33,
    RecordNotFoundErr = 35,
    InvalidDataFileErr = 36,
    FileNotOpenErr = 37,
    InvalidKeyFileErr = 38,
    CreatesDuplicateKeyErr = 40,
    RecordHeldErr = 43,
    InvalidFilenameErr = 45,
    InvalidRecordDeclarationErr = 47,
    FileAlreadyOpenErr = 52,
    NoCreateAttributeErr = 54,
    FileMustBeSharedErr = 55,
    ExclusiveAccessRequiredErr = 63,
    SharingViolationErr = 64,
    InvalidFieldTypeDescriptorErr = 75,
    InvalidParameterCountErr = 78,
    UnsupportedDataTypeErr = 79,
    UnsupportedDriverFunctionErr = 80,
    UnknownErrorPostedErr = 81,
    InvalidKeyLengthErr = 88,
    FileSystemErr = 90,
    OsErrorBase = 300,  // 300 plus the operating system's own error number
};

void postError(int32_t code);
// Stores the code text a file back end reported (leading blanks skipped, cut
// to 80 characters) and a message text (leading blanks skipped, up to 255
// characters). Without a message (nullptr) the text becomes the text of code
// 90, " : " and the code text. A nullptr code text stores blanks.
void postFileError(const char* codeText, const char* messageText);
int32_t errorCode();
// True only while the calling thread has an error state whose code is 0, so
// that code which clears after every success can skip the call. A
// constant-initialised thread variable: reading it costs one load.
inline thread_local bool tErrorSurelyClear = false;
inline bool errorSurelyClear() { return tErrorSurelyClear; }
// The text of a code from the compiled-in table; an unlisted code gives the
// text of 81, " : " and the code in decimal. Empty while the calling thread
// has no error state yet.
std::string errorText(int32_t code);
std::string errorText();  // the text of the current code
// The stored texts without their blank padding.
std::string fileErrorCode();
std::string fileErrorText();
// Code 0 and both texts blank. Every queue and file operation starts with
// it, so the common case (nothing to clear) is one load and a branch.
inline thread_local bool tErrorStateClean = false;  // state exists, code 0, texts blank
void clearErrorSlowly();
inline void clearError() {
    if (!tErrorStateClean) clearErrorSlowly();
}

// The table entry for a code, nullptr for an unlisted one.
const char* errorTableText(int32_t code);

}  // namespace varnok
