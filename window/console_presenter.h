// ConsolePresenter: message boxes for the command line. Each message is
// written to standard error as "caption: text" (a "|" starts a new line).
// A question (more than one button) takes the next answer the caller queued
// beforehand when that answer is one of its buttons, else its default button.
#pragma once
#include <cstdio>
#include <deque>

#include "window/message_box.h"

namespace varnok::window {

class ConsolePresenter : public MessagePresenter {
public:
    explicit ConsolePresenter(std::FILE* out = stderr) : out_(out) {}
    // Queues the answer to the next question.
    void queueAnswer(unsigned button) { answers_.push_back(button); }
    void clearAnswers() { answers_.clear(); }
    // When false, nothing is written (the answers still apply).
    void setEcho(bool echo) { echo_ = echo; }

    unsigned show(const MessageRequest& request) override;

private:
    std::FILE* out_;
    std::deque<unsigned> answers_;
    bool echo_ = true;
};

}  // namespace varnok::window
