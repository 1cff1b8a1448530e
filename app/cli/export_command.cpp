// varnok export FILE... (--csv | --xml) [--extensions] [-o OUT] [--force]
// Loads FILE as the window's Load does and writes its lines (or, with
// --extensions, its extension list) as the queue viewer's Export button
// does, with the same code: the title is FILE as given, the output the
// export's own name for it in the current directory unless -o names
// another. Prints the name written. FILE is never written; an existing
// output is replaced only with --force, safely (SaveText writes a temporary
// file and renames it). Several files are exported one after the other,
// each to its own name (-o is refused); the exit status is the highest of
// theirs.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command_input.h"
#include "app/cli/command_line.h"
#include "app/cli/commands.h"
#include "app/cli/standard_output.h"
#include "platform/plain_file.h"
#include "queueview/export/export_command.h"

namespace varnok::app {

namespace {

struct ExportOptions {
    std::vector<std::string> files;
    bool csv = false;
    bool xml = false;
    bool extensions = false;
    std::string output;
    bool force = false;
};

int exportOne(const ExportOptions& o, const std::string& file, queueview::ExportFormat format) {
    ExtensionRemover& remover = commandRemover();
    if (!loadForCommand(remover, file)) return ExitCannotRead;

    const bool toStandardOutput = namesStandardOutput(o.output);
    const std::string output = o.output.empty() ? queueview::exportFileName(file, format)
                               : toStandardOutput ? standardOutputStandIn(format == queueview::ExportFormat::Csv ? ".csv" : ".xml")
                                                  : o.output;
    if (remover.outputIsInput(output)) return outputIsInput("export", output);
    if (!o.force && !toStandardOutput && platform::pathExists(output)) {
        reportError("export: '" + output + "' already exists; nothing written (use --force to replace it)");
        return ExitExists;
    }
    QueueDecl* queue = o.extensions ? remover.ExtensionQ.decl() : remover.LineQ.decl();
    SaveResult saved;
    if (!queueview::exportQueue(queue, file, format, output, remover.lines().exportWriter(&saved))) {
        reportError("export: cannot write '" + output + "': " + saveFailureText(saved));
        return ExitCannotRead;
    }
    if (toStandardOutput) return copyToStandardOutput("export", output) ? ExitOk : ExitCannotRead;
    std::printf("%s\n", output.c_str());
    return ExitOk;
}

int runExport(const ExportOptions& given) {
    ExportOptions o = given;
    o.files = fileArguments(given.files);
    if (o.csv == o.xml) return usageError("export", "give one of --csv and --xml");
    if (checkFiles("export", o.files, o.output) != ExitOk) return ExitUsage;
    const queueview::ExportFormat format = o.csv ? queueview::ExportFormat::Csv : queueview::ExportFormat::Xml;
    int status = ExitOk;
    for (const std::string& file : o.files) status = worstStatus(status, exportOne(o, file, format));
    return status;
}

}  // namespace

Command addExportCommand(CLI::App& program) {
    auto o = std::make_shared<ExportOptions>();
    CLI::App* command = program.add_subcommand("export", "write the lines (or extensions) of TXA files as CSV or XML");
    command->footer(
        "As the queue viewer's Export: the title is FILE, the output goes to the\n"
        "current directory, named after FILE with each of | > < \" ? * : / \\ made\n"
        "\"_\" and \".csv\" or \".xml\" added, unless -o names it (-o - writes it to\n"
        "standard output). The name written is printed; FILE is never written.\n"
        "Several FILEs are exported one by one, each to its own name (-o is\n"
        "refused) and each reported.\n"
        "Exit status: 0 written, 2 usage error, 3 FILE cannot be read or the output\n"
        "cannot be written, 4 the output exists (without --force); with several\n"
        "FILEs the highest status of any of them.");
    command->add_option("FILE", o->files, "the TXA files")->required();
    CLI::Option* csv = command->add_flag("--csv", o->csv, "comma-separated values: the title, the header, a line per entry");
    CLI::Option* xml = command->add_flag("--xml", o->xml, "XML: <Queue>, an <Entry> per entry, an element per field");
    csv->excludes(xml);
    command->add_flag("--extensions", o->extensions, "export the extension list instead of the lines");
    addOutputOption(*command, o->output);
    command->add_flag("--force", o->force, "replace the output when it exists");
    return Command{command, [o] { return runExport(*o); }};
}

}  // namespace varnok::app
