// NoToolbar: the main window's toolbar object. The window has no browse or
// form navigation buttons, so there is nothing for a toolbar to do; the
// object is attached all the same, as every window procedure attaches one.
#pragma once
#include "framework/windows/toolbar.h"

namespace varnok::app {

class NoToolbar : public framework::Toolbar {
public:
    void Init() override {}
    void TakeEvent(const window::Event&, int32_t*) override {}
    void OnNewSelection() override {}
    void Kill() override {}
};

}  // namespace varnok::app
