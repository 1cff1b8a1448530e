// Main: the procedure of the program's one window, "Remove Extensions".
// It owns, for its whole run, the line and extension lists with the
// QueueTool and the scanner (ExtensionRemover), the list source that shows
// ExtensionQ, the file dialog object FileLookup, the resizer with its store,
// the toolbar object and the window manager (MainWindow), and runs the
// window until it closes.
//
//   uint8_t response = Main();            // the window, as the user left it
//   uint8_t response = Main("a.txa");     // opens with a.txa in the entry, loaded
//
// Two names, kept apart on purpose: FileNameTXA is the entry's variable
// (what the user typed or picked), while remover.FileNameTXA is the name
// LineQ was last loaded from. Remove and Save forms its output name from the
// latter, so retyping the entry, or a Load of another name that fails,
// never writes the old file's lines under a new file's name.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/txa/extension_remover.h"
#include "app/window/ini_resizer_store.h"
#include "app/window/no_toolbar.h"
#include "app/window/status_progress.h"
#include "framework/files/file_selector.h"
#include "framework/windows/window_resizer.h"
#include "framework/windows/queue_list_source.h"

namespace varnok::app {

class MainProcedure {
public:
    static constexpr size_t FileNameSize = 256;  // STRING(256)

    explicit MainProcedure(std::string_view startFile = {});
    MainProcedure(const MainProcedure&) = delete;
    MainProcedure& operator=(const MainProcedure&) = delete;

    // Runs the window manager until the window closes; 1 completed, 2
    // cancelled (closing the window cancels).
    uint8_t Run();

    // The entry's variable, padded with spaces.
    char FileNameTXA[FileNameSize];
    ExtensionRemover remover;
    framework::QueueListSource extensionList;
    framework::FileSelector FileLookup;
    IniResizerStore resizerStore;
    framework::WindowResizer resizer;
    NoToolbar toolbar;
    // When a Load or a Remove and Save shows its progress bar.
    ProgressTiming progressTiming;
    // The name given on the command line, loaded once the window is open;
    // empty for none.
    std::string startFile;

    // FileNameTXA without trailing spaces.
    std::string fileNameText() const;
    // FileNameTXA = name, cut to its size and padded.
    void setFileName(std::string_view name);
};

uint8_t Main(std::string_view startFile = {});

}  // namespace varnok::app
