// ExtensionRemover: the extension remover's state and commands, shared by
// the main window and the command line. It owns the line list (LineQ), the
// extension list (ExtensionQ), the QueueTool that loads and saves lines, and
// the scanner.
//
// Invariant between commands: ExtensionQ describes LineQ as it is now. Every
// command that shortens LineQ rebuilds ExtensionQ before it returns, also
// when nothing was written, so a second Remove and Save can never cut lines
// of other sections. The loaded file is never written.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/txa/queue_tool.h"
#include "app/txa/txa_scanner.h"
#include "runtime/queue/queue.h"

namespace varnok::app {

enum class RemoveOutcome {
    Cancelled,          // the confirmation was not answered Yes
    NothingToDelete,    // no ticked instance had a line to delete
    OutputIsLoadedFile, // the output name resolves to the loaded file
    OverwriteDeclined,  // the output exists and overwriting was not confirmed; the
                        // window answers this one with LevelNotify at once
    SaveFailed,         // the output could not be created or written
    Saved,
};

class ExtensionRemover {
public:
    ExtensionRemover();

    Queue LineQ;
    Queue ExtensionQ;
    QueueTool queueTool;
    TxaScanner scanner;
    std::string FileNameTXA;  // the TXA file name of the entry field
    std::string NewFileName;  // the name Remove and Save wrote to (or tried)
    int32_t DeletedCount = 0;
    int32_t LinesInInstance = 0;

    // Load: reads FileNameTXA into LineQ and rebuilds ExtensionQ. Returns
    // LoadText's result (1 read or no such file, 0 failure reported).
    uint8_t Load();
    void ScanTxa() {
        const std::vector<uint32_t>* lines = queueTool.headerLines(LineQ);
        scanner.ScanTxa(LineQ, ExtensionQ, lines, lines ? queueTool.headerKinds(LineQ) : nullptr);
    }

    // Toggle of the highlighted row; returns the row to highlight next.
    int32_t ToggleSelection(int32_t choice);
    // Select or deselect all instances of the highlighted row's extension.
    bool SelectAll(int32_t choice);

    // Remove and Save: deletes the ticked instances' lines, writes LineQ to
    // the output (outputName(FileNameTXA), or outputOverride when given),
    // asking before an existing file is replaced, and rebuilds ExtensionQ.
    RemoveOutcome RemoveAndSave(std::string_view outputOverride = {});

    uint32_t lineCount() { return RECORDS(LineQ); }
    uint32_t instanceCount() { return RECORDS(ExtensionQ); }
};

}  // namespace varnok::app
