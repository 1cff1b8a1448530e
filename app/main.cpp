// varnok: removes extension instances from TXA files, in its window
// (`varnok`, `varnok FILE`) or from the command line (`varnok list ...`).
#include <string>
#include <vector>

#include "app/cli/command_line.h"
#include "app/startup/desktop.h"
#include "app/startup/desktop_arguments.h"
#include "platform/parent_console.h"
#include "platform/process_arguments.h"

int main(int argc, char** argv) {
    using namespace varnok::app;
    std::vector<std::string> arguments = varnok::platform::processArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    int count = static_cast<int>(arguments.size());
    char** values = pointers.data();
    std::optional<std::string> file = desktopStartFile(count, values);
    // A command prints to the console it was started from, which the
    // Windows window program (GUI subsystem) has to attach to first.
    if (!file && count > 1) varnok::platform::attachParentConsole();
    // Arguments as UTF-8 and output as bytes on every system (on Windows
    // argv would hold the ANSI code page, and "\n" would become "\r\n").
    varnok::platform::prepareConsoleOutput();
    if (file) return runDesktop(count, values, *file);
    return runCommandLine(count, values, [&] { return runDesktop(count, values, {}); });
}
