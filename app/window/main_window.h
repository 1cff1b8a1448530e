// MainWindow: the window manager of the procedure Main (main_procedure.h),
// which runs the "Remove Extensions" window.
//
// What it adds to the framework's WindowManager:
//   Init           opens the window with the remembered TXA name in the
//                  entry, sets the list's check box icons and line height,
//                  restores the window's place, prepares the file dialog and
//                  the resizer, and registers the list's alert keys
//   Release        remembers the TXA name in ".\remtxa.ini" (whatever the
//                  base Release answered) and saves the window's place
//   OnAccepted     the buttons: "..." (file dialog), Load, View, Select for
//                  removal, Remove and Save
//   OnFieldEvent   on the list: Enter and a double click press "Select for
//                  removal"; a right click selects or deselects every
//                  instance of the highlighted row's extension. Files
//                  dropped on the window: the first one's name goes into
//                  the entry and is loaded, as by the Load button
//   OnWindowEvent  hands window events on to the resizer after the base
//
// Load never changes the lists when the name lists no ordinary file (it is
// missing, a folder or hidden): it says so with the title "Error Open", as
// for a file that cannot be opened (app/txa/open_failure.h), giving why.
// A name longer than the entry's field is refused wherever it comes from
// (file_name_field.h): nothing is loaded and nothing cut is remembered.
// "View" and its exports name the file the lines were loaded from.
//
// The status bar shows the counts line (counts_line.h), written again
// after every command that can change it: Load (and a drop), the ticks,
// Remove and Save. A Load or the writing of Remove and Save that takes
// longer than half a second shows a progress bar in its place while it runs
// (status_progress.h), under the wait cursor.
#pragma once
#include "framework/ini/window_placement.h"
#include <cstdint>
#include <string>
#include <vector>

#include "app/txa/extension_remover.h"
#include "app/window/remove_and_save.h"
#include "framework/windows/window_manager.h"

namespace varnok::app {

class MainProcedure;

class MainWindow : public framework::WindowManager {
public:
    explicit MainWindow(MainProcedure& procedure) : main_(procedure) {}

    uint8_t Init() override;
    uint8_t Release() override;
    uint8_t OnAccepted() override;
    uint8_t OnFieldEvent() override;
    uint8_t OnWindowEvent() override;

    // The commands, as the buttons run them.
    void LookupFile();
    void Load();
    void View();
    void ToggleSelection();
    void SelectAll();
    RemoveOutcome RemoveAndSave();
    // Files dropped on the window: the first is named in the entry and
    // loaded.
    void DropFiles(const std::vector<std::string>& files);

private:
    int32_t control(std::string_view useName) const;
    // Gives the From and To columns the look the lines loaded need
    // (lineNumberLook) and the text columns the rest of the list's width
    // (mainListColumnWidths), after every rebuild of the list and resize.
    void fitListColumns();
    // Keeps the window's place and size while it is neither maximized nor
    // minimized (after EVENT:Moved and EVENT:Sized), for a close while
    // maximized.
    void followNormalPlace(uint16_t event);
    // The counts line in the status bar, for the lists as they are now.
    void showCounts();
    // The entry's whole text without trailing spaces (what the user typed,
    // which may be longer than the entry's variable).
    std::string entryText() const;

    MainProcedure& main_;
    bool typedNameTooLong_ = false;  // at close: the entry held more than its variable
    framework::WindowPlacement normalPlace_;  // Got once known
};

}  // namespace varnok::app
