#include "runtime/errors/fatal_error.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/errors/error_codes.h"

namespace varnok {

namespace {

std::atomic<FatalErrorHandler> installedHandler{nullptr};
std::atomic<bool> handlerInForce{true};

// The message of the fatal error in progress on this thread, zero-terminated.
thread_local char tMessage[FatalMessageLimit + 1] = {};
thread_local int tDepth = 0;

// Appends as much of `text` as fits; `used` counts the characters so far.
void append(char* out, size_t& used, std::string_view text) {
    const size_t room = FatalMessageLimit - used;
    const size_t n = text.size() < room ? text.size() : room;
    std::memcpy(out + used, text.data(), n);
    used += n;
    out[used] = '\0';
}

// Builds the message into out (FatalMessageLimit + 1 bytes) without
// allocating; returns its length.
size_t composeMessage(int32_t code, std::string_view text, char* out) {
    size_t used = 0;
    out[0] = '\0';
    if (code != 0) {
        if (const char* known = errorTableText(code)) {
            append(out, used, known);
        } else {
            // The same text errorText() gives an unlisted code.
            char unknown[64];
            const int n = std::snprintf(unknown, sizeof unknown, "%s : %d", errorTableText(UnknownErrorPostedErr),
                                        static_cast<int>(code));
            append(out, used, std::string_view(unknown, n > 0 ? static_cast<size_t>(n) : 0));
        }
    }
    if (!text.empty()) {
        if (used != 0) append(out, used, " : ");
        append(out, used, text);
    }
    return used;
}

void writeQuestion(const char* message, size_t length) {
    std::fputs("Runtime error\n", stderr);
    std::fwrite(message, 1, length, stderr);
    std::fputs("\nDo you want to GPF?\n", stderr);
    std::fflush(stderr);
}

}  // namespace

std::string fatalErrorText(int32_t code, std::string_view text) {
    char buffer[FatalMessageLimit + 1];
    const size_t n = composeMessage(code, text, buffer);
    return std::string(buffer, n);
}

void fatalRuntimeError(int32_t code, std::string_view text) {
    const bool nested = tDepth++ > 0;
    char message[FatalMessageLimit + 1];
    const size_t length = composeMessage(code, text, message);
    if (code != 0 && !nested) {
        try {
            postError(code);
        } catch (...) {
            // No error state can be made for this thread; the message still goes out.
        }
    }
    FatalErrorHandler handler = nested ? nullptr : installedHandler.load();
    if (handler) {
        if (handlerInForce.load()) {
            std::memcpy(tMessage, message, length + 1);
            handler(code);
        }
    } else {
        // The question's default button is No: no access fault is raised.
        writeQuestion(message, length);
    }
    std::exit(2);
}

FatalErrorHandler setFatalErrorHandler(FatalErrorHandler handler) { return installedHandler.exchange(handler); }

FatalErrorHandler fatalErrorHandler() { return installedHandler.load(); }

void setFatalErrorHandlerInForce(bool inForce) { handlerInForce.store(inForce); }

bool fatalErrorHandlerInForce() { return handlerInForce.load(); }

const char* fatalErrorMessage() { return tMessage; }

}  // namespace varnok
