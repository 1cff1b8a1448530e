// The window layer: what the framework and the application need of windows,
// stated once. Two implementations: the Qt one (window/qt/) in the desktop
// program, and a scripted one in the tests (tests/support/), which feeds
// events from a script and keeps properties in memory.
//
// The accept loop is a pull loop, one per open window:
//
//   while (window.nextEvent(event)) {
//       uint8_t level = handle(event);          // the program's handler
//       if (level == 3) break;                  // end the loop
//       if (level != 5) window.defaultAction(event);
//   }
//
// nextEvent waits until the window's own event queue holds an event (the Qt
// layer runs a nested event loop meanwhile); it returns false once the
// window is closed. Nested windows: a handler that opens a window runs that
// window's loop to its end before it returns; the window below receives no
// events meanwhile (its input waits or is refused, as with a modal window).
//
// The first event of a newly opened window is EVENT:OpenWindow. Events
// posted with post() are delivered before input that arrives later, in the
// order posted. Field events carry their control's number; EVENT:AlertKey
// carries the key code (window/events.h key::) of an alerted key.
//
// Files dropped on a window that accepts drops (acceptDrops) arrive as
// EVENT:Drop carrying their names, on the control that accepts them (0: the
// window as a whole, wherever on it they were dropped).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window/list_source.h"
#include "window/properties.h"
#include "window/window_structure.h"

namespace varnok::window {

// Property values travel as text. A flag is "1" when set and "" when clear;
// any text but "" and "0" reads as set. A number is decimal, read after
// leading spaces and a '+'.
inline std::string flagPropertyText(bool set) { return set ? "1" : ""; }
inline bool propertyTextIsSet(std::string_view text) { return !text.empty() && text != "0"; }
int32_t propertyTextNumber(std::string_view text);

struct Event {
    Event() = default;
    Event(uint16_t number, int32_t control, uint32_t keyCode, std::vector<std::string> files = {})
        : number(number), control(control), keyCode(keyCode), files(std::move(files)) {}

    uint16_t number = 0;   // window/events.h
    int32_t control = 0;   // 0 for window events
    uint32_t keyCode = 0;  // EVENT:AlertKey: the key code; else 0
    // EVENT:Drop: the dropped files' names (UTF-8), in the order the
    // desktop gave them; never empty for a drop. Else empty.
    std::vector<std::string> files;
};

// A fixed-length text variable (STRING(n)): `size` bytes padded with spaces.
// An entry bound to it shows its text without trailing spaces and, when its
// contents are accepted, writes them back padded (cut to `size`).
struct TextVariable {
    char* data = nullptr;
    size_t size = 0;
};

enum class Cursor { Normal, Wait };

// One open window. Control numbers are those of its structure; 0 is the
// window itself.
class Window {
public:
    virtual ~Window() = default;

    virtual const WindowStructure& structure() const = 0;
    int32_t control(std::string_view useName) const { return structure().controlNumber(useName); }

    // The accept loop.
    virtual bool nextEvent(Event& event) = 0;
    // The layer's own processing of an event after the program's handler:
    // EVENT:CloseWindow and EVENT:CloseDown close the window (nextEvent
    // then returns false); the others need none here.
    virtual void defaultAction(const Event& event) = 0;
    virtual void post(uint16_t event, int32_t control = 0) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Properties (window/properties.h).
    virtual std::string property(int32_t control, int prop, int32_t index = 0) const = 0;
    virtual void setProperty(int32_t control, int prop, std::string_view value, int32_t index = 0) = 0;
    int32_t propertyNumber(int32_t control, int prop, int32_t index = 0) const;
    bool propertyFlag(int32_t control, int prop, int32_t index = 0) const;
    void setProperty(int32_t control, int prop, int32_t value, int32_t index = 0);

    // Binding program data to controls.
    virtual void bindText(int32_t control, TextVariable variable) = 0;
    // The list shows the source's rows (not owned; it must outlive the
    // window or be unbound with nullptr).
    virtual void bindList(int32_t control, ListSource* source) = 0;

    // Shows bound variables in their controls (control 0: all of them) and
    // repaints; lists re-read what they show.
    virtual void display(int32_t control = 0) = 0;
    // Lets the desktop draw what is waiting to be drawn (changed controls,
    // uncovered parts of the window) while the program works on this
    // thread: long work calls it now and then so the window keeps
    // repainting. Input (keys, mouse) and the program's events wait until
    // the work ends and the accept loop asks for them.
    virtual void paintPending() = 0;
    // Copies controls' contents into their bound variables (0: all).
    virtual void update(int32_t control = 0) = 0;
    // Gives a control the focus; for a list, row > 0 also highlights that row.
    virtual void select(int32_t control, int32_t row = 0) = 0;
    // The control that has the focus, 0 none.
    virtual int32_t focus() const = 0;
    // The highlighted row of a list, 0 none.
    virtual int32_t choice(int32_t control) const = 0;
    // Makes `keyCode` reach the program as EVENT:AlertKey on the control.
    virtual void alert(int32_t control, uint32_t keyCode) = 0;
    // Lets files be dropped on the control (0: anywhere on the window); each
    // drop reaches the program as one EVENT:Drop on it with the files'
    // names. A drop that holds no local file is refused.
    virtual void acceptDrops(int32_t control) = 0;

    // Validates every field (the accept-all state), which ends in
    // EVENT:Completed being posted; acceptingAll() is true meanwhile.
    virtual void acceptAll() = 0;
    virtual bool acceptingAll() const = 0;
    virtual void beep() = 0;
};

// The file dialog's flags (FileDialogRequest::flags), the bits the file
// selector's Flags field holds.
namespace fileflag {
inline constexpr unsigned Save = 1;
inline constexpr unsigned NoOverwritePrompt = 4;
inline constexpr unsigned MultiSelect = 8;
inline constexpr unsigned Explorer = 16;
inline constexpr unsigned Folder = 32;
}  // namespace fileflag

struct FileDialogRequest {
    std::string title;
    std::string name;   // in: the name the dialog starts with; out: the chosen name
    std::string masks;  // "TXA Files|*.txa|All Files|*.*"
    unsigned flags = 0; // fileflag bits
};

class WindowLayer {
public:
    WindowLayer() = default;
    virtual ~WindowLayer() = default;
    // A layer keeps its open windows, which point back at it.
    WindowLayer(const WindowLayer&) = delete;
    WindowLayer& operator=(const WindowLayer&) = delete;
    // Opens the window registered under the name, owned by `owner` when
    // given; nullptr when no structure has the name or no window can be
    // shown.
    virtual std::unique_ptr<Window> open(std::string_view resourceName, Window* owner) = 0;
    // Runs the file dialog; true with the chosen name in request.name, false
    // when cancelled (request.name unchanged).
    virtual bool fileDialog(FileDialogRequest& request) = 0;
    // A popup menu of items separated by "|", at the mouse (below the control
    // that has the focus when the command came from the keyboard): the
    // chosen item's number (1-based), 0 when nothing was chosen.
    virtual int32_t popup(std::string_view items) = 0;
    virtual void setCursor(Cursor cursor) = 0;
};

// The current layer; a headless one (opens no windows, cancels dialogs and
// popups) until one is installed.
WindowLayer& windowLayer();
// Installs a layer (not owned) and returns the previous one; nullptr goes
// back to the headless layer.
WindowLayer* setWindowLayer(WindowLayer* layer);

}  // namespace varnok::window
