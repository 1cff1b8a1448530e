// The desktop start of the Windows program: the window through the native
// Win32 window layer and the system's message boxes. The layer's
// constructor registers the common controls (InitCommonControlsEx) and its
// window classes.
#include "app/startup/desktop.h"

#include "app/startup/program_run.h"
#include "window/message_box.h"
#include "window/window_layer.h"
// After the program's own headers: windows.h defines DELETE, a name the
// queue's interface uses.
#include "window/win32/message_presenter_win32.h"
#include "window/win32/win32_window_layer.h"

namespace varnok::app {

namespace {
// Installs the Win32 layer and presenter for its lifetime.
class Win32Desktop {
public:
    Win32Desktop()
        : previousLayer_(window::setWindowLayer(&layer_)), previousPresenter_(window::setMessagePresenter(&boxes_)) {}
    ~Win32Desktop() {
        window::setMessagePresenter(previousPresenter_);
        window::setWindowLayer(previousLayer_);
    }
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

private:
    window::win32::Win32WindowLayer layer_;
    window::win32::Win32MessagePresenter boxes_;
    window::WindowLayer* previousLayer_;
    window::MessagePresenter* previousPresenter_;
};
}  // namespace

// A Windows desktop always has its display.
bool displayAvailable() { return true; }

int runDesktop(int&, char**, std::string_view startFile) {
    Win32Desktop desktop;
    runProgram(startFile);
    return 0;
}

}  // namespace varnok::app
