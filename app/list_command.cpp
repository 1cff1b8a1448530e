// Not built yet: reports that the command is unavailable.
#include <cstdio>

#include "app/command_line.h"

namespace varnok::app {

int listCommand(const Args&) {
    std::fputs("varnok: 'list' is not available in this build\n", stderr);
    return ExitUsage;
}

}  // namespace varnok::app
