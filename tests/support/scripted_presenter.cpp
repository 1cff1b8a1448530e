#include "tests/support/scripted_presenter.h"

#include <gtest/gtest.h>

namespace varnok::testing {

ScriptedPresenter::ScriptedPresenter() : previous_(window::setMessagePresenter(this)) {}

ScriptedPresenter::~ScriptedPresenter() { window::setMessagePresenter(previous_); }

ScriptedPresenter& ScriptedPresenter::expect(std::string fragment, unsigned answer) {
    script_.push_back({std::move(fragment), answer});
    return *this;
}

unsigned ScriptedPresenter::show(const window::MessageRequest& request) {
    shown_.push_back(request);
    if (onShow) onShow(request);
    if (script_.empty()) {
        ADD_FAILURE() << "unexpected message: " << request.caption << ": " << request.text;
        return window::effectiveDefault(request);
    }
    Step step = script_.front();
    if (request.caption.find(step.fragment) == std::string::npos &&
        request.text.find(step.fragment) == std::string::npos) {
        ADD_FAILURE() << "expected a message with \"" << step.fragment << "\", got: " << request.caption
                      << ": " << request.text;
        return window::effectiveDefault(request);
    }
    script_.pop_front();
    return step.answer;
}

void ScriptedPresenter::verifyDone() {
    for (const Step& s : script_) ADD_FAILURE() << "scripted message did not come: \"" << s.fragment << "\"";
    script_.clear();
}

}  // namespace varnok::testing
