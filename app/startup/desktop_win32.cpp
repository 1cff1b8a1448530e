// The desktop start of the Windows program: the window through the native
// Win32 window layer and the system's message boxes. The layer's
// constructor registers the common controls (InitCommonControlsEx) and its
// window classes.
#include "app/startup/desktop.h"

#include "app/startup/program_run.h"
#include "window/installed_layer.h"
#include "window/message_box.h"
#include "window/win32/message_presenter_win32.h"
#include "window/win32/win32_window_layer.h"

namespace varnok::app {

// A Windows desktop always has its display.
bool displayAvailable() { return true; }

int runDesktop(int&, char**, std::string_view startFile) {
    window::InstalledLayer<window::win32::Win32WindowLayer, window::win32::Win32MessagePresenter> desktop;
    runProgram(startFile);
    return 0;
}

}  // namespace varnok::app
