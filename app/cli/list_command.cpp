// varnok list FILE [--json]: the extension instances of a TXA file in file
// order, as an aligned table or as JSON.
#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/command_input.h"
#include "app/cli/command_line.h"
#include "app/cli/commands.h"
#include "app/cli/instance_table.h"

namespace varnok::app {

namespace {

struct ListOptions {
    std::string file;
    bool json = false;
};

int runList(const ListOptions& o) {
    ExtensionRemover& remover = commandRemover();
    if (!loadForCommand(remover, o.file)) return ExitCannotRead;
    if (o.json) {
        writeInstanceJson(remover.ExtensionQ, stdout);
        return ExitOk;
    }
    std::string out = instanceTable(readInstances(remover.ExtensionQ));
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

}  // namespace

Command addListCommand(CLI::App& program) {
    auto o = std::make_shared<ListOptions>();
    CLI::App* list = program.add_subcommand("list", "list the extension instances of a TXA file");
    list->footer(
        "Columns Row, Extension, Procedure, Template, From, To, in file order; texts\n"
        "are converted from Windows-1252 to UTF-8.\n"
        "Exit status: 0 listed, 2 usage error, 3 FILE cannot be read.");
    list->add_option("FILE", o->file, "the TXA file")->required();
    list->add_flag("--json", o->json, "print a JSON array instead of a table");
    return Command{list, [o] { return runList(*o); }};
}

}  // namespace varnok::app
