// varnok remove FILE [--ext NAME]... [--row N]... [--proc NAME]...
//                    [--template NAME]... [-o OUT] [--force] [--dry-run]
// Ticks the union of the rows named and runs Remove and Save with the
// confirmation answered Yes and the overwrite question answered by --force.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/cli/command_input.h"
#include "app/cli/command_line.h"
#include "app/txa/extension_selection.h"
#include "app/cli/instance_table.h"
#include "app/txa/output_name.h"
#include "platform/cp1252.h"
#include "platform/plain_file.h"

namespace varnok::app {

namespace {

struct RemoveOptions {
    std::string file;
    std::vector<std::string> extensions, procedures, templates;  // Windows-1252
    std::vector<long> rows;
    std::string output;
    bool force = false;
    bool dryRun = false;
};

// Parses the arguments; returns false after reporting a usage error.
bool parse(const Args& args, RemoveOptions& o) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        std::string value;
        bool inlineValue = false;
        if (!optionsEnded && a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
            value = a.substr(a.find('=') + 1);
            a = a.substr(0, a.find('='));
            inlineValue = true;
        }
        auto takeValue = [&](std::string& into) {
            if (inlineValue) {
                into = value;
                return true;
            }
            if (i + 1 >= args.size()) {
                reportError("remove: option '" + a + "' needs a value");
                return false;
            }
            into = args[++i];
            return true;
        };
        auto takeName = [&](std::vector<std::string>& into) {
            std::string utf8, cp1252;
            if (!takeValue(utf8)) return false;
            if (!platform::utf8ToCp1252(utf8, cp1252)) {
                reportError("remove: the name '" + utf8 + "' cannot occur in a TXA file (not Windows-1252 text)");
                return false;
            }
            into.push_back(cp1252);
            return true;
        };
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            if (!o.file.empty()) {
                reportError("remove: only one FILE may be given ('" + a + "' is extra)");
                return false;
            }
            o.file = a;
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--ext") {
            if (!takeName(o.extensions)) return false;
        } else if (a == "--proc") {
            if (!takeName(o.procedures)) return false;
        } else if (a == "--template") {
            if (!takeName(o.templates)) return false;
        } else if (a == "--row") {
            std::string text;
            if (!takeValue(text)) return false;
            char* end = nullptr;
            long n = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || n < 1) {
                reportError("remove: '--row' needs a row number from 1 up, not '" + text + "'");
                return false;
            }
            o.rows.push_back(n);
        } else if (a == "-o" || a == "--output") {
            if (!takeValue(o.output)) return false;
            if (o.output.empty()) {
                reportError("remove: the output name is empty");
                return false;
            }
        } else if (a == "--force" && !inlineValue) {
            o.force = true;
        } else if (a == "--dry-run" && !inlineValue) {
            o.dryRun = true;
        } else {
            reportError("remove: unknown option '" + args[i] + "' (try 'varnok --help')");
            return false;
        }
    }
    if (o.file.empty()) {
        reportError("remove: no FILE given (try 'varnok --help')");
        return false;
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

}  // namespace

int removeCommand(const Args& args) {
    RemoveOptions o;
    if (!parse(args, o)) return ExitUsage;
    CommandPresenter presenter;
    ExtensionRemover& remover = commandRemover();
    if (!loadForCommand(remover, o.file)) return ExitCannotRead;

    std::string output = o.output.empty() ? outputName(o.file) : o.output;
    if (platform::fileIdentity(output) == remover.queueTool.loadedFile()) {
        reportError("remove: the output '" + output + "' is the input file; it is never overwritten");
        return ExitUsage;
    }
    uint32_t count = remover.instanceCount();
    for (long r : o.rows) {
        if (r > static_cast<long>(count)) {
            reportError("remove: row " + std::to_string(r) + " is out of range ('" + o.file + "' has " +
                        std::to_string(count) + (count == 1 ? " instance)" : " instances)"));
            return ExitUsage;
        }
    }

    // Tick the union of the rows named.
    std::set<long> rows(o.rows.begin(), o.rows.end());
    std::vector<InstanceRow> all = readInstances(remover.ExtensionQ);
    std::vector<InstanceRow> ticked;
    long lines = 0;
    for (const InstanceRow& r : all) {
        const ExtensionRecord& e = r.record;
        if (rows.count(static_cast<long>(r.row)) || nameIn(o.extensions, e.extensionName, ExtNameSize) ||
            nameIn(o.procedures, e.procName, ExtProcSize) || nameIn(o.templates, e.templateName, ExtTemplateSize)) {
            setTicked(remover.ExtensionQ, static_cast<int32_t>(r.row), true);
            ticked.push_back(r);
            if (e.toLineNo >= e.fromLineNo) lines += e.toLineNo - e.fromLineNo + 1;
        }
    }

    if (o.dryRun) {
        std::string table = instanceTable(ticked);
        std::fwrite(table.data(), 1, table.size(), stdout);
        std::printf("%ld %s would be removed; the copy would be written to %s\n", lines,
                    lines == 1 ? "line" : "lines", output.c_str());
        if (lines == 0) {
            reportError("remove: nothing to delete in '" + o.file + "'");
            return ExitNothingToDo;
        }
        return ExitOk;
    }

    presenter.queueAnswer(window::ButtonYes);                                  // "Remove the selected extensions"
    presenter.queueAnswer(o.force ? window::ButtonYes : window::ButtonNo);     // "Overwrite ... ?"
    switch (remover.RemoveAndSave(output)) {
    case RemoveOutcome::Saved:
        std::printf("%s\n", remover.NewFileName.c_str());
        return ExitOk;
    case RemoveOutcome::Cancelled:  // the confirmation is answered Yes above
        reportError("remove: cancelled; nothing written");
        return ExitNothingToDo;
    case RemoveOutcome::NothingToDelete:
        reportError("remove: nothing to delete in '" + o.file + "'");
        return ExitNothingToDo;
    case RemoveOutcome::OutputIsLoadedFile:
        reportError("remove: the output '" + output + "' is the input file; it is never overwritten");
        return ExitUsage;
    case RemoveOutcome::OverwriteDeclined:
        reportError("remove: '" + output + "' already exists; nothing written (use --force to replace it)");
        return ExitExists;
    case RemoveOutcome::SaveFailed:
        break;
    }
    int error = remover.queueTool.lastError();
    reportError("remove: cannot write '" + output + "': " +
                (error ? platform::systemErrorText(error) : std::string("write failed")));
    return ExitCannotRead;
}

}  // namespace varnok::app
