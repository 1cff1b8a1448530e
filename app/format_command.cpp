// Not built yet: reports that the command is unavailable.
#include <cstdio>

#include "app/command_line.h"

namespace varnok::app {

int formatCommand(const Args&) {
    std::fputs("varnok: 'format' is not available in this build\n", stderr);
    return ExitUsage;
}

}  // namespace varnok::app
