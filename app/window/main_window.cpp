#include "app/window/main_window.h"

#include "app/txa/open_failure.h"
#include "app/window/counts_line.h"
#include "app/window/file_name_field.h"
#include "app/window/main_procedure.h"
#include "app/window/main_window_structure.h"
#include "app/window/remembered_file_name.h"
#include "app/window/status_progress.h"
#include "framework/errors/error_manager.h"
#include "framework/ini/ini_manager.h"
#include "platform/trailing_spaces.h"
#include "window/events.h"
#include "window/message_box.h"

namespace varnok::app {

namespace ev = window::event;
namespace prop = window::prop;

int32_t MainWindow::control(std::string_view useName) const {
    const window::WindowStructure* s = window::findWindowStructure(MainWindowResource);
    return s ? s->controlNumber(useName) : 0;
}

// ---- life cycle

uint8_t MainWindow::Init() {
    framework::errorManager().PushProcedureName(MainProcedureName);
    if (uint8_t level = WindowManager::Init()) return level;
    if (!window::findWindowStructure(MainWindowResource)) registerMainWindow();

    FirstField = control(use::FileNamePrompt);
    Errors = &framework::errorManager();
    AttachToolbar(&main_.toolbar);

    // A name too long for the entry is never cut to fit: a remembered one
    // is left out, a given one refused once the window shows.
    const std::string remembered = readRememberedFileName();
    if (fitsFileNameField(remembered)) main_.setFileName(remembered);
    const bool startFileFits = fitsFileNameField(main_.startFile);
    if (!main_.startFile.empty() && startFileFits) main_.setFileName(main_.startFile);

    OpenWindow(MainWindowResource);
    if (!Opened) return framework::LevelFatal;  // no window: nothing to run
    window::Window& w = *MyWindow;
    w.bindText(control(use::FileName), {main_.FileNameTXA, MainProcedure::FileNameSize});
    w.bindList(control(use::List), &main_.extensionList);

    const int32_t list = control(use::List);
    w.setProperty(list, prop::IconList, UntickedIcon, 1);
    w.setProperty(list, prop::IconList, TickedIcon, 2);
    w.setProperty(list, prop::LineHeight, MainListLineHeight);

    main_.resizer.Init(w);
    Resize = &main_.resizer;
    framework::iniManager().RestoreWindow(MainProcedureName, w);

    framework::FileSelector& lookup = main_.FileLookup;
    lookup.Init();
    lookup.ClearOnCancel = 1;
    lookup.Flags |= framework::FileSelector::ExplorerFlag;
    lookup.ReplaceMasks("TXA Files", "*.txa");
    lookup.WindowTitle = "TXA File";

    // The file name's group and entry stretch with the window's width, "..."
    // keeps to the right edge, Load and View stay centred. The list and its
    // group stretch with the window; "Remove and Save" keeps to the bottom
    // right corner, "Select for removal" to the bottom.
    main_.resizer.SetStrategy(control(use::Group1), framework::GrowWidth);
    main_.resizer.SetStrategy(control(use::FileName), framework::GrowWidth);
    main_.resizer.SetStrategy(control(use::LookupFile), framework::MoveX);
    main_.resizer.SetStrategy(control(use::LoadButton), framework::CentreX);
    main_.resizer.SetStrategy(control(use::ViewButton), framework::CentreX);
    main_.resizer.SetStrategy(control(use::Group2), framework::GrowWidth | framework::GrowHeight);
    main_.resizer.SetStrategy(list, framework::GrowWidth | framework::GrowHeight);
    main_.resizer.SetStrategy(control(use::RemoveButton), framework::MoveX | framework::MoveY);
    main_.resizer.SetStrategy(control(use::SelectButton), framework::MoveY);
    // A maximized window keeps its size; otherwise the size the resizer
    // stored last time is given back (or the restored one is laid out).
    if (w.propertyFlag(0, prop::Maximize) || !main_.resizer.RestoreValues()) main_.resizer.Resize();
    fitListColumns();

    w.alert(list, window::key::MouseLeft2);
    w.alert(list, window::key::Enter);
    w.alert(list, window::key::Space);
    w.alert(list, window::key::MouseLeft);
    w.alert(list, window::key::MouseRight);
    RegisterAlerts();
    w.acceptDrops(0);
    showCounts();

    // `varnok FILE`: the name is in the entry; load it as the button would.
    if (!main_.startFile.empty() && startFileFits) w.post(ev::Accepted, control(use::LoadButton));
    if (!startFileFits) showNameTooLong(main_.startFile);
    return framework::LevelQuiet;
}

uint8_t MainWindow::Release() {
    uint8_t level = WindowManager::Release();
    // A typed name the entry's variable could not hold whole is not
    // remembered: remtxa.ini keeps what it had.
    if (!typedNameTooLong_) writeRememberedFileName(main_.fileNameText());
    if (level != framework::LevelQuiet) return level;
    if (Opened && MyWindow) {
        framework::iniManager().SaveWindow(MainProcedureName, *MyWindow);
        // Closed maximized: the next start is maximized too, and leaving
        // that state gives back the last place and size it had before.
        if (MyWindow->propertyFlag(0, prop::Maximize) && normalPlace_.Got) {
            framework::WindowPlacement maximized = normalPlace_;
            maximized.Maximized = 1;
            framework::iniManager().WritePlacement(MainProcedureName, maximized);
        }
    }
    framework::errorManager().PopProcedureName();
    return level;
}

// ---- events

uint8_t MainWindow::OnAccepted() {
    const int32_t accepted = currentEvent().control;
    if (accepted == control(use::LookupFile)) {
        uint8_t level = WindowManager::OnAccepted();
        LookupFile();
        return level;
    }
    if (accepted == control(use::LoadButton)) {
        Load();
    } else if (accepted == control(use::ViewButton)) {
        View();
    } else if (accepted == control(use::SelectButton)) {
        ToggleSelection();
    } else if (accepted == control(use::RemoveButton)) {
        if (RemoveAndSave() == RemoveOutcome::OverwriteDeclined) return framework::LevelNotify;
    }
    return WindowManager::OnAccepted();
}

uint8_t MainWindow::OnFieldEvent() {
    const window::Event& e = currentEvent();
    if (e.number == ev::Drop && e.control == 0 && !e.files.empty()) DropFiles(e.files);
    if (e.number == ev::AlertKey && e.control == control(use::List) && MyWindow) {
        switch (e.keyCode) {
        case window::key::Enter:
        case window::key::Space:
        case window::key::MouseLeft2:
            MyWindow->post(ev::Accepted, control(use::SelectButton));
            break;
        case window::key::MouseLeft:  // a press on a row's tick box
            if (MyWindow->propertyNumber(e.control, prop::MouseDownColumn) == 1)
                MyWindow->post(ev::Accepted, control(use::SelectButton));
            break;
        case window::key::MouseRight:
            SelectAll();
            break;
        default:
            break;
        }
    }
    return WindowManager::OnFieldEvent();
}

uint8_t MainWindow::OnWindowEvent() {
    uint8_t level = WindowManager::OnWindowEvent();
    const window::Event& e = currentEvent();
    // A name typed but never accepted is remembered all the same.
    if ((e.number == ev::CloseWindow || e.number == ev::CloseDown) && MyWindow && MyWindow->isOpen()) {
        MyWindow->update(control(use::FileName));
        typedNameTooLong_ = !fitsFileNameField(entryText());
    }
    main_.resizer.TakeEvent(e);
    followNormalPlace(e.number);
    // The list's columns follow its width.
    if (e.number == ev::Sized || e.number == ev::Maximized || e.number == ev::Restored) fitListColumns();
    return level;
}

// ---- commands

void MainWindow::LookupFile() {
    StoreControls();
    const std::string chosen = main_.FileLookup.Choose(true);
    if (fitsFileNameField(chosen)) {
        main_.setFileName(chosen);
    } else {
        showNameTooLong(chosen);
    }
    if (MyWindow) MyWindow->display();
}

std::string MainWindow::entryText() const {
    if (!MyWindow) return main_.fileNameText();
    return std::string(platform::withoutTrailingSpaces(MyWindow->property(control(use::FileName), prop::Text)));
}

void MainWindow::Load() {
    if (!MyWindow) return;
    window::Window& w = *MyWindow;
    // The entry's text counts even when it was not accepted yet; all of
    // it, which may be more than its variable holds.
    w.update(control(use::FileName));
    if (const std::string typed = entryText(); !fitsFileNameField(typed)) {
        showNameTooLong(typed);
        return;
    }
    const std::string name = main_.fileNameText();
    ExtensionRemover& remover = main_.remover;

    window::windowLayer().setCursor(window::Cursor::Wait);
    StatusProgress progress(&w, CountsZone, main_.progressTiming);
    const LoadResult loaded = remover.Load(name, progress.sink());
    progress.ended();
    if (loaded.status == LoadStatus::NotAFile) {
        // No ordinary file of that name: said so, with why, and nothing
        // changes.
        window::windowLayer().setCursor(window::Cursor::Normal);
        showOpenFailure(name, notLoadableReason(name));
    } else {
        reportLoad(loaded, name);
        window::windowLayer().setCursor(window::Cursor::Normal);
    }
    fitListColumns();
    showCounts();
    // The list has the focus, its first row highlighted (none when empty).
    w.select(control(use::List), 1);
}

void MainWindow::DropFiles(const std::vector<std::string>& files) {
    if (!MyWindow || files.empty()) return;
    if (!fitsFileNameField(files.front())) {
        showNameTooLong(files.front());
        return;
    }
    main_.setFileName(files.front());
    MyWindow->display(control(use::FileName));
    Load();
}

void MainWindow::showCounts() {
    if (!MyWindow) return;
    ExtensionRemover& remover = main_.remover;
    Counts counts{remover.FileNameTXA, true, remover.instanceCount(), remover.tickedCount(), remover.lineCount()};
    if (!counts.file.empty()) counts.sections = remover.hasSections();
    const std::string line = countsLine(counts);
    if (MyWindow->property(0, prop::StatusText, CountsZone) != line)
        MyWindow->setProperty(0, prop::StatusText, line, CountsZone);
}

void MainWindow::followNormalPlace(uint16_t event) {
    if (!MyWindow || (event != ev::Sized && event != ev::Moved)) return;
    window::Window& w = *MyWindow;
    if (w.propertyFlag(0, prop::Maximize) || w.propertyFlag(0, prop::Iconize)) return;
    normalPlace_.X = w.propertyNumber(0, prop::Xpos);
    normalPlace_.Y = w.propertyNumber(0, prop::Ypos);
    normalPlace_.W = w.propertyNumber(0, prop::Width);
    normalPlace_.H = w.propertyNumber(0, prop::Height);
    normalPlace_.Got = 1;
}

void MainWindow::fitListColumns() {
    if (!MyWindow) return;
    const int32_t list = control(use::List);
    const uint32_t largest = main_.remover.lineCount();
    const LineNumberLook look = lineNumberLook(largest);
    for (int32_t column : {FromColumn, ToColumn}) {
        if (MyWindow->property(list, prop::ColumnPicture, column) != look.picture)
            MyWindow->setProperty(list, prop::ColumnPicture, look.picture, column);
    }
    const std::array<int32_t, 6> widths = mainListColumnWidths(MyWindow->propertyNumber(list, prop::Width), largest);
    for (int32_t column = 2; column <= 6; ++column) {
        const int32_t width = widths[static_cast<size_t>(column - 1)];
        if (MyWindow->propertyNumber(list, prop::ColumnWidth, column) != width)
            MyWindow->setProperty(list, prop::ColumnWidth, width, column);
    }
}

// The loaded lines in the queue viewer, titled with the name of the file
// they were loaded from (not the entry's text, which may name a file picked
// or typed since): the title, and with it the export's file name and title
// line, always name the lines shown. The viewer's window runs until it
// closes, the main window waiting below.
void MainWindow::View() { main_.remover.queueTool.ViewQueue(main_.remover.LineQ, main_.remover.FileNameTXA, 0); }

void MainWindow::ToggleSelection() {
    if (!MyWindow) return;
    const int32_t list = control(use::List);
    MyWindow->select(list, main_.remover.ToggleSelection(MyWindow->choice(list)));
    showCounts();
}

void MainWindow::SelectAll() {
    if (!MyWindow) return;
    main_.remover.SelectAll(MyWindow->choice(control(use::List)));
    showCounts();
}

RemoveOutcome MainWindow::RemoveAndSave() {
    StatusProgress progress(MyWindow, CountsZone, main_.progressTiming);
    // The list's columns and the counts follow the rebuilt lists before
    // "Saved" shows, and again after any other outcome.
    auto showRebuilt = [this] {
        fitListColumns();
        showCounts();
    };
    const RemoveOutcome outcome = app::RemoveAndSave(main_.remover, {}, progress.sink(), showRebuilt);
    showRebuilt();
    return outcome;
}

}  // namespace varnok::app
