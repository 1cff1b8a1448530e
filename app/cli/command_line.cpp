#include "app/cli/command_line.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command_input.h"
#include "app/cli/commands.h"
#include "platform/cp1252.h"
#include "platform/file_arguments.h"
#include "platform/plain_file.h"
#include "runtime/locale/locale.h"

namespace varnok::app {

namespace {

// The project's version, given by the build (app/CMakeLists.txt).
constexpr const char* version = "varnok " VARNOK_VERSION;

const char footer[] =
    "Run 'varnok <command> --help' for the arguments of one command.\n"
    "\n"
    "exit status: 0 done, 1 nothing to delete, 2 usage error, 3 a file cannot be\n"
    "read or written, 4 the output exists (without --force); with several FILEs,\n"
    "the highest status of any file";

// CLI11's message with its first word in lower case, as the rest of the
// line reads ("The following argument..."; "FILE is required" stays).
std::string lowerFirst(std::string text) {
    if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) &&
        std::islower(static_cast<unsigned char>(text[1])))
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// The usage error of a failed parse, in the one form of commands.h.
int parseFailure(CLI::App& program, const CLI::ParseError& error) {
    const std::vector<CLI::App*> given = program.get_subcommands();
    if (given.empty()) {
        // Only an unknown command (or option) reaches the program itself.
        std::vector<std::string> extra = program.remaining();
        std::string what = extra.empty() ? lowerFirst(error.what())
                           : extra.front().rfind('-', 0) == 0 ? "unknown option '" + extra.front() + "'"
                                                              : "unknown command '" + extra.front() + "'";
        reportError(what + " (try 'varnok --help')");
        return ExitUsage;
    }
    return usageError(given.front()->get_name(), lowerFirst(error.what()));
}

// The usage line with the command's words after the options badge.
class WordsUsage : public CLI::Formatter {
public:
    explicit WordsUsage(std::string words) : words_(std::move(words)) {}
    std::string make_usage(const CLI::App* app, std::string name) const override {
        std::string usage = CLI::Formatter::make_usage(app, std::move(name));
        while (!usage.empty() && usage.back() == '\n') usage.pop_back();
        return usage + " " + words_ + "\n";
    }

private:
    std::string words_;
};

}  // namespace

void nameWordsInUsage(CLI::App& command, std::string words) {
    auto formatter = std::make_shared<WordsUsage>(std::move(words));
    useProgramHelpLayout(*formatter);
    command.formatter(formatter);
}

void useProgramHelpLayout(CLI::FormatterBase& formatter) {
    formatter.label("Usage", "usage");
    formatter.column_width(32);
}

void addOutputOption(CLI::App& command, std::string& output) {
    command.add_option("-o,--output", output, "the file to write")->type_name("OUT")->check([](const std::string& out) {
        return out.empty() ? std::string("the output name is empty") : std::string();
    });
}

int outputIsInput(std::string_view command, const std::string& output) {
    return usageError(command, "the output '" + output + "' is the input file; it is never overwritten");
}

bool argumentAsCp1252(std::string_view command, const std::string& utf8, std::string& cp1252) {
    if (platform::utf8ToCp1252(utf8, cp1252)) return true;
    usageError(command, "'" + utf8 + "' is not Windows-1252 text");
    return false;
}

int checkFiles(std::string_view command, const std::vector<std::string>& files, const std::string& output) {
    if (files.size() > 1 && !output.empty())
        return usageError(command, "-o names one output; it cannot be given with several files");
    std::vector<platform::FileIdentity> identities;
    for (const std::string& f : files) identities.push_back(platform::fileIdentity(f));
    for (size_t i = 0; i < files.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (files[i] == files[j] || identities[i] == identities[j])
                return usageError(command, files[i] == files[j] ? "'" + files[i] + "' is named twice"
                                                                : "'" + files[j] + "' and '" + files[i] +
                                                                      "' are the same file");
    return ExitOk;
}

std::vector<std::string> fileArguments(const std::vector<std::string>& given) {
    return platform::expandFileArguments(given);
}

void printFileHeader(const std::string& file, bool first) {
    std::printf("%s==> %s <==\n", first ? "" : "\n", file.c_str());
}

int usageError(std::string_view command, std::string_view problem) {
    reportError(std::string(command) + ": " + std::string(problem) + " (try 'varnok " + std::string(command) +
                " --help')");
    return ExitUsage;
}

int runCommandLine(int argc, char** argv, const std::function<int()>& withoutCommand) {
    CLI::App program("varnok: lists the extension instances of TXA files and writes copies without\n"
                     "the instances chosen; exports their lines as CSV or XML.",
                     "varnok");
    useProgramHelpLayout(*program.get_formatter());
    // Options are written "--name" on every system: a "/name" word is a file
    // (on Windows too, where "/work/main.txa" names a file on the current
    // drive), never an option. Set before the commands, which inherit it.
    program.allow_windows_style_options(false);
    program.set_version_flag("--version", version, "show the program's version");
    program.set_help_flag("-h,--help", "show this text");
    program.require_subcommand(0, 1);

    const Command commands[] = {
        addListCommand(program),   addRemoveCommand(program),   addExportCommand(program),
        addFormatCommand(program), addDeformatCommand(program),
    };
    for (const Command& c : commands) c.app->set_help_flag("-h,--help", "show this text");
    program.footer(footer);  // after the commands, which would inherit it

    std::vector<std::string> args(argv, argv + argc);
    for (const Command& c : commands) {
        if (c.wordsAsTheyStand && args.size() > 2 && args[1] == c.app->get_name() && args[2] == "--")
            args.erase(args.begin() + 2);
    }
    std::vector<char*> pointers;
    for (std::string& a : args) pointers.push_back(a.data());

    try {
        program.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::CallForHelp& help) {
        std::fflush(stderr);
        return program.exit(help);  // the help of the command asked, on standard output
    } catch (const CLI::CallForVersion&) {
        std::puts(version);
        return ExitOk;
    } catch (const CLI::ParseError& error) {
        return parseFailure(program, error);
    }

    for (const Command& c : commands) {
        if (!c.app->parsed()) continue;
        // Case, collation, month names and regional settings, once per
        // process, before anything compares or formats text.
        initialiseLocale();
        return c.run();
    }
    if (withoutCommand) return withoutCommand();
    std::fputs(program.help().c_str(), stdout);
    return ExitOk;
}

}  // namespace varnok::app
