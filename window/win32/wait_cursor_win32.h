// The wait cursor of the Windows window layer.
//
// setWaitCursor(true) shows the hourglass (IDC_WAIT) at once and keeps it
// while the program works: a busy thread handles no WM_SETCURSOR, so the
// cursor stays; when input is handled meanwhile (paintPending, a modal
// loop), each window's WM_SETCURSOR handler asks keepWaitCursor() first
// and, when it returns true, returns TRUE without setting a cursor of its
// own. setWaitCursor(false) goes back to the cursor of the window under the
// mouse. It is a state, not a count, like the layer's setCursor: a second
// "on" changes nothing, one "off" ends it. The state is the process's
// (the window layer calls it from the thread that owns its windows).
#pragma once

namespace varnok::window::win32 {

void setWaitCursor(bool on);
bool waitCursorOn();
// For WM_SETCURSOR: while the wait cursor is on, sets it and returns true
// (the handler then returns TRUE); else returns false and does nothing.
bool keepWaitCursor();

}  // namespace varnok::window::win32
