// WindowCore: one open window's behaviour, written once for every toolkit.
// It implements the Window interface (window/window_layer.h) and owns what a
// window means: its controls' bound variables and when they are read and
// written, alerted keys and the row a command acts on, which button Enter
// and Esc press, the focus rules, every property's meaning and round trip,
// the status zones and their progress bars, the list's rows and columns, and
// the queue of posted events.
//
// A toolkit layer derives an adapter from it (window/qt/QtWindow,
// window/win32/Win32Window) that does two things and decides nothing:
//   - carries out the native verbs below (make and place controls, read and
//     write their text, check, selection, column widths, run the native
//     loop until input arrives), and
//   - turns native input into the neutral input calls below (a button was
//     clicked, Enter was pressed on a control, the list was pressed at a
//     row), in the order the desktop delivers it.
//
// Life: the adapter's constructor builds its native window and controls
// from structure(), then calls opened(), which lays out the lists' columns
// and posts EVENT:OpenWindow. Places and sizes cross the verbs in pixels
// (controls in client coordinates, the frame in screen coordinates); the
// core converts dialog units with base().
//
// Changes the program makes (a row highlighted, a column width set) reach
// the adapter inside a ProgramChange; input the adapter reports meanwhile
// is the program's own doing and posts no NewSelection or ColumnResize.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "window/core/list_data.h"
#include "window/dialog_units.h"
#include "window/event_queue.h"
#include "window/window_layer.h"

namespace varnok::window {

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};
struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};
enum class FrameState { Normal, Maximized, Minimized };
enum class MouseButton { Left, Right, Other };

// The length an entry's picture lets the user type (255 without a valid
// picture).
int entryLength(const std::string& picture);

class WindowCore : public Window {
public:
    explicit WindowCore(WindowStructure structure);
    ~WindowCore() override = default;

    // Window.
    const WindowStructure& structure() const override { return structure_; }
    bool nextEvent(Event& event) override;
    void defaultAction(const Event& event) override;
    void post(uint16_t event, int32_t control = 0) override;
    void close() override;
    bool isOpen() const override { return open_; }
    std::string property(int32_t control, int prop, int32_t index = 0) const override;
    void setProperty(int32_t control, int prop, std::string_view value, int32_t index = 0) override;
    using Window::setProperty;
    void bindText(int32_t control, TextVariable variable) override;
    void bindList(int32_t control, ListSource* source) override;
    void display(int32_t control = 0) override;
    void update(int32_t control = 0) override;
    void select(int32_t control, int32_t row = 0) override;
    int32_t focus() const override { return nativeFocus(); }
    int32_t choice(int32_t control) const override;
    void alert(int32_t control, uint32_t keyCode) override;
    void acceptDrops(int32_t control) override;
    void acceptAll() override;
    bool acceptingAll() const override { return queue_.acceptingAll(); }

    // For the layer and tests.
    const DialogBase& base() const { return base_; }
    size_t queuedEvents() const { return queue_.size(); }
    // Shows the window the first time the accept loop asks for an event
    // (or the program un-hides it): what the program set up before (its
    // place, its size) is how it is first shown.
    void showOnce();
    // Redraws the lists whose source changed (after every event).
    void followLists();
    // Input reaches a window only while it is the top open window.
    bool refusesInput() const { return !open_ || !isTopWindow(); }
    // The last input came from the keyboard (a popup opens below the
    // focused control then), not the mouse.
    bool keyboardInput() const { return keyboardInput_; }
    // The list's rows and columns (nullptr for another control).
    ListData* listData(int32_t control);

protected:
    void setBase(const DialogBase& base) { base_ = base; }
    void opened();
    // Whether the window was given a place (its structure or the program).
    bool placed() const { return placed_; }
    bool showPending() const { return showPending_; }
    // The window opened over (its owner or the top window then).
    WindowCore* below() const { return below_; }
    void setBelow(WindowCore* below) { below_ = below; }

    // A change the program makes: input the adapter reports meanwhile
    // posts no NewSelection or ColumnResize.
    class ProgramChange {
    public:
        explicit ProgramChange(WindowCore& core) : core_(core), was_(core.programChange_) { core.programChange_ = true; }
        ~ProgramChange() { core_.programChange_ = was_; }
        ProgramChange(const ProgramChange&) = delete;
        ProgramChange& operator=(const ProgramChange&) = delete;

    private:
        WindowCore& core_;
        bool was_;
    };
    bool programChanging() const { return programChange_; }
    int32_t defaultButton() const { return defaultButton_; }
    // What status zone `zone` (1-based) shows: its text, or a progress bar
    // at `percent` when that is not negative.
    const std::string& zoneText(int32_t zone) const { return zones_[static_cast<size_t>(zone - 1)].text; }
    int32_t zonePercent(int32_t zone) const { return zones_[static_cast<size_t>(zone - 1)].percent; }

    // Neutral input, reported by the adapter. Those returning bool return
    // true when the input was taken (the toolkit must not act on it too).
    void inputFrom(bool keyboard) { keyboardInput_ = keyboard; }
    void buttonClicked(int32_t control);
    void regionClicked(int32_t control);
    // An entry was left for another control, or Enter pressed in it.
    void entryDone(int32_t control);
    // Enter with modifier bits (key::Shift, Ctrl, Alt) on a control (0 the
    // window): an alert, else the entry accepted and the window's alert or
    // its default button.
    bool enterPressed(int32_t control, uint32_t modifiers);
    bool escapePressed(uint32_t modifiers);
    // Space on a control: its alert when it has one.
    bool spacePressed(int32_t control, uint32_t modifiers);
    // A mouse press on a list at a 1-based column and row (0: none there).
    // An alerted left press on a row highlights it and reaches the program
    // too, the list keeping its own handling of the press.
    bool listPressed(int32_t control, MouseButton button, int32_t column, int32_t row, uint32_t modifiers);
    bool rightPressed(int32_t control, uint32_t modifiers);
    bool doubleClicked(int32_t control, uint32_t modifiers);
    void controlFocused(int32_t control);
    // The list's highlighted row moved (the program's changes are filtered).
    void listRowMoved(int32_t control);
    // The user dragged a column's edge to `pixels` wide (0-based column).
    void columnDragged(int32_t control, int column, int pixels);
    void listResized(int32_t control);
    // Where dropped files go: the control when it accepts drops, else the
    // window when it does (0); -1 refuses them.
    int32_t dropTarget(int32_t control) const;
    void filesDropped(int32_t target, std::vector<std::string> files);
    void closeBoxPressed();
    void frameSized(PixelSize size);
    void frameMoved(int x, int y);
    void frameStateChanged(FrameState state);
    void frameActivated(bool active);
    // The window is gone without close() (destroyed with its owner).
    void lostNatively();

    // Native verbs: control 0 is the window itself where it says so.
    virtual bool isTopWindow() const = 0;
    virtual void followAllLists() = 0;  // every open window of the layer
    // Runs the native loop until input may have arrived; false when the
    // loop cannot go on (the desktop ended it).
    virtual bool waitForInput() = 0;
    virtual void wakeUp() = 0;  // an event was posted while waiting
    virtual void showNative() = 0;
    virtual void closeNative() = 0;
    virtual bool nativeAlive() const = 0;  // the native window exists
    virtual void repaintNative() = 0;
    virtual PixelRect nativeFrameRect() const = 0;  // screen, with the title bar
    virtual void moveNativeFrame(int x, int y) = 0;
    virtual PixelSize nativeClientSize() const = 0;  // without the status bar
    virtual void resizeNativeClient(int width, int height) = 0;
    virtual void setNativeMinimumSize(int width, int height) = 0;
    virtual FrameState nativeFrameState() const = 0;
    virtual void setNativeFrameState(FrameState state, bool set) = 0;
    virtual void showNativeZone(int32_t zone, const std::string& text, int32_t percent) = 0;  // -1: the text
    virtual std::string nativeText(int32_t control) const = 0;  // 0: the title
    // Sets a control's text (an entry's counts as unmodified after).
    virtual void setNativeText(int32_t control, std::string_view text) = 0;
    virtual int nativeNaturalWidth(int32_t control) const = 0;  // of its text now
    virtual bool nativeModified(int32_t control) const = 0;     // an entry typed in
    virtual void clearNativeModified(int32_t control) = 0;
    virtual void setNativeEntryLength(int32_t control, int length) = 0;
    virtual PixelRect nativeRect(int32_t control) const = 0;  // client coordinates
    virtual void setNativeRect(int32_t control, const PixelRect& rect) = 0;
    virtual bool nativeHidden(int32_t control) const = 0;
    virtual void setNativeHidden(int32_t control, bool hidden) = 0;
    virtual bool nativeDisabled(int32_t control) const = 0;
    virtual void setNativeDisabled(int32_t control, bool disabled) = 0;
    virtual void setNativeIcon(int32_t control, const std::string& icon) = 0;
    virtual void setNativeDefault(int32_t button, bool isDefault) = 0;
    virtual void enableNativeDrops(int32_t control) = 0;
    virtual bool nativeTakesFocus(int32_t control) const = 0;  // focusable, shown, enabled
    virtual void setNativeFocus(int32_t control) = 0;
    virtual int32_t nativeFocus() const = 0;
    // Lists.
    virtual void applyNativeColumns(int32_t list) = 0;  // headers, alignment, icons
    virtual int nativeDefaultColumnWidth(int32_t list) const = 0;
    struct ListWidths {
        int list = 0;  // inside the frame
        int view = 0;  // left to the rows beside the vertical scroll bar
        bool mayShrink = true;
    };
    virtual ListWidths nativeListWidths(int32_t list) const = 0;
    virtual void setNativeHorizontalBar(int32_t list, bool allowed) = 0;
    virtual void setNativeColumnWidths(int32_t list, const std::vector<int>& widths) = 0;
    virtual void setNativeRowCount(int32_t list) = 0;  // ListData::rows changed
    virtual void redrawNativeList(int32_t list) = 0;
    virtual int32_t nativeListRow(int32_t list) const = 0;  // highlighted, 0 none
    virtual void setNativeListRow(int32_t list, int32_t row) = 0;
    virtual int32_t nativeListItems(int32_t list) const = 0;
    virtual void setNativeListItems(int32_t list, int32_t items) = 0;
    virtual int nativeLineHeight(int32_t list) const = 0;
    virtual void setNativeLineHeight(int32_t list, int pixels) = 0;
    virtual void applyNativeIcons(int32_t list) = 0;  // ListData::iconNames changed

private:
    struct Control {
        ControlStructure spec;
        TextVariable variable;
        std::string shown;  // the variable's value the entry last showed
        bool touched = false;
        std::string picture;
        std::string icon;
        std::vector<uint32_t> alerts;
        bool acceptsDrops = false;
        std::unique_ptr<ListData> list;  // lists only
    };
    struct Zone {
        std::string text;
        int32_t percent = -1;  // a progress bar in place of the text when >= 0
    };

    Control* find(int32_t control);
    const Control* find(int32_t control) const;
    int32_t numberOf(const Control& c) const { return static_cast<int32_t>(&c - controls_.data() + 1); }
    void push(Event event);
    void showVariable(Control& c);
    void writeVariable(Control& c);
    bool alerted(int32_t control, uint32_t keyCode) const;
    bool pressDefaultButton();
    bool pressCancelButton();
    void layOutColumns(Control& c);
    void fitColumns(Control& c);
    void refreshList(Control& c, bool onlyWhenChanged);
    void setListRow(Control& c, int32_t row);

    // Properties (window_core_properties.cpp).
    std::string windowProperty(int prop, int32_t index) const;
    std::string controlProperty(const Control& c, int prop) const;
    std::string listProperty(const Control& c, int prop, int32_t index) const;
    void setWindowProperty(int prop, std::string_view value, int32_t index);
    void setWindowPlace(int prop, int32_t number);
    void setFrameFlag(int prop, bool set);
    void setZone(int prop, std::string_view value, int32_t index);
    void setControlProperty(Control& c, int prop, std::string_view value);
    void setControlPlace(Control& c, int prop, int32_t number);
    void setControlText(Control& c, std::string_view value);
    void setDefaultButton(Control& c, bool set);
    bool setListProperty(Control& c, int prop, std::string_view value, int32_t index);

    WindowStructure structure_;
    DialogBase base_;
    std::vector<Control> controls_;
    std::vector<uint32_t> windowAlerts_;
    bool windowDrops_ = false;
    std::vector<Zone> zones_;
    std::string icon_;
    int32_t minWidth_ = 0, minHeight_ = 0;  // dialog units
    int32_t defaultButton_ = 0;             // control number, 0 none
    EventQueue queue_;
    WindowCore* below_ = nullptr;
    bool open_ = false;
    bool showPending_ = true;
    bool placed_ = false;
    bool programChange_ = false;
    bool keyboardInput_ = false;
    bool active_ = false;
    PixelSize lastSize_{-1, -1};
    int lastX_ = INT32_MIN, lastY_ = INT32_MIN;
    FrameState lastState_ = FrameState::Normal;
};

}  // namespace varnok::window
