// ExtensionRemover: the extension remover's state and commands, shared by
// the main window and the command line. It owns the line list (LineQ, whose
// lines, tails and header index are the QueueTool's TxaLines), the
// extension list (ExtensionQ), the QueueTool and the scanner.
//
// Its commands ask nothing and show nothing: each returns what happened,
// and the window (app/window) or the command line (app/cli) tells the user.
//
// Invariant between commands: ExtensionQ describes LineQ as it is now, so
// a second Remove and Save can never cut lines of other sections. LineQ
// loses the ticked lines only once the copy without them is written, and
// ExtensionQ is rebuilt then; a Remove and Save that writes nothing (the
// output kept, or the copy failed) changes neither list, ticks included.
// The loaded file is never written.
//
//   remover.Load("main.txa");
//   Removal r = remover.PlanRemoval(remover.outputFor({}));
//   ... ask before replacing r.output when r.asksToOverwrite() ...
//   RemoveResult done = remover.RemoveAndSave(r, Overwrite::Yes);
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/txa/line_ranges.h"
#include "app/txa/queue_tool.h"
#include "app/txa/txa_lines.h"
#include "app/txa/txa_scanner.h"
#include "runtime/queue/queue.h"

namespace varnok::app {

// The hint given for a loaded file without a single section header.
inline constexpr std::string_view NoSectionsHint = "no TXA sections";

// Whether Remove and Save may replace an existing output file.
enum class Overwrite : uint8_t { No, Yes };

// What Remove and Save would do with the ticks as they are; planning changes
// nothing.
struct Removal {
    LineRanges gone;         // the ticked instances' lines
    std::string output;      // the file to write
    bool outputIsInput = false;
    bool outputExists = false;
    bool outputReadOnly = false;  // never replaced, so never asked about
    int32_t lines() const { return static_cast<int32_t>(gone.deleted()); }
    // Remove and Save would replace an existing file: the one case in which
    // the user is asked first.
    bool asksToOverwrite() const { return lines() > 0 && !outputIsInput && outputExists && !outputReadOnly; }
};

enum class RemoveStatus : uint8_t {
    Saved,            // the copy is written, LineQ lost the ticked lines, ExtensionQ rebuilt
    NothingToDelete,  // no ticked instance had a line to delete
    // The three below change nothing, neither list nor a tick:
    OutputIsInput,    // the output is the loaded file, which is never written
    OutputExists,     // the output exists and Overwrite::No was given
    SaveFailed,       // the copy could not be written (save tells why; a read-only
                      // output is SaveStatus::ReadOnly, with or without Overwrite::Yes)
};

struct RemoveResult {
    RemoveStatus status = RemoveStatus::Saved;
    int32_t deleted = 0;  // lines of the ticked instances
    SaveResult save;      // of SaveFailed
};

class ExtensionRemover {
public:
    ExtensionRemover();

    Queue LineQ;
    Queue ExtensionQ;
    QueueTool queueTool;
    TxaScanner scanner;
    std::string FileNameTXA;  // the name LineQ was last loaded from
    std::string NewFileName;  // the name Remove and Save wrote to (or tried)
    int32_t DeletedCount = 0;
    int32_t LinesInInstance = 0;

    // LineQ's lines with their tails, header index and line end.
    TxaLines& lines() { return queueTool.lines(); }

    // Load: reads the file into LineQ and rebuilds ExtensionQ. A name that
    // lists no ordinary file changes nothing; FileNameTXA becomes the name
    // whenever LineQ was replaced. progress (when given) hears of the read.
    LoadResult Load(std::string_view fileName, Progress* progress = nullptr);
    LoadResult Load() { return Load(std::string(FileNameTXA)); }
    void ScanTxa() { scanner.ScanTxa(LineQ, ExtensionQ, lines().headerIndex()); }

    // Toggle of the highlighted row; returns the row to highlight next.
    int32_t ToggleSelection(int32_t choice);
    // Select or deselect all instances of the highlighted row's extension,
    // after asking (extension_selection.h).
    bool SelectAll(int32_t choice);

    // The output of Remove and Save: outputOverride without trailing spaces,
    // or when it is empty the name formed from FileNameTXA (output_name.h).
    std::string outputFor(std::string_view outputOverride) const;
    // True when output names the loaded file (the same file by another name
    // or link counts), which is never written.
    bool outputIsInput(const std::string& output);
    // What Remove and Save would delete and write, the last instance first.
    Removal PlanRemoval(const std::string& output);
    // Remove and Save: writes LineQ without the planned lines to the output
    // (an existing file only with Overwrite::Yes); once it is written,
    // deletes those lines from LineQ and rebuilds ExtensionQ. progress (when
    // given) hears of the writing.
    RemoveResult RemoveAndSave(const Removal& removal, Overwrite overwrite, Progress* progress = nullptr);

    uint32_t lineCount() { return RECORDS(LineQ); }
    // LineQ holds at least one section header ("[" at a line's start): a
    // file without one (empty, binary, plain text) is not a TXA file, which
    // the window and the command line point out (NoSectionsHint).
    bool hasSections() { return !lines().headerIndex().lines.empty(); }
    uint32_t instanceCount() { return RECORDS(ExtensionQ); }
    uint32_t tickedCount();  // instances ticked for removal
};

}  // namespace varnok::app
