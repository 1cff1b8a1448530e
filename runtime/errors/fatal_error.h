// Fatal run-time errors: the failures inside the runtime that cannot be
// handed back to the caller as an error code (a record or field that cannot
// be made, a mistyped parameter, memory that cannot be had where no error can
// be posted) end the program here, with exit code 2.
//
// fatalRuntimeError(code, text) builds one message of at most 1000
// characters: the text of `code` (runtime/errors/error_codes.h) when the code
// is not 0, then " : " and `text` when both are present. A non-zero code is
// also posted as the calling thread's error code. Then:
//  - with a handler installed and in force, the message becomes the current
//    fatal message (fatalErrorMessage()) and the handler is called with the
//    code; nothing is shown;
//  - with a handler installed but not in force, nothing is shown;
//  - without a handler, the question box of the platform is "shown" on
//    standard error, without the window layer:
//        Runtime error
//        <message>
//        Do you want to GPF?
//    and answered with its default button, No, so no access fault is raised.
// In every case the process then ends with std::exit(2). The message is
// built without allocating, so the road stays open when memory has run out.
// A fatal error raised again on the same thread while one is in progress
// (e.g. from the handler) skips the handler and the posting and goes straight
// to the box and the exit.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok {

// The largest message, in characters; longer ones are cut.
constexpr size_t FatalMessageLimit = 1000;

[[noreturn]] void fatalRuntimeError(int32_t code, std::string_view text = {});

// The message fatalRuntimeError(code, text) builds.
std::string fatalErrorText(int32_t code, std::string_view text);

// The program's fatal-error handler; it receives the error code.
using FatalErrorHandler = void (*)(int32_t code);
// Installs a handler (nullptr removes it) and returns the previous one. A
// handler is in force from the start; setFatalErrorHandlerInForce changes
// that without removing it.
FatalErrorHandler setFatalErrorHandler(FatalErrorHandler handler);
FatalErrorHandler fatalErrorHandler();
void setFatalErrorHandlerInForce(bool inForce);
bool fatalErrorHandlerInForce();

// The message of the fatal error in progress on the calling thread, as
// handed to a handler in force; empty otherwise.
const char* fatalErrorMessage();

}  // namespace varnok
