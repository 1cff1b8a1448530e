#include "app/cli/command_line.h"

#include <cstdio>
#include <cstring>

#include "runtime/locale/locale.h"

namespace varnok::app {

namespace {

struct Command {
    const char* name;
    int (*run)(const Args&);
};

const Command commands[] = {
    {"list", listCommand},
    {"remove", removeCommand},
    {"format", formatCommand},
    {"deformat", deformatCommand},
};

const char usage[] =
    "usage: varnok <command> [arguments]\n"
    "\n"
    "commands:\n"
    "  list FILE [--json]            list the extension instances of a TXA file\n"
    "  remove FILE [--ext NAME]... [--row N]... [--proc NAME]... [--template NAME]...\n"
    "         [-o OUT] [--force] [--dry-run]\n"
    "                                write a copy of FILE without the chosen instances\n"
    "                                (default OUT: FILE with \"_\" before its first dot)\n"
    "  format VALUE PICTURE          show a value through a picture\n"
    "  deformat TEXT [PICTURE]       read a value back from its text\n"
    "\n"
    "options:\n"
    "  --help                        show this text\n"
    "  --version                     show the program's version\n"
    "\n"
    "exit status: 0 done, 1 nothing to delete, 2 usage error, 3 a file cannot be\n"
    "read or written, 4 the output exists (remove without --force)\n";

}  // namespace

int runCommandLine(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(usage, stdout);
        return ExitOk;
    }
    const char* name = argv[1];
    if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
        std::fputs(usage, stdout);
        return ExitOk;
    }
    if (std::strcmp(name, "--version") == 0) {
        std::puts("varnok 0.1.0");
        return ExitOk;
    }
    for (const Command& c : commands) {
        if (std::strcmp(name, c.name) == 0) {
            // Case, collation, month names and regional settings, once per
            // process, before anything compares or formats text.
            initialiseLocale();
            return c.run(Args(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "varnok: unknown command '%s' (try 'varnok --help')\n", name);
    return ExitUsage;
}

}  // namespace varnok::app
