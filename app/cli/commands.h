// The commands of the command line, each registered on the program's CLI11
// app by its own file: the subcommand with its arguments and help, and what
// runs when the command line named it (after parsing succeeded).
#pragma once
#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varnok::app {

struct Command {
    CLI::App* app = nullptr;
    std::function<int()> run;
    // The command's arguments are values that may look like options ("-5",
    // "-x"): CLI11 hands them over as they stand (app->remaining()), and
    // one "--" right after the command's name is dropped first.
    bool wordsAsTheyStand = false;
};

Command addListCommand(CLI::App& program);      // list FILE... [--summary] [--json]
Command addRemoveCommand(CLI::App& program);    // remove FILE... [--ext NAME]... [options]
Command addExportCommand(CLI::App& program);    // export FILE... (--csv | --xml) [options]
Command addFormatCommand(CLI::App& program);    // format VALUE PICTURE
Command addDeformatCommand(CLI::App& program);  // deformat TEXT [PICTURE]

// Makes the usage line of a command whose arguments CLI11 does not parse
// (wordsAsTheyStand) name them: "usage: varnok format [OPTIONS] VALUE PICTURE".
void nameWordsInUsage(CLI::App& command, std::string words);

// Converts a UTF-8 argument to Windows-1252, the text the runtime holds;
// false after reporting a usage error for the command.
bool argumentAsCp1252(std::string_view command, const std::string& utf8, std::string& cp1252);

// The option "-o,--output OUT" of the commands that write a file; an empty
// OUT is a usage error.
void addOutputOption(CLI::App& command, std::string& output);

// The usage error of an output that names the input file, which is never
// overwritten; returns ExitUsage.
int outputIsInput(std::string_view command, const std::string& output);

// The FILEs of a command that takes several: a file named twice (also by
// two names for one file, "a.txa ./a.txa"), or -o OUT (output not empty)
// with more than one file, is a usage error. Returns ExitOk, or ExitUsage
// after reporting it.
int checkFiles(std::string_view command, const std::vector<std::string>& files, const std::string& output);

// The FILEs as given, with wildcards expanded where the shell does not
// (platform/file_arguments.h: on Windows).
std::vector<std::string> fileArguments(const std::vector<std::string>& given);

// With several FILEs, the line that starts a file's output, as head(1)
// writes it: "==> FILE <==", after a blank line for all but the first file.
void printFileHeader(const std::string& file, bool first);

// The exit status of a command run on several files: the highest of their
// statuses (0 done, 1 nothing to delete, 2 usage, 3 read or write failure,
// 4 OUT exists).
inline int worstStatus(int sofar, int status) { return status > sofar ? status : sofar; }

// The help layout of the program and of every command: "usage:" and wide
// enough columns.
void useProgramHelpLayout(CLI::FormatterBase& formatter);

// Reports a usage error in the command line's one form and returns ExitUsage:
//     varnok: <command>: <problem> (try 'varnok <command> --help')
int usageError(std::string_view command, std::string_view problem);

}  // namespace varnok::app
