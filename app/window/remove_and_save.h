// Remove and Save as the main window runs it: the questions and the messages
// around ExtensionRemover::RemoveAndSave, in this order:
//
//   "Remove the selected extensions from the TXA"  Confirm, question, Yes/No (No)
//   no line to delete:  "Nothing to delete"        Not saved, exclamation, OK
//   the output is the loaded file:
//     "The loaded TXA file is never overwritten: OUT"  Not saved, exclamation, OK
//   the output exists:  "Overwrite OUT ?"          File already exists, question, Yes/No (No)
//     (never asked of a read-only OUT, which is not replaced:
//      "OUT is read-only"                          Error Open, stop, OK)
//   the copy cannot be made or written: "Error Open" / "Error WriteFile" (text only)
//   written:            "OUT"                      Saved, information, OK
//
// OUT is the output's name without trailing spaces: outputOverride when
// given, else the name formed from the loaded file's name. The wait cursor
// shows while the copy is written (progress, when given, hears of it).
// beforeSaved (when given) runs once the copy is written and the lists
// rebuilt, just before "Saved" shows: the window brings its counts up to
// date there, so the box never sits over stale ones.
#pragma once
#include <functional>
#include <string_view>

#include "app/txa/extension_remover.h"

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

RemoveOutcome RemoveAndSave(ExtensionRemover& remover, std::string_view outputOverride = {},
                            Progress* progress = nullptr, const std::function<void()>& beforeSaved = {});

}  // namespace varnok::app
