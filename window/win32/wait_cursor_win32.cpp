#include "window/win32/wait_cursor_win32.h"

#include <windows.h>

#include <atomic>

namespace varnok::window::win32 {

namespace {
std::atomic<bool> waiting{false};
}  // namespace

void setWaitCursor(bool on) {
    if (waiting.exchange(on) == on) return;
    if (on) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return;
    }
    // Back to the cursor the window under the mouse wants: the arrow now,
    // and a WM_SETCURSOR for that window by "moving" the mouse where it is.
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    POINT at;
    if (GetCursorPos(&at)) SetCursorPos(at.x, at.y);
}

bool waitCursorOn() { return waiting.load(); }

bool keepWaitCursor() {
    if (!waiting.load()) return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

}  // namespace varnok::window::win32
