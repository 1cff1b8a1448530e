// Message boxes: the window layer's seam through which the framework and the
// application show messages and ask questions. One presenter is current per
// process: the Qt one in the desktop program, a console one on the command
// line, a scripted one in tests.
#pragma once
#include <cstdint>
#include <string>

namespace varnok::window {

// Button bits; a box returns the bit of the button pressed.
enum Button : unsigned {
    ButtonOk = 1,
    ButtonYes = 2,
    ButtonNo = 4,
    ButtonAbort = 8,
    ButtonRetry = 16,
    ButtonIgnore = 32,
    ButtonCancel = 64,
    ButtonHelp = 128,
};

// Icons are four-byte codes: 0xFF, 0x01 and a 16-bit little-endian number one
// more than the stock icon resource number. A name starting with "~" names an
// icon stored among the program's resources.
std::string stockIcon(uint16_t resourceNumber);
inline const std::string IconHand = std::string("\xFF\x01\x02\x7F", 4);
inline const std::string IconQuestion = std::string("\xFF\x01\x03\x7F", 4);
inline const std::string IconExclamation = std::string("\xFF\x01\x04\x7F", 4);
inline const std::string IconInformation = std::string("\xFF\x01\x05\x7F", 4);

struct MessageRequest {
    std::string text;     // "|" starts a new line
    std::string caption;
    std::string icon;     // a four-byte code, a "~name", or empty
    unsigned buttons = ButtonOk;
    unsigned defaultButton = 0;  // a button bit; 0 means the first button
};

// Text with every "|" turned into a line feed.
std::string messageLines(const std::string& text);
// The bit of the default button: defaultButton when it is one of buttons,
// else the lowest bit of buttons (ButtonOk when buttons is 0).
unsigned effectiveDefault(const MessageRequest& request);
// What Esc or the close box answers, among the bits `buttons`: Cancel, else
// No, else OK, else `fallback`.
unsigned escapeButton(unsigned buttons, unsigned fallback);

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows the message and returns the bit of the button pressed.
    virtual unsigned show(const MessageRequest& request) = 0;
};

// The current presenter; a console presenter until one is installed.
MessagePresenter& messagePresenter();
// Installs a presenter (not owned) and returns the previous one; nullptr goes
// back to the default console presenter.
MessagePresenter* setMessagePresenter(MessagePresenter* presenter);

// Shows a message through the current presenter.
unsigned message(const std::string& text, const std::string& caption = "",
                 const std::string& icon = "", unsigned buttons = ButtonOk,
                 unsigned defaultButton = 0);

}  // namespace varnok::window
