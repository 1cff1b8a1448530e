// The halt: how the program ends on purpose, with an exit code and a text
// for the user (e.g. the title of the message that made it end).
//
// One handler is current per process, in the manner of the message
// presenter (window/message_box.h). The default handler writes the text,
// when it is not empty, as one line to standard error and ends the process
// with std::exit(exitCode), so files are flushed and closed. An installed
// handler may return instead; halt() then returns too, and its caller must
// carry on sensibly (the error manager answers 3, "end of the loop").
#pragma once
#include <string>

namespace varnok::window {

class HaltHandler {
public:
    virtual ~HaltHandler() = default;
    // Ends the program, or returns when this handler chooses not to.
    virtual void halt(int exitCode, const std::string& text) = 0;
};

// The current handler; the default one until another is installed.
HaltHandler& haltHandler();
// Installs a handler (not owned) and returns the previous one; nullptr goes
// back to the default handler.
HaltHandler* setHaltHandler(HaltHandler* handler);

// Ends the program through the current handler.
void halt(int exitCode, const std::string& text);

}  // namespace varnok::window
