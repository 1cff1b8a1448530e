// Not built yet: reports that the command is unavailable.
#include <cstdio>

#include "app/command_line.h"

namespace varnok::app {

int deformatCommand(const Args&) {
    std::fputs("varnok: 'deformat' is not available in this build\n", stderr);
    return ExitUsage;
}

}  // namespace varnok::app
