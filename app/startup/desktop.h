// The desktop program: the window on a display, through the Qt window layer
// and Qt message boxes. The QApplication is created here and nowhere else,
// so the command line runs on machines without a display.
//
//   varnok              runDesktop(argc, argv, "")
//   varnok main.txa     runDesktop(argc, argv, "main.txa"): the entry shows
//                       main.txa and it is loaded as the window opens
//
// Without a display it says so on standard error and answers 2, the
// command line's usage status.
#pragma once
#include <string_view>

namespace varnok::app {

// True when a window can be shown: DISPLAY or WAYLAND_DISPLAY names a
// display, or QT_QPA_PLATFORM chooses a platform (offscreen among them).
bool displayAvailable();

// Runs the program in its window; answers the process's exit status.
int runDesktop(int& argc, char** argv, std::string_view startFile);

}  // namespace varnok::app
