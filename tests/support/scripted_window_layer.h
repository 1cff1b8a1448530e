// ScriptedWindowLayer: the window layer for tests. Windows open by resource
// name from the structure registry (window::registerWindowStructure), keep
// their properties in memory (initialised from the structure) and take their
// events from a script written beforehand, one script per opening:
//
//     ScriptedWindowLayer layer;                     // installs itself
//     layer.onOpen("varnok$varnok001")
//         .type("?TXAFILENAME", "a.txa")             // text typed, then EVENT:Accepted
//         .accept("?IMPORTTXABUTTON")                // EVENT:Accepted
//         .alert("?EXTENSIONQ", window::key::Enter)  // EVENT:AlertKey with the key
//         .newSelection("?EXTENSIONQ", 3)            // row 3 highlighted, EVENT:NewSelection
//         .accept("?LOOKUPFILE").fileDialog("b.txa") // the dialog that handler opens answers "b.txa"
//         .drop({"c.txa"})                         // files dropped on the window: EVENT:Drop
//         .resize(500, 300)                          // the user resizes: EVENT:Sized
//         .call([](window::Window& w) { ... })       // runs in the loop, between two events
//         .close();                                  // EVENT:CloseWindow
//     ...run the window...
//     EXPECT_FALSE(layer.last("varnok$varnok001").ranDry);
//     layer.verifyDone();
//
// Delivery order: EVENT:OpenWindow first; then events posted with post(),
// in posting order, before the next scripted step; a script that runs dry
// delivers EVENT:CloseWindow once and records it (ranDry). A window that
// stays open after that, with nothing posted, fails the test and is closed,
// so no test can hang; so does a window that takes 100000 events (a handler
// that posts an event for every event it gets). defaultAction closes the window on EVENT:CloseWindow
// and EVENT:CloseDown.
//
// A typed text is written into the entry's Text property and its bound
// TextVariable (padded with spaces, cut to its size) just before its
// EVENT:Accepted is delivered. acceptAll copies every bound entry into its
// variable, posts EVENT:Accepted for each visible, enabled entry in tab
// order, then EVENT:Completed; acceptingAll() is true until that
// EVENT:Completed is taken.
//
// Nested windows: a handler that opens another window takes the next script
// queued for that name and runs its loop inside the handler. An opening
// with no script queued runs dry at once (it closes). File dialogs and
// popups are answered by the answer steps that follow the event which led
// to them in the script of the window on top (fileDialog, cancelFileDialog,
// popup), else by the layer's own answers (answerFileDialog, answerPopup);
// an unanswered dialog fails the test and is cancelled. Cursor changes are
// recorded. Message boxes stay with ScriptedPresenter.
//
// Every opening leaves a ScriptedWindowState that outlives the window
// object, so a test can look at properties, delivered events and focus
// after the window manager released its window.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "window/window_layer.h"

namespace varnok::testing {

class ScriptedWindow;

// What one opening of a window did; kept by the layer.
struct ScriptedWindowState {
    std::string resourceName;
    std::string ownerResourceName;  // empty without an owner
    const window::WindowStructure* structure = nullptr;

    bool open = true;
    bool ranDry = false;          // EVENT:CloseWindow came from a dry script
    std::vector<window::Event> delivered;  // every event nextEvent gave out
    std::vector<window::Event> posted;     // every post(), in order
    int32_t focus = 0;
    int displays = 0;             // display() calls
    int paints = 0;               // paintPending() calls
    std::vector<std::string> statusProgress;  // every StatusProgress value set, in order
    int beeps = 0;
    size_t stepsLeft = 0;         // script steps not reached yet
    std::map<int32_t, std::vector<uint32_t>> alerts;  // alert() per control
    std::vector<int32_t> dropTargets;                 // acceptDrops() calls, in order

    // Properties: (control, property, index) -> text.
    std::map<std::tuple<int32_t, int, int32_t>, std::string> properties;

    int32_t control(std::string_view useName) const;
    std::string property(int32_t control, int prop, int32_t index = 0) const;
    int32_t number(int32_t control, int prop, int32_t index = 0) const;
    int32_t number(std::string_view useName, int prop, int32_t index = 0) const;
    // Events delivered with this number (and control, when not 0).
    size_t count(uint16_t event, int32_t control = 0) const;
};

// The steps of one opening's script. Use names are looked up in the
// window's structure when the step is reached; an unknown name fails the
// test.
class WindowScript {
public:
    WindowScript& accept(std::string_view useName);
    WindowScript& type(std::string_view useName, std::string_view text);
    WindowScript& alert(std::string_view useName, uint32_t keyCode);
    WindowScript& newSelection(std::string_view useName, int32_t row);
    WindowScript& selected(std::string_view useName);  // the control gets the focus
    WindowScript& reject(std::string_view useName);
    // Files dropped on the control (empty use name: on the window), then
    // EVENT:Drop with their names; the window must accept drops there.
    WindowScript& drop(std::vector<std::string> files, std::string_view useName = {});
    // Any event; a window event when useName is empty.
    WindowScript& event(uint16_t number, std::string_view useName = {});
    // The user gives the window a new size (kept at least at MinWidth and
    // MinHeight when set), then EVENT:Sized.
    WindowScript& resize(int32_t width, int32_t height);
    WindowScript& close();
    WindowScript& closeDown();
    // Sets a property without an event.
    WindowScript& set(std::string_view useName, int prop, std::string_view value, int32_t index = 0);
    // Runs code inside the loop, between two events.
    WindowScript& call(std::function<void(window::Window&)> code);
    // Answers for the file dialog or popup that the previous event leads to.
    WindowScript& fileDialog(std::string_view chosenName);
    WindowScript& cancelFileDialog();
    WindowScript& popup(int32_t item);

    size_t size() const { return steps_.size(); }

private:
    friend class ScriptedWindow;
    friend class ScriptedWindowLayer;
    enum class Kind { Event, Type, NewSelection, Selected, Resize, Set, Call, FileDialog, Popup };
    struct Step {
        Kind kind = Kind::Event;
        uint16_t event = 0;
        std::string useName;
        std::string text;       // typed text, property value, chosen file name
        int32_t a = 0, b = 0;   // row, width/height, property/index, popup item
        uint32_t keyCode = 0;
        std::vector<std::string> files;  // dropped files
        bool answered = true;   // FileDialog: false when cancelled
        std::function<void(window::Window&)> code;
    };
    WindowScript& add(Step step);
    std::deque<Step> steps_;
};

class ScriptedWindowLayer : public window::WindowLayer {
public:
    ScriptedWindowLayer();            // installs itself as the window layer
    ~ScriptedWindowLayer() override;  // puts the previous layer back

    // The script of the next opening of the name (several calls queue
    // scripts for several openings, in order).
    WindowScript& onOpen(std::string_view resourceName);
    // The next opening of the name fails (open answers nullptr).
    void refuseOpen(std::string_view resourceName);
    // Answers used when the top window's script has none at hand.
    void answerFileDialog(std::string_view chosenName);
    void cancelFileDialog();
    void answerPopup(int32_t item);

    // Every opening, oldest first.
    const std::vector<std::shared_ptr<ScriptedWindowState>>& opened() const { return opened_; }
    // The latest opening of the name; fails the test when there is none
    // (and answers an empty state).
    ScriptedWindowState& last(std::string_view resourceName);
    const std::vector<window::FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
    const std::vector<std::string>& popups() const { return popups_; }
    const std::vector<window::Cursor>& cursors() const { return cursors_; }
    // Fails the test for scripts never used, steps never reached and
    // layer answers never asked for.
    void verifyDone();

    std::unique_ptr<window::Window> open(std::string_view resourceName, window::Window* owner) override;
    bool fileDialog(window::FileDialogRequest& request) override;
    int32_t popup(std::string_view items) override;
    void setCursor(window::Cursor cursor) override;

private:
    friend class ScriptedWindow;
    // The next answer of the kind: the head of the top open window's script
    // when it is one, else the head of the layer's own answers when it is
    // one (taken from there); nothing otherwise.
    std::optional<WindowScript::Step> takeAnswer(WindowScript::Kind kind);

    std::map<std::string, std::deque<std::unique_ptr<WindowScript>>, std::less<>> scripts_;
    std::map<std::string, int, std::less<>> refusals_;
    WindowScript answers_;  // the layer's own answers
    std::vector<std::shared_ptr<ScriptedWindowState>> opened_;
    std::vector<ScriptedWindow*> stack_;  // open windows, newest last
    std::vector<window::FileDialogRequest> fileDialogs_;
    std::vector<std::string> popups_;
    std::vector<window::Cursor> cursors_;
    ScriptedWindowState empty_;
    window::WindowLayer* previous_;
};

}  // namespace varnok::testing
