// ScriptedPresenter: message boxes for tests. Each expected message is
// scripted with a text fragment to look for (in the caption or the text) and
// the button to answer; messages must arrive in script order. A message that
// was not scripted, or arrives out of order, fails the running test and is
// answered with its default button. Every message shown is recorded.
//
//   ScriptedPresenter boxes;                  // installs itself
//   boxes.expect("Overwrite", ButtonYes);
//   ...run the command...
//   boxes.verifyDone();                       // every scripted message came
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "window/message_box.h"

namespace varnok::testing {

class ScriptedPresenter : public window::MessagePresenter {
public:
    ScriptedPresenter();   // installs itself as the current presenter
    ~ScriptedPresenter() override;  // puts the previous presenter back

    ScriptedPresenter& expect(std::string fragment, unsigned answer);
    unsigned show(const window::MessageRequest& request) override;
    // Fails the test when scripted messages did not arrive.
    void verifyDone();

    const std::vector<window::MessageRequest>& shown() const { return shown_; }
    // Runs as each message shows, before it is answered: what the user sees
    // behind the box can be looked at then.
    std::function<void(const window::MessageRequest&)> onShow;

private:
    struct Step {
        std::string fragment;
        unsigned answer;
    };
    std::deque<Step> script_;
    std::vector<window::MessageRequest> shown_;
    window::MessagePresenter* previous_;
};

}  // namespace varnok::testing
