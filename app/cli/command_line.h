// The command line: varnok <command> [arguments]. Arguments are parsed with
// CLI11 (commands.h); each command lives in a file of its own and returns
// the process exit status.
//
// Usage errors have one form, one line on standard error, exit status 2:
//     varnok: <command>: <what is wrong> (try 'varnok <command> --help')
// Every command has its own --help; "varnok --help" lists them all.
#pragma once
#include <functional>

namespace varnok::app {

// Exit statuses shared by the commands.
enum ExitStatus : int {
    ExitOk = 0,
    ExitNothingToDo = 1,
    ExitUsage = 2,
    ExitCannotRead = 3,  // a file cannot be read or written
    ExitExists = 4,
};

// Parses the arguments and runs the command they name. Without any command
// it runs withoutCommand when given (the desktop program opens its window
// there), else prints the usage and returns 0.
int runCommandLine(int argc, char** argv, const std::function<int()>& withoutCommand = {});

}  // namespace varnok::app
