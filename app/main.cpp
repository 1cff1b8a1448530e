// varnok: removes extension instances from TXA files, in its window
// (`varnok`, `varnok FILE`) or from the command line (`varnok list ...`).
#include "app/cli/command_line.h"
#include "app/startup/desktop.h"
#include "app/startup/desktop_arguments.h"

int main(int argc, char** argv) {
    using namespace varnok::app;
    if (std::optional<std::string> file = desktopStartFile(argc, argv)) return runDesktop(argc, argv, *file);
    return runCommandLine(argc, argv, [&] { return runDesktop(argc, argv, {}); });
}
