// Interim stand-in (see window/win32/interim/README.md): message boxes.
#pragma once
#include "window/message_box.h"

namespace varnok::window::win32 {
class Win32MessagePresenter : public MessagePresenter {
public:
    Win32MessagePresenter() = default;
    unsigned show(const MessageRequest& request) override;
};
}  // namespace varnok::window::win32
