// varnok remove FILE... [--ext NAME]... [--row N]... [--proc NAME]...
//                       [--template NAME]... [-o OUT] [--force] [--dry-run]
// Ticks the union of the rows named and runs Remove and Save, replacing an
// existing output only with --force. Several files are handled one after
// the other, each to its own default output and with its own report; the
// exit status is the highest of theirs.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/cli/command_input.h"
#include "app/cli/command_line.h"
#include "app/cli/commands.h"
#include "app/txa/extension_selection.h"
#include "app/cli/instance_table.h"
#include "app/cli/standard_output.h"
#include "app/txa/output_name.h"
#include "platform/cp1252.h"

namespace varnok::app {

namespace {

struct RemoveOptions {
    std::vector<std::string> files;
    std::vector<std::string> extensionsGiven, proceduresGiven, templatesGiven, rowsGiven;  // as typed
    std::string output;
    bool force = false;
    bool dryRun = false;

    // Checked and converted by check().
    std::vector<std::string> extensions, procedures, templates;  // Windows-1252
    std::vector<long> rows;
};

// Converts the names to Windows-1252 and reads the row numbers; false after
// reporting a usage error.
bool check(RemoveOptions& o) {
    auto convert = [](const std::vector<std::string>& given, std::vector<std::string>& into) {
        for (const std::string& utf8 : given) {
            std::string cp1252;
            if (!platform::utf8ToCp1252(utf8, cp1252)) {
                usageError("remove", "the name '" + utf8 + "' cannot occur in a TXA file (not Windows-1252 text)");
                return false;
            }
            into.push_back(cp1252);
        }
        return true;
    };
    if (!convert(o.extensionsGiven, o.extensions) || !convert(o.proceduresGiven, o.procedures) ||
        !convert(o.templatesGiven, o.templates))
        return false;
    for (const std::string& text : o.rowsGiven) {
        char* end = nullptr;
        long n = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || n < 1) {
            usageError("remove", "'--row' needs a row number from 1 up, not '" + text + "'");
            return false;
        }
        o.rows.push_back(n);
    }
    return true;
}

bool nameIn(const std::vector<std::string>& names, const char* field, size_t size) {
    std::string_view have = trimmed(field, size);
    for (const std::string& n : names) {
        size_t end = n.find_last_not_of(' ');
        std::string_view want = end == std::string::npos ? std::string_view() : std::string_view(n).substr(0, end + 1);
        if (want == have) return true;
    }
    return false;
}

// Removes the instances named from one file; with several files, a dry
// run's table follows the file's header line.
int removeFrom(const RemoveOptions& o, const std::string& file, bool several, bool& first) {
    ExtensionRemover& remover = commandRemover();
    if (!loadForCommand(remover, file)) return ExitCannotRead;

    const bool toStandardOutput = namesStandardOutput(o.output);
    std::string output = o.output.empty() ? outputName(file) : toStandardOutput ? standardOutputStandIn(".txa") : o.output;
    if (remover.outputIsInput(output)) return outputIsInput("remove", output);
    uint32_t count = remover.instanceCount();
    for (long r : o.rows) {
        if (r > static_cast<long>(count)) {
            return usageError("remove", "row " + std::to_string(r) + " is out of range ('" + file + "' has " +
                                            std::to_string(count) + (count == 1 ? " instance)" : " instances)"));
        }
    }

    // Tick the union of the rows named.
    std::set<long> rows(o.rows.begin(), o.rows.end());
    std::vector<InstanceRow> all = readInstances(remover.ExtensionQ);
    std::vector<InstanceRow> ticked;
    for (const InstanceRow& r : all) {
        const ExtensionRecord& e = r.record;
        if (rows.count(static_cast<long>(r.row)) || nameIn(o.extensions, e.extensionName, ExtNameSize) ||
            nameIn(o.procedures, e.procName, ExtProcSize) || nameIn(o.templates, e.templateName, ExtTemplateSize)) {
            setTicked(remover.ExtensionQ, static_cast<int32_t>(r.row), true);
            ticked.push_back(r);
        }
    }

    const Removal removal = remover.PlanRemoval(remover.outputFor(output));
    if (o.dryRun) {
        if (several) printFileHeader(file, first);
        first = false;
        const long lines = removal.lines();
        std::string table = instanceTable(ticked);
        std::fwrite(table.data(), 1, table.size(), stdout);
        std::printf("%ld %s would be removed; the copy would be written to %s\n", lines,
                    lines == 1 ? "line" : "lines", toStandardOutput ? "standard output" : output.c_str());
        if (lines == 0) {
            reportError("remove: nothing to delete in '" + file + "'");
            return ExitNothingToDo;
        }
        return ExitOk;
    }

    const RemoveResult result =
        remover.RemoveAndSave(removal, o.force || toStandardOutput ? Overwrite::Yes : Overwrite::No);
    switch (result.status) {
    case RemoveStatus::Saved:
        if (toStandardOutput) return copyToStandardOutput("remove", output) ? ExitOk : ExitCannotRead;
        std::printf("%s\n", remover.NewFileName.c_str());
        return ExitOk;
    case RemoveStatus::NothingToDelete:
        reportError("remove: nothing to delete in '" + file + "'");
        return ExitNothingToDo;
    case RemoveStatus::OutputIsInput:
        return outputIsInput("remove", output);
    case RemoveStatus::OutputExists:
        reportError("remove: '" + output + "' already exists; nothing written (use --force to replace it)");
        return ExitExists;
    case RemoveStatus::SaveFailed:
        break;
    }
    reportError("remove: cannot write '" + output + "': " + saveFailureText(result.save));
    return ExitCannotRead;
}

int runRemove(RemoveOptions& o) {
    o.files = fileArguments(o.files);
    if (!check(o) || checkFiles("remove", o.files, o.output) != ExitOk) return ExitUsage;
    int status = ExitOk;
    bool first = true;
    for (const std::string& file : o.files) status = worstStatus(status, removeFrom(o, file, o.files.size() > 1, first));
    return status;
}

}  // namespace

Command addRemoveCommand(CLI::App& program) {
    auto o = std::make_shared<RemoveOptions>();
    CLI::App* remove = program.add_subcommand("remove", "write copies of TXA files without the instances named");
    remove->footer(
        "Every instance that matches any --ext, --row, --proc or --template goes. The\n"
        "copy is written to OUT, by default FILE with \"_\" before its first dot\n"
        "(main.txa gives main_.txa), and its name printed (with -o -, the copy goes\n"
        "to standard output instead); FILE is never written.\n"
        "Several FILEs are handled one by one, each copy to its default name (-o is\n"
        "refused) and each reported.\n"
        "Exit status: 0 written, 1 nothing to delete, 2 usage error, 3 a file cannot\n"
        "be read or written, 4 OUT exists (without --force); with several FILEs the\n"
        "highest status of any of them.");
    remove->add_option("FILE", o->files, "the TXA files")->required();
    remove->add_option("--ext", o->extensionsGiven, "every instance of this extension")
        ->type_name("NAME")
        ->allow_extra_args(false);
    remove->add_option("--row", o->rowsGiven, "the instance in this row of 'varnok list'")
        ->type_name("N")
        ->allow_extra_args(false);
    remove->add_option("--proc", o->proceduresGiven, "every instance in this procedure")
        ->type_name("NAME")
        ->allow_extra_args(false);
    remove->add_option("--template", o->templatesGiven, "every instance of this template")
        ->type_name("NAME")
        ->allow_extra_args(false);
    addOutputOption(*remove, o->output);
    remove->add_flag("--force", o->force, "replace OUT when it exists");
    remove->add_flag("--dry-run", o->dryRun, "show what would be removed; write nothing");
    return Command{remove, [o] { return runRemove(*o); }};
}

}  // namespace varnok::app
