// The main window's procedure through the scripted window layer: its set-up
// and end (remtxa.ini, the list's icons and alerts, the file dialog, the
// resizer), the commands on the buttons and the list, and the two places
// where the window is sounder than a plain reading of its commands: Remove
// and Save names its output after the file the lines came from, and Load of
// a name that lists no ordinary file says so and changes nothing.
#include "app/window/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/window/main_procedure.h"
#include "app/window/main_window_structure.h"
#include "framework/errors/error_manager.h"
#include "framework/ini/ini_manager.h"
#include "platform/os_file.h"
#include "queueview/viewer/viewer_window.h"
#include "tests/app/window/program_home.h"
#include "tests/support/scripted_presenter.h"
#include "tests/support/scripted_window_layer.h"
#include "window/events.h"

namespace varnok::app {
namespace {

using testing::kSmallTxa;
using testing::readFile;
using window::ButtonNo;
using window::ButtonOk;
using window::ButtonYes;
namespace prop = window::prop;
namespace ev = window::event;
namespace key = window::key;

constexpr std::string_view W = MainWindowResource;

struct MainWindowTest : ::testing::Test {
    testing::ProgramHome home;
    testing::ScriptedWindowLayer layer;
    testing::ScriptedPresenter boxes;

    void SetUp() override {
        registerMainWindow();
        framework::iniManager().Init("varnok.INI", 0, 0);
    }
    void TearDown() override {
        framework::iniManager().Release();
        boxes.verifyDone();
        layer.verifyDone();
    }
    // The list's tick column as drawn from ExtensionQ: "x" ticked, "." not.
    static std::string ticks(MainProcedure& p) {
        std::string t;
        for (int32_t row = 1; row <= p.extensionList.rowCount(); ++row) {
            const std::string tick = p.extensionList.fieldText(row, 1);
            const std::string icon = p.extensionList.fieldText(row, 2);
            EXPECT_EQ(icon, tick == "1" ? "2" : "1") << "row " << row;
            t += tick == "1" ? 'x' : '.';
        }
        return t;
    }
    static int32_t number(std::string_view useName) {
        return window::findWindowStructure(MainWindowResource)->controlNumber(useName);
    }
};

// A probe of the handlers' answers.
class ProbeWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    uint8_t OnAccepted() override {
        accepted.push_back(MainWindow::OnAccepted());
        return accepted.back();
    }
    std::vector<uint8_t> accepted;
};

TEST_F(MainWindowTest, OpensWithItsIconsAlertsFocusAndMinimumSize) {
    MainProcedure p;
    const int32_t list = number(use::List);
    layer.onOpen(W).call([&](window::Window& w) {
        EXPECT_EQ(w.property(list, prop::IconList, 1), "~boxoff.ico");
        EXPECT_EQ(w.property(list, prop::IconList, 2), "~boxon.ico");
        EXPECT_EQ(w.propertyNumber(list, prop::LineHeight), 10);
        EXPECT_EQ(w.propertyNumber(0, prop::MinWidth), 420);
        EXPECT_EQ(w.propertyNumber(0, prop::MinHeight), 273);
        EXPECT_EQ(w.focus(), number(use::FileNamePrompt));  // FirstField after EVENT:OpenWindow
        EXPECT_EQ(framework::errorManager().CurrentProcedureName(), "Main");
    });
    EXPECT_EQ(p.Run(), 2);  // closing the window cancels
    const testing::ScriptedWindowState& s = layer.last(W);
    EXPECT_EQ(s.alerts.at(list), (std::vector<uint32_t>{key::MouseLeft2, key::Enter, key::Space, key::MouseLeft, key::MouseRight}));
    EXPECT_EQ(p.FileLookup.WindowTitle, "TXA File");
    EXPECT_EQ(p.FileLookup.MaskString, "TXA Files|*.txa");
    EXPECT_EQ(p.FileLookup.Flags, 16);
    EXPECT_EQ(p.FileLookup.ClearOnCancel, 1);
    EXPECT_EQ(framework::errorManager().CurrentProcedureName(), "");  // pushed and popped once
}

// ".\remtxa.ini" before the run, what the entry shows, what is typed, and
// the file after the run.
TEST_F(MainWindowTest, RemembersTheNameInRemtxaIniOfTheCurrentDirectory) {
    struct Case {
        const char* before;  // nullptr: no file
        const char* shown;
        const char* typed;   // nullptr: nothing typed
        const char* after;
    };
    const std::string longName(300, 'n');
    const Case cases[] = {
        {nullptr, "", nullptr, "[TXA]\nFileName=\n"},
        {"[TXA]\nFileName=C:\\apps\\main.txa\n", "C:\\apps\\main.txa", nullptr, "[TXA]\nFileName=C:\\apps\\main.txa\n"},
        {"[Other]\nX=1\n", "", "typed, never loaded.txa", "[Other]\nX=1\n\n[TXA]\nFileName=typed, never loaded.txa\n"},
        {"[TXA]\nFileName=old.txa\n", "old.txa", "", "[TXA]\nFileName=\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before ? c.before : "(no file)");
        std::filesystem::remove(home.remtxaIni());
        if (c.before) home.write("remtxa.ini", c.before);
        MainProcedure p;
        auto& script = layer.onOpen(W).call([&](window::Window& w) {
            EXPECT_EQ(w.property(number(use::FileName), prop::Text), c.shown);
        });
        if (c.typed) script.type(use::FileName, c.typed);
        p.Run();
        EXPECT_EQ(readFile(home.remtxaIni()), c.after);
    }
    // A remembered name longer than the entry is not taken, nor written back cut.
    home.write("remtxa.ini", "[TXA]\nFileName=" + longName + "\n");
    MainProcedure p;
    layer.onOpen(W).call([&](window::Window& w) { EXPECT_EQ(w.property(number(use::FileName), prop::Text), ""); });
    p.Run();
    EXPECT_EQ(readFile(home.remtxaIni()), "[TXA]\nFileName=\n");
}

// A name too long for the entry (255 fit), from wherever it comes, is refused saying so:
// nothing loads, the entry and remtxa.ini keep "old.txa", never a cut name.
// Closed while maximized, the window is saved maximized with the place and
// size it had before it was maximized; the next start gives both back.
TEST_F(MainWindowTest, ClosedMaximizedKeepsTheLastNormalPlaceAndSize) {
    {
        MainProcedure p;
        layer.onOpen(W)
            .set("", prop::Xpos, "30")
            .resize(500, 300)
            .set("", prop::Maximize, "1")
            .event(ev::Maximized)
            .resize(900, 700)
            .close();
        p.Run();
    }
    framework::WindowPlacement saved;
    framework::iniManager().ReadPlacement(MainProcedureName, saved);
    EXPECT_EQ(saved.Maximized, 1);
    EXPECT_EQ(saved.X, 30);
    EXPECT_EQ(saved.W, 500);
    EXPECT_EQ(saved.H, 300);
}

TEST_F(MainWindowTest, NamesTooLongForTheEntryAreRefused) {
    const std::string tooLong = std::string(292, 'd') + "/main.txa", fits = std::string(255 - 9, 'd') + "/main.txa";
    std::filesystem::create_directory(home.file(std::string(255 - 9, 'd')));
    home.write(fits, kSmallTxa);
    const struct {
        char source;  // 's' start, 'd' file dialog, 't' typed, 'r' dropped
        std::string name;
    } cases[] = {{'s', tooLong}, {'d', tooLong}, {'t', tooLong}, {'r', tooLong}, {'t', fits}, {'s', fits}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.source) + std::to_string(c.name.size()));
        const bool loads = c.name == fits;
        home.write("remtxa.ini", "[TXA]\nFileName=old.txa\n");
        if (!loads) boxes.expect("The file name is too long: 301 characters, at most 255 fit.|" + tooLong, ButtonOk);
        MainProcedure p(c.source == 's' ? c.name : "");
        testing::WindowScript& script = layer.onOpen(W);
        if (c.source == 'd') script.accept(use::LookupFile).fileDialog(c.name);
        if (c.source == 't') script.type(use::FileName, c.name).accept(use::LoadButton);
        if (c.source == 'r') script.drop({c.name});
        script.call([&](window::Window& w) {
            if (c.source != 't') {
                EXPECT_EQ(w.property(number(use::FileName), prop::Text), loads ? c.name : "old.txa");
            }
        });
        p.Run();
        boxes.verifyDone();
        EXPECT_EQ(ticks(p), loads ? "..." : "");
        EXPECT_EQ(readFile(home.remtxaIni()), "[TXA]\nFileName=" + (loads ? c.name : std::string("old.txa")) + "\n");
    }
    EXPECT_EQ(boxes.shown().at(0).caption, "Name too long");
}

TEST_F(MainWindowTest, TheDotsButtonFillsTheEntryAndACancelEmptiesIt) {
    home.write("remtxa.ini", "[TXA]\nFileName=old.txa\n");
    const std::string before = std::filesystem::current_path().string();
    MainProcedure p;
    const int32_t entry = number(use::FileName);
    layer.onOpen(W)
        .accept(use::LookupFile)
        .fileDialog("/some/where/b.txa")
        .call([&](window::Window& w) { EXPECT_EQ(w.property(entry, prop::Text), "/some/where/b.txa"); })
        .accept(use::LookupFile)
        .cancelFileDialog()
        .call([&](window::Window& w) { EXPECT_EQ(w.property(entry, prop::Text), ""); });
    p.Run();
    ASSERT_EQ(layer.fileDialogs().size(), 2u);
    const window::FileDialogRequest& asked = layer.fileDialogs()[0];
    EXPECT_EQ(asked.title, "TXA File");
    EXPECT_EQ(asked.masks, "TXA Files|*.txa");
    EXPECT_EQ(asked.name, "");  // the entry's name is not passed to the dialog
    EXPECT_EQ(asked.flags, 16u);
    EXPECT_EQ(std::filesystem::current_path().string(), before);
    EXPECT_EQ(readFile(home.remtxaIni()), "[TXA]\nFileName=\n");
}

// The road of one use: Load, every way of ticking, Remove and Save.
TEST_F(MainWindowTest, LoadTickRemoveAndSave) {
    const std::string input = home.write("main.txa", kSmallTxa);
    MainProcedure p;
    const int32_t list = number(use::List);
    boxes.expect("Select all the instances of: Logger", ButtonYes)
        .expect("Deselect all the instances of: Caf\xE9", ButtonNo)
        .expect("Remove the selected extensions", ButtonYes)
        .expect("Saved", ButtonOk);
    layer.onOpen(W)
        .type(use::FileName, "main.txa")
        .accept(use::LoadButton)
        .call([&](window::Window& w) {
            EXPECT_EQ(ticks(p), "...");
            EXPECT_EQ(w.focus(), list);  // the list has the focus after Load,
            EXPECT_EQ(w.choice(list), 1);  // its first row highlighted
        })
        .newSelection(use::List, 0)
        .accept(use::SelectButton)  // nothing highlighted: row 1 is, nothing ticked
        .call([&](window::Window& w) {
            EXPECT_EQ(w.choice(list), 1);
            EXPECT_EQ(ticks(p), "...");
        })
        .accept(use::SelectButton)
        .call([&](window::Window&) { EXPECT_EQ(ticks(p), "x.."); })
        .newSelection(use::List, 2)
        .alert(use::List, key::Enter)
        .call([&](window::Window&) { EXPECT_EQ(ticks(p), "xx."); })
        .alert(use::List, key::MouseLeft2)
        .call([&](window::Window&) { EXPECT_EQ(ticks(p), "x.."); })
        .newSelection(use::List, 1)
        .alert(use::List, key::MouseRight)  // Yes: every "Logger" ticked
        .call([&](window::Window&) { EXPECT_EQ(ticks(p), "x.x"); })
        .newSelection(use::List, 2)
        .alert(use::List, key::MouseRight)  // No: nothing changes
        .call([&](window::Window&) { EXPECT_EQ(ticks(p), "x.x"); })
        .accept(use::RemoveButton)
        .call([&](window::Window& w) {
            EXPECT_EQ(ticks(p), ".");  // rebuilt from the shortened lines
            EXPECT_EQ(p.extensionList.fieldText(1, 3), "Caf\xE9");
            EXPECT_EQ(p.extensionList.fieldText(1, 6), "3");
            EXPECT_EQ(p.extensionList.fieldText(1, 7), "5");
            EXPECT_EQ(w.property(number(use::FileName), prop::Text), "main.txa");
        });
    p.Run();
    EXPECT_EQ(readFile(home.file("main_.txa")),
              "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Other Caf\xE9\r\n[INSTANCE]\r\n[END]\r\n");
    EXPECT_EQ(readFile(input), kSmallTxa);  // the loaded file is never written
    ASSERT_EQ(boxes.shown().size(), 4u);
    EXPECT_EQ(boxes.shown()[3].text, "main_.txa");
    // The Enter key and the double click went through "Select for removal".
    EXPECT_EQ(layer.last(W).count(ev::Accepted, number(use::SelectButton)), 4u);
    // Load, then the writing of Remove and Save, each under the wait cursor.
    EXPECT_EQ(layer.cursors(), (std::vector<window::Cursor>{window::Cursor::Wait, window::Cursor::Normal,
                                                            window::Cursor::Wait, window::Cursor::Normal}));
}

TEST_F(MainWindowTest, DecliningTheOverwriteAnswersNotify) {
    home.write("main.txa", kSmallTxa);
    home.write("main_.txa", "older copy\r\n");
    MainProcedure p;
    boxes.expect("Remove the selected extensions", ButtonYes).expect("Overwrite ", ButtonNo);
    boxes.expect("Remove the selected extensions", ButtonNo);
    layer.onOpen(W)
        .type(use::FileName, "main.txa")
        .accept(use::LoadButton)
        .newSelection(use::List, 2)
        .accept(use::SelectButton)
        .accept(use::RemoveButton)
        .call([&](window::Window&) {
            // Nothing written, nothing taken out: the list and its tick stay.
            EXPECT_EQ(ticks(p), ".x.");
            EXPECT_EQ(RECORDS(p.remover.LineQ), 13u);
        })
        .accept(use::RemoveButton);
    ProbeWindow manager(p);
    manager.Run();
    EXPECT_EQ(manager.accepted, (std::vector<uint8_t>{0, 0, 0, 5, 0}));
    EXPECT_EQ(boxes.shown()[1].text, "Overwrite main_.txa ?");
    EXPECT_EQ(boxes.shown()[1].caption, "File already exists");
    EXPECT_EQ(readFile(home.file("main_.txa")), "older copy\r\n");
}

// Sound behaviour: the output is named after the file LineQ came from, not
// after what the entry shows now.
TEST_F(MainWindowTest, TheOutputIsNamedAfterTheFileTheLinesCameFrom) {
    home.write("a.txa", kSmallTxa);
    home.write("b.txa", "[PROCEDURE]\r\nNAME Other\r\n");
    MainProcedure p;
    boxes.expect("Remove the selected", ButtonYes).expect("Saved", ButtonOk);
    boxes.expect("missing.txa", ButtonOk);
    boxes.expect("Remove the selected", ButtonYes).expect("Overwrite a_.txa", ButtonYes).expect("Saved", ButtonOk);
    layer.onOpen(W)
        .type(use::FileName, "a.txa")
        .accept(use::LoadButton)
        .type(use::FileName, "b.txa")  // retyped, never loaded
        .newSelection(use::List, 1)
        .accept(use::SelectButton)
        .accept(use::RemoveButton)
        .type(use::FileName, "missing.txa")
        .accept(use::LoadButton)  // fails: the lines are still a.txa's
        .newSelection(use::List, 1)
        .accept(use::SelectButton)
        .accept(use::RemoveButton);
    p.Run();
    EXPECT_FALSE(std::filesystem::exists(home.file("b_.txa")));
    EXPECT_FALSE(std::filesystem::exists(home.file("missing_.txa")));
    EXPECT_EQ(boxes.shown()[1].text, "a_.txa");
    EXPECT_EQ(boxes.shown()[5].text, "a_.txa");
    // Both removals, one after the other, on a.txa's lines.
    EXPECT_EQ(readFile(home.file("a_.txa")), "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Other Logger\r\nx\r\n[END]\r\n");
    EXPECT_EQ(readFile(home.file("b.txa")), "[PROCEDURE]\r\nNAME Other\r\n");
}

// A file that is listed but cannot be opened leaves the lines, and so the
// output's name, with the file loaded before.
TEST_F(MainWindowTest, AFileThatCannotBeOpenedKeepsTheLoadedName) {
    if (testing::runningAsRoot()) GTEST_SKIP() << "root opens any file";
    home.write("a.txa", kSmallTxa);
    const std::string locked = home.write("locked.txa", kSmallTxa);
#ifdef _WIN32
    // Windows opens a file whatever its read-only bit; what it refuses is a
    // file another open holds without sharing.
    platform::OsFile holder;
    ASSERT_EQ(holder.open(locked, platform::FileAccess::ReadWrite, platform::FileSharing::DenyAll), 0);
#else
    std::filesystem::permissions(locked, std::filesystem::perms::none);
#endif
    MainProcedure p;
    boxes.expect("Error Open", ButtonOk);
    boxes.expect("Remove the selected", ButtonYes).expect("Saved", ButtonOk);
    layer.onOpen(W)
        .type(use::FileName, "a.txa")
        .accept(use::LoadButton)
        .type(use::FileName, "locked.txa")
        .accept(use::LoadButton)
        .newSelection(use::List, 1)
        .accept(use::SelectButton)
        .accept(use::RemoveButton);
    p.Run();
    EXPECT_EQ(boxes.shown()[0].text, "Cannot open locked.txa: Permission denied");
    EXPECT_EQ(boxes.shown()[0].icon, window::IconHand);
    EXPECT_EQ(boxes.shown()[2].text, "a_.txa");
    EXPECT_FALSE(std::filesystem::exists(home.file("locked_.txa")));
}

// Sound behaviour: a name that lists no ordinary file is reported as an open
// failure that says why, and the lists stay as they were, ticks and all.
TEST_F(MainWindowTest, LoadOfANameWithoutAnOrdinaryFileSaysSoAndChangesNothing) {
    home.write("main.txa", kSmallTxa);
    home.write(".hidden.txa", kSmallTxa);
    std::filesystem::create_directory(home.file("folder.txa"));
    const std::pair<const char*, const char*> cases[] = {
        {"missing.txa", "Cannot open missing.txa: No such file or directory"},
        {"folder.txa", "Cannot open folder.txa: Is a directory"},
        {".hidden.txa", "Cannot open .hidden.txa: It is a hidden file"},
        {"", "No file name given"},
    };
    for (auto [name, text] : cases) {
        SCOPED_TRACE(name);
        MainProcedure p;
        uint32_t lineChanges = 0, listChanges = 0;
        boxes.expect("Error Open", ButtonOk);
        layer.onOpen(W)
            .type(use::FileName, "main.txa")
            .accept(use::LoadButton)
            .newSelection(use::List, 3)
            .accept(use::SelectButton)
            .call([&](window::Window&) {
                lineChanges = CHANGES(p.remover.LineQ);
                listChanges = CHANGES(p.remover.ExtensionQ);
            })
            .type(use::FileName, name)
            .accept(use::LoadButton)
            .call([&](window::Window& w) {
                EXPECT_EQ(CHANGES(p.remover.LineQ), lineChanges);
                EXPECT_EQ(CHANGES(p.remover.ExtensionQ), listChanges);
                EXPECT_EQ(RECORDS(p.remover.LineQ), 13u);
                EXPECT_EQ(ticks(p), "..x");
                EXPECT_EQ(w.focus(), number(use::List));
            });
        p.Run();
        const window::MessageRequest& shown = boxes.shown().back();
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.caption, "Error Open");
        EXPECT_EQ(shown.icon, window::IconHand);
        EXPECT_EQ(shown.buttons, ButtonOk);
        EXPECT_EQ(p.remover.FileNameTXA, "main.txa");
    }
}

// "View" shows the lines as the program holds them, in the queue viewer over
// the main window, titled with the entry's text; the main window waits.
TEST_F(MainWindowTest, ViewShowsTheLinesInTheQueueViewer) {
    home.write("main.txa", testing::kSmallTxa);
    MainProcedure p;
    uint32_t linesSeen = 0;
    // A file picked with "..." but not loaded names neither the viewer nor its export.
    layer.onOpen(W).accept(use::ViewButton).type(use::FileName, "main.txa").accept(use::LoadButton).accept(use::ViewButton)
        .accept(use::LookupFile).fileDialog("picked.txa").accept(use::ViewButton);
    layer.onOpen(queueview::ViewerWindowName);  // before any Load: no lines
    layer.onOpen(queueview::ViewerWindowName).call([&](window::Window&) { linesSeen = RECORDS(p.remover.LineQ); });
    layer.onOpen(queueview::ViewerWindowName).accept("?EXPORTBUTTON").popup(1);
    boxes.expect("main.txa.csv", ButtonOk);
    p.Run();
    std::vector<const testing::ScriptedWindowState*> viewers;
    for (const auto& s : layer.opened())
        if (s->resourceName == queueview::ViewerWindowName) viewers.push_back(s.get());
    ASSERT_EQ(viewers.size(), 3u);
    EXPECT_EQ(viewers[0]->property(0, prop::Text), "");
    EXPECT_EQ(viewers[1]->property(0, prop::Text), "main.txa");
    EXPECT_EQ(viewers[2]->property(0, prop::Text), "main.txa");
    EXPECT_EQ(readFile(home.file("main.txa.csv")).substr(0, 10), "main.txa\r\n");
    EXPECT_FALSE(std::filesystem::exists(home.file("picked.txa.csv")));
    EXPECT_EQ(linesSeen, 13u);
    EXPECT_EQ(layer.last(W).count(ev::Accepted, number(use::ViewButton)), 3u);
}

TEST_F(MainWindowTest, AStartFileIsShownAndLoadedAtOnce) {
    home.write("start.txa", kSmallTxa);
    MainProcedure p("start.txa");
    layer.onOpen(W).call([&](window::Window& w) {
        EXPECT_EQ(w.property(number(use::FileName), prop::Text), "start.txa");
        EXPECT_EQ(ticks(p), "...");
    });
    p.Run();
    EXPECT_EQ(readFile(home.remtxaIni()), "[TXA]\nFileName=start.txa\n");
}

// Sizes in dialog units: the scripted layer keeps properties in units.
TEST_F(MainWindowTest, ResizingStretchesTheListAndMovesTheButtons) {
    MainProcedure p;
    struct Expect {
        std::string_view useName;
        int32_t x, y, width, height;
    };
    auto check = [&](window::Window& w, int32_t dw, int32_t dh) {
        const Expect expected[] = {
            {use::Group2, 5, 54, 411 + dw, 214 + dh},
            {use::List, 9, 62, 401 + dw, 182 + dh},
            {use::SelectButton, 9, 248 + dh, 139, 14},
            {use::RemoveButton, 271 + dw, 248 + dh, 139, 14},
            {use::Group1, 5, 6, 411 + dw, 45},
            {use::FileNamePrompt, 9, 16, w.propertyNumber(number(use::FileNamePrompt), prop::Width), 8},
            {use::FileName, 61, 16, 327 + dw, 10},
            {use::LookupFile, 392 + dw, 15, 12, 12},
            {use::LoadButton, 115 + dw / 2, 32, 89, 14},
            {use::ViewButton, 215 + dw / 2, 32, 89, 14},
        };
        for (const Expect& e : expected) {
            SCOPED_TRACE(e.useName);
            const int32_t c = number(e.useName);
            EXPECT_EQ(w.propertyNumber(c, prop::Xpos), e.x);
            EXPECT_EQ(w.propertyNumber(c, prop::Ypos), e.y);
            EXPECT_EQ(w.propertyNumber(c, prop::Width), e.width);
            EXPECT_EQ(w.propertyNumber(c, prop::Height), e.height);
        }
    };
    layer.onOpen(W)
        .resize(620, 393)
        .call([&](window::Window& w) { check(w, 200, 120); })
        .resize(300, 200)  // below the minimum: held at the structure's size
        .call([&](window::Window& w) {
            EXPECT_EQ(w.propertyNumber(0, prop::Width), 420);
            check(w, 0, 0);
        })
        .resize(500, 300);
    p.Run();
    // The next run opens at the size the window had, laid out for it.
    const std::string ini = readFile(home.varnokIni());
    EXPECT_NE(ini.find("ResizeWidth=500"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ResizeHeight=300"), std::string::npos) << ini;
    MainProcedure again;
    layer.onOpen(W).call([&](window::Window& w) {
        EXPECT_EQ(w.propertyNumber(0, prop::Width), 500);
        check(w, 80, 27);
    });
    again.Run();
}

TEST_F(MainWindowTest, AWindowThatCannotOpenEndsTheProcedureQuietly) {
    home.write("remtxa.ini", "[TXA]\nFileName=kept.txa\n");
    layer.refuseOpen(W);
    MainProcedure p;
    EXPECT_EQ(p.Run(), 2);
    EXPECT_EQ(readFile(home.remtxaIni()), "[TXA]\nFileName=kept.txa\n");
    EXPECT_EQ(framework::errorManager().CurrentProcedureName(), "");
}

// The counts line in the status bar against a model of the ticks, after
// every step of each sequence: the button, Enter, Space, a double click and a
// press on the tick box toggle
// the highlighted row; a right click answered Yes spreads its state to every
// instance of its name (No changes nothing); Remove and Save leaves the
// unticked instances and the lines without the ticked ones' lines. Before
// the first Load it reads zeros.
TEST_F(MainWindowTest, TheCountsLineFollowsEveryTickLoadAndRemoval) {
    // kSmallTxa: 13 lines; Logger (lines 3-6), Café (7-9), Logger (10-12).
    const std::string names[] = {"Logger", "Caf\xE9", "Logger"};
    const uint32_t instanceLines[] = {4, 3, 3};
    struct Step {
        // 'b' button, 'e' Enter, 's' Space, 'd' double click, 't' a press on the
        // tick box, 'x' a press on another column, 'y'/'n' right click answered
        // Yes/No, 'r' Remove and Save
        char op;
        int32_t row;
    };
    const std::vector<std::vector<Step>> cases = {
        {},
        {{'b', 1}},
        {{'b', 1}, {'b', 1}},
        {{'b', 2}, {'e', 3}, {'d', 1}},
        {{'b', 1}, {'y', 1}},
        {{'b', 1}, {'n', 1}},
        {{'b', 1}, {'b', 3}, {'y', 2}, {'b', 2}, {'y', 3}},  // Café alone; then the Loggers untick from row 3's state
        {{'e', 1}, {'d', 2}, {'b', 3}, {'y', 3}},
        {{'b', 1}, {'y', 1}, {'r', 0}},
        {{'b', 2}, {'r', 0}},
        {{'e', 1}, {'e', 2}, {'e', 3}, {'r', 0}},
        {{'s', 2}, {'t', 3}, {'x', 1}, {'t', 2}, {'s', 3}},
    };
    for (size_t n = 0; n < cases.size(); ++n) {
        SCOPED_TRACE("case " + std::to_string(n + 1));
        home.write("main.txa", kSmallTxa);
        std::filesystem::remove(home.file("main_.txa"));
        MainProcedure p;
        std::vector<std::string> rowNames(std::begin(names), std::end(names));
        std::vector<uint32_t> rowLines(std::begin(instanceLines), std::end(instanceLines));
        std::vector<bool> ticked(3, false);
        uint32_t lines = 13;
        auto expected = [&] {
            const uint32_t t = static_cast<uint32_t>(std::count(ticked.begin(), ticked.end(), true));
            return "main.txa: " + std::to_string(ticked.size()) + " instances, " + std::to_string(t) + " ticked \u2014 " +
                   std::to_string(lines) + " lines";
        };
        auto check = [&](std::string text) {
            return [&, text](window::Window& w) { EXPECT_EQ(w.property(0, prop::StatusText, 1), text); };
        };
        // The counts behind the "Saved" box are those after the removal.
        window::Window* shownOn = nullptr;
        std::string behindSaved;
        boxes.onShow = [&](const window::MessageRequest& r) {
            if (r.caption == "Saved") behindSaved = shownOn->property(0, prop::StatusText, 1);
        };
        testing::WindowScript& script = layer.onOpen(W);
        script.call([&](window::Window& w) { shownOn = &w; })
            .call(check("0 instances, 0 ticked \u2014 0 lines"))
            .type(use::FileName, "main.txa")
            .accept(use::LoadButton)
            .call(check(expected()));
        for (const Step& step : cases[n]) {
            if (step.row) script.newSelection(use::List, step.row);
            const size_t r = static_cast<size_t>(step.row - 1);
            switch (step.op) {
            case 'b': script.accept(use::SelectButton); break;
            case 'e': script.alert(use::List, key::Enter); break;
            case 'd': script.alert(use::List, key::MouseLeft2); break;
            case 's': script.alert(use::List, key::Space); break;
            case 't':
            case 'x':
                script.set(use::List, prop::MouseDownColumn, step.op == 't' ? "1" : "2");
                script.alert(use::List, key::MouseLeft);
                break;
            case 'y':
            case 'n': script.alert(use::List, key::MouseRight); break;
            case 'r': script.accept(use::RemoveButton); break;
            }
            if (std::string_view("besdt").find(step.op) != std::string_view::npos) ticked[r] = !ticked[r];
            if (step.op == 'y' || step.op == 'n') boxes.expect("the instances of: " + rowNames[r], step.op == 'y' ? ButtonYes : ButtonNo);
            if (step.op == 'y') {
                const bool state = ticked[r];
                for (size_t i = 0; i < ticked.size(); ++i)
                    if (rowNames[i] == rowNames[r]) ticked[i] = state;
            }
            if (step.op == 'r') {
                boxes.expect("Remove the selected extensions", ButtonYes).expect("Saved", ButtonOk);
                std::vector<std::string> keptNames;
                std::vector<uint32_t> keptLines;
                for (size_t i = 0; i < ticked.size(); ++i) {
                    if (ticked[i]) {
                        lines -= rowLines[i];
                    } else {
                        keptNames.push_back(rowNames[i]);
                        keptLines.push_back(rowLines[i]);
                    }
                }
                rowNames = keptNames;
                rowLines = keptLines;
                ticked.assign(rowNames.size(), false);
                script.call([&, text = expected()](window::Window&) { EXPECT_EQ(behindSaved, text); });
            }
            script.call(check(expected()));
        }
        p.Run();
        boxes.onShow = nullptr;
        std::string drawn;
        for (bool t : ticked) drawn += t ? 'x' : '.';
        EXPECT_EQ(ticks(p), drawn) << "the model and the list disagree";
    }
}

// A Load and a Remove and Save that take long (a clock that moves 0.6 s at
// every look) show a progress bar in the counts zone that rises while they
// run, and the window paints meanwhile; the counts come back afterwards.
TEST_F(MainWindowTest, LongWorkShowsItsProgressInTheCountsZone) {
    std::string big = "[PROCEDURE]\r\nNAME Main\r\n";
    while (big.size() < 2'600'000) big += std::string(62, 'x') + "\r\n";
    big += "[ADDITION]\r\nNAME Tools Logger\r\n[INSTANCE]\r\n[END]\r\n";
    home.write("big.txa", big);
    static uint64_t now = 0;
    MainProcedure p;
    p.remover.queueTool.MaxBufSize = 65536;
    p.progressTiming.nowMs = [] { return now += 600; };
    auto rising = [](const std::vector<std::string>& shown, size_t from, size_t to) {
        for (size_t i = from + 1; i < to; ++i)
            if (std::stoi(shown[i]) <= std::stoi(shown[i - 1])) return false;
        return to > from + 1;
    };
    size_t afterLoad = 0;
    int paintsAfterLoad = 0;
    boxes.expect("Remove the selected extensions", ButtonYes).expect("Saved", ButtonOk);
    layer.onOpen(W)
        .type(use::FileName, "big.txa")
        .accept(use::LoadButton)
        .call([&](window::Window& w) {
            const testing::ScriptedWindowState& state = layer.last(W);
            afterLoad = state.statusProgress.size();
            paintsAfterLoad = state.paints;
            ASSERT_GE(afterLoad, 3u);
            EXPECT_TRUE(rising(state.statusProgress, 0, afterLoad - 1));
            EXPECT_EQ(state.statusProgress[afterLoad - 2], "100");
            EXPECT_EQ(state.statusProgress[afterLoad - 1], "");
            EXPECT_GE(paintsAfterLoad, static_cast<int>(afterLoad) - 1);
            EXPECT_EQ(w.property(0, prop::StatusText, 1), "big.txa: 1 instances, 0 ticked \u2014 " +
                                                              std::to_string(RECORDS(p.remover.LineQ)) + " lines");
        })
        .accept(use::SelectButton)
        .accept(use::RemoveButton);
    p.Run();
    const testing::ScriptedWindowState& state = layer.last(W);
    ASSERT_GE(state.statusProgress.size(), afterLoad + 2);
    EXPECT_EQ(state.statusProgress.back(), "");
    EXPECT_GT(state.paints, paintsAfterLoad);
    EXPECT_EQ(state.property(0, prop::StatusProgress, 1), "");
    EXPECT_EQ(readFile(home.file("big_.txa")).size(), big.size() - std::string("[ADDITION]\r\nNAME Tools Logger\r\n[INSTANCE]\r\n").size());
    EXPECT_EQ(layer.cursors(), (std::vector<window::Cursor>{window::Cursor::Wait, window::Cursor::Normal,
                                                            window::Cursor::Wait, window::Cursor::Normal}));
}

// Files dropped on the window: the first one's name goes into the entry and
// is loaded as by the Load button; the window accepts drops anywhere.
TEST_F(MainWindowTest, DroppedFilesAreNamedInTheEntryAndLoaded) {
    home.write("main.txa", kSmallTxa);
    home.write("other.txa", "[PROCEDURE]\r\nNAME Other\r\n");
    const int32_t entry = number(use::FileName);
    const int32_t list = number(use::List);
    MainProcedure p;
    layer.onOpen(W)
        .drop({home.file("main.txa"), home.file("other.txa")})
        .call([&](window::Window& w) {
            EXPECT_EQ(w.property(entry, prop::Text), home.file("main.txa"));
            EXPECT_EQ(ticks(p), "...");
            EXPECT_EQ(w.focus(), list);
            EXPECT_EQ(w.choice(list), 1);
            EXPECT_EQ(w.property(0, prop::StatusText, 1), "main.txa: 3 instances, 0 ticked \u2014 13 lines");
        })
        .drop({"other.txa"})
        .call([&](window::Window& w) {
            EXPECT_EQ(w.property(entry, prop::Text), "other.txa");
            EXPECT_EQ(ticks(p), "");
            EXPECT_EQ(w.property(0, prop::StatusText, 1), "other.txa: 0 instances, 0 ticked \u2014 2 lines");
        });
    p.Run();
    EXPECT_EQ(layer.last(W).dropTargets, std::vector<int32_t>{0});
    EXPECT_EQ(p.remover.FileNameTXA, "other.txa");
    EXPECT_EQ(readFile(home.remtxaIni()), "[TXA]\nFileName=other.txa\n");
    EXPECT_EQ(layer.cursors(), (std::vector<window::Cursor>{window::Cursor::Wait, window::Cursor::Normal,
                                                            window::Cursor::Wait, window::Cursor::Normal}));
}

// A dropped name that lists no ordinary file gives the very message Load
// gives for it, and changes the lists no more than Load does.
TEST_F(MainWindowTest, ADroppedNameWithoutAnOrdinaryFileSaysWhatLoadSays) {
    home.write("main.txa", kSmallTxa);
    home.write(".hidden.txa", kSmallTxa);
    std::filesystem::create_directory(home.file("folder.txa"));
    for (const char* name : {"missing.txa", "folder.txa", ".hidden.txa"}) {
        SCOPED_TRACE(name);
        std::vector<window::MessageRequest> shown[2];
        std::string status[2];
        for (int byDrop = 0; byDrop < 2; ++byDrop) {
            testing::ScriptedPresenter answers;
            answers.expect("Error Open", ButtonOk);
            MainProcedure p;
            testing::WindowScript& script = layer.onOpen(W).type(use::FileName, "main.txa").accept(use::LoadButton);
            if (byDrop) {
                script.drop({name});
            } else {
                script.type(use::FileName, name).accept(use::LoadButton);
            }
            script.call([&, byDrop](window::Window& w) {
                EXPECT_EQ(w.property(number(use::FileName), prop::Text), name);
                EXPECT_EQ(ticks(p), "...");
                status[byDrop] = w.property(0, prop::StatusText, 1);
            });
            p.Run();
            answers.verifyDone();
            shown[byDrop] = answers.shown();
        }
        ASSERT_EQ(shown[0].size(), 1u);
        ASSERT_EQ(shown[1].size(), 1u);
        EXPECT_EQ(shown[1][0].text, shown[0][0].text);
        EXPECT_EQ(shown[1][0].caption, "Error Open");
        EXPECT_EQ(shown[1][0].icon, shown[0][0].icon);
        EXPECT_EQ(shown[1][0].buttons, shown[0][0].buttons);
        EXPECT_EQ(status[1], "main.txa: 3 instances, 0 ticked \u2014 13 lines");
        EXPECT_EQ(status[1], status[0]);
    }
}

}  // namespace
}  // namespace varnok::app
