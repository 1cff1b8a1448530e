#include "window/message_box.h"

#include "window/console_presenter.h"

namespace varnok::window {

std::string stockIcon(uint16_t resourceNumber) {
    uint16_t n = static_cast<uint16_t>(resourceNumber + 1);
    std::string code("\xFF\x01", 2);
    code.push_back(static_cast<char>(n & 0xFF));
    code.push_back(static_cast<char>(n >> 8));
    return code;
}

std::string messageLines(const std::string& text) {
    std::string lines = text;
    for (char& c : lines)
        if (c == '|') c = '\n';
    return lines;
}

unsigned effectiveDefault(const MessageRequest& request) {
    unsigned buttons = request.buttons ? request.buttons : ButtonOk;
    if (request.defaultButton && (request.defaultButton & buttons) == request.defaultButton &&
        (request.defaultButton & (request.defaultButton - 1)) == 0)
        return request.defaultButton;
    return buttons & (~buttons + 1);  // lowest bit
}

unsigned escapeButton(unsigned buttons, unsigned fallback) {
    for (unsigned bit : {ButtonCancel, ButtonNo, ButtonOk})
        if (buttons & bit) return bit;
    return fallback;
}

namespace {
MessagePresenter*& currentPresenter() {
    static MessagePresenter* presenter = nullptr;
    return presenter;
}
ConsolePresenter& defaultPresenter() {
    static ConsolePresenter console;
    return console;
}
}  // namespace

MessagePresenter& messagePresenter() {
    MessagePresenter* p = currentPresenter();
    return p ? *p : defaultPresenter();
}

MessagePresenter* setMessagePresenter(MessagePresenter* presenter) {
    MessagePresenter* previous = currentPresenter();
    currentPresenter() = presenter;
    return previous;
}

unsigned message(const std::string& text, const std::string& caption, const std::string& icon,
                 unsigned buttons, unsigned defaultButton) {
    MessageRequest request{text, caption, icon, buttons, defaultButton};
    return messagePresenter().show(request);
}

unsigned ConsolePresenter::show(const MessageRequest& request) {
    if (echo_) {
        std::string line = request.caption.empty() ? messageLines(request.text)
                                                   : request.caption + ": " + messageLines(request.text);
        std::fprintf(out_, "%s\n", line.c_str());
        std::fflush(out_);
    }
    unsigned buttons = request.buttons ? request.buttons : ButtonOk;
    bool question = (buttons & (buttons - 1)) != 0;
    if (question && !answers_.empty()) {
        unsigned answer = answers_.front();
        answers_.pop_front();
        if ((answer & buttons) == answer && answer != 0 && (answer & (answer - 1)) == 0) return answer;
    }
    return effectiveDefault(request);
}

}  // namespace varnok::window
