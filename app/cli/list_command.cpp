// varnok list FILE [--json]: the extension instances of a TXA file in file
// order, as an aligned table or as JSON.
#include <cstdio>
#include <string>

#include "app/cli/command_input.h"
#include "app/cli/command_line.h"
#include "app/cli/instance_table.h"

namespace varnok::app {

int listCommand(const Args& args) {
    std::string file;
    bool json = false;
    bool optionsEnded = false;
    for (const std::string& a : args) {
        if (!optionsEnded && a == "--json") {
            json = true;
        } else if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            reportError("list: unknown option '" + a + "' (try 'varnok --help')");
            return ExitUsage;
        } else if (file.empty()) {
            file = a;
        } else {
            reportError("list: only one FILE may be given ('" + a + "' is extra)");
            return ExitUsage;
        }
    }
    if (file.empty()) {
        reportError("list: no FILE given (usage: varnok list FILE [--json])");
        return ExitUsage;
    }

    CommandPresenter presenter;
    ExtensionRemover& remover = commandRemover();
    if (!loadForCommand(remover, file)) return ExitCannotRead;
    if (json) {
        writeInstanceJson(remover.ExtensionQ, stdout);
        return ExitOk;
    }
    std::string out = instanceTable(readInstances(remover.ExtensionQ));
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

}  // namespace varnok::app
