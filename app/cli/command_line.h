// The command line: varnok <command> [arguments]. Each command lives in a
// file of its own and returns the process exit status.
#pragma once
#include <string>
#include <vector>

namespace varnok::app {

using Args = std::vector<std::string>;  // the arguments after the command's name

// Exit statuses shared by the commands.
enum ExitStatus : int {
    ExitOk = 0,
    ExitNothingToDo = 1,
    ExitUsage = 2,
    ExitCannotRead = 3,
    ExitExists = 4,
};

int runCommandLine(int argc, char** argv);

int listCommand(const Args& args);      // varnok list FILE [--json]
int removeCommand(const Args& args);    // varnok remove FILE [options]
int formatCommand(const Args& args);    // varnok format VALUE PICTURE
int deformatCommand(const Args& args);  // varnok deformat TEXT [PICTURE]

}  // namespace varnok::app
