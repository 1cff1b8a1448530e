// Resizer: what the window manager needs of the object that lays a window's
// controls out again when the window is resized: that it can be released
// with the window (WindowManager::Release). The window's procedure drives it
// (framework/windows/window_resizer.h is the concrete one).
#pragma once

namespace varnok::framework {

class Resizer {
public:
    virtual ~Resizer() = default;
    // The window is going; a second call does nothing.
    virtual void Kill() = 0;
};

}  // namespace varnok::framework
