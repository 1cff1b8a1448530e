// The desktop start of a build without a window layer (the Windows build
// until its native window lands): the commands work, the window does not,
// and the program says so instead of opening nothing.
#include "app/startup/desktop.h"

#include <cstdio>

namespace varnok::app {

bool displayAvailable() { return false; }

int runDesktop(int&, char**, std::string_view) {
    std::fputs("varnok: the window is not built into this program yet; "
               "see 'varnok --help' for the commands\n",
               stderr);
    return 2;
}

}  // namespace varnok::app
