// varnok list FILE... [--summary] [--json]: the extension instances of TXA
// files in file order (or, with --summary, a count per extension), as an
// aligned table or as JSON. With several files each file's table follows a
// header line naming it, and the JSON is one array with an entry per file.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command_input.h"
#include "app/cli/command_line.h"
#include "app/cli/commands.h"
#include "app/cli/instance_table.h"

namespace varnok::app {

namespace {

struct ListOptions {
    std::vector<std::string> files;
    bool json = false;
    bool summary = false;
};

void print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// The loaded file's table, or its JSON array; the array nested in the
// several files' array is indented by two spaces and ends without a newline.
void printLoaded(const ListOptions& o, ExtensionRemover& remover, bool nested) {
    const std::string_view indent = nested ? "  " : "";
    const std::string_view closing = nested ? "" : "\n";
    if (o.summary) {
        const std::vector<ExtensionSummary> summary = summarize(readInstances(remover.ExtensionQ));
        print(o.json ? summaryJson(summary, indent, closing) : summaryTable(summary));
    } else if (o.json) {
        writeInstanceJson(remover.ExtensionQ, stdout, indent, closing);
    } else {
        print(instanceTable(readInstances(remover.ExtensionQ)));
    }
}

// A file without a single section header is listed (empty), with a hint
// on standard error that it is no TXA file; the exit status stays.
bool load(ExtensionRemover& remover, const std::string& file) {
    if (!loadForCommand(remover, file)) return false;
    if (!remover.hasSections()) reportError("'" + file + "': " + std::string(NoSectionsHint));
    return true;
}

int runList(const ListOptions& given) {
    ListOptions o = given;
    o.files = fileArguments(given.files);
    if (checkFiles("list", o.files, {}) != ExitOk) return ExitUsage;
    ExtensionRemover& remover = commandRemover();
    if (o.files.size() == 1) {
        if (!load(remover, o.files.front())) {
            // Still valid JSON for whatever reads it: an empty list.
            if (o.json) print("[]\n");
            return ExitCannotRead;
        }
        printLoaded(o, remover, false);
        return ExitOk;
    }
    // Several files: a file that cannot be read is reported and left out.
    int status = ExitOk;
    bool first = true;
    for (const std::string& file : o.files) {
        if (!load(remover, file)) {
            status = worstStatus(status, ExitCannotRead);
            continue;
        }
        if (o.json) {
            std::string head = first ? "[\n" : ",\n";
            head += "  {\"file\": ";
            appendJsonString(head, file);
            head += o.summary ? ", \"extensions\": " : ", \"instances\": ";
            print(head);
            printLoaded(o, remover, true);
            print("}");
        } else {
            printFileHeader(file, first);
            printLoaded(o, remover, false);
        }
        first = false;
    }
    if (o.json) print(first ? "[]\n" : "\n]\n");
    return status;
}

}  // namespace

Command addListCommand(CLI::App& program) {
    auto o = std::make_shared<ListOptions>();
    CLI::App* list = program.add_subcommand("list", "list the extension instances of TXA files");
    list->footer(
        "Columns Row, Extension, Procedure, Template, From, To, in file order; with\n"
        "--summary, Extension, Instances, Lines: one line per extension in the order\n"
        "the extensions first appear in the file, with the number of its instances\n"
        "and the lines they span (From..To inclusive). Texts are converted from\n"
        "Windows-1252 to UTF-8.\n"
        "With several FILEs each table follows a line \"==> FILE <==\" (a blank line\n"
        "between files), and --json prints one array of {\"file\": FILE, \"instances\":\n"
        "[...]} (with --summary, \"extensions\": [...]); a FILE that cannot be read is\n"
        "reported and left out (with --json and one FILE, [] is printed).\n"
        "A FILE without a single section header is no TXA file: a hint says so on\n"
        "standard error.\n"
        "Exit status: 0 listed, 2 usage error, 3 a FILE cannot be read.");
    list->add_option("FILE", o->files, "the TXA files")->required();
    list->add_flag("--summary", o->summary, "one line per extension: its instances and their lines");
    list->add_flag("--json", o->json, "print JSON instead of a table");
    return Command{list, [o] { return runList(*o); }};
}

}  // namespace varnok::app
