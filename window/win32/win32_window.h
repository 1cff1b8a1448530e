// Win32Window: one open window of the Win32 layer, built from its window
// structure as a top-level window whose controls are native child windows
// placed at the structure's dialog units, converted with the window's own
// font (window_font_win32.h). Below the controls an optional status bar
// (STATUSCLASSNAMEW) shows the structure's zones; a zone can show a
// progress bar in place of its text (prop::StatusProgress).
//
// Controls: group (BS_GROUPBOX), prompt (STATIC), entry (EDIT, its picture
// limits the length), button (the default one BS_DEFPUSHBUTTON), list (a
// virtual list view, win32_list.cpp), region (an invisible window that
// reports clicks), image (STATIC SS_ICON). Control n has the child id
// n + ControlIdBase.
//
// Events. What the user does reaches the program through this window's
// own FIFO queue; nextEvent runs a Win32 message loop until the queue holds
// an event or the window is closed (then it returns false). Messages become
// events in one place (win32_window_events.cpp), with the meanings of the
// Qt layer (window/qt/qt_window.h):
//   BN_CLICKED                    -> EVENT:Accepted on the button
//   entry left after a change (focus to another control), or Enter in it
//   (or unchanged with Touched set) -> the bound variable is written, then EVENT:Accepted
//   the list's selected row moved by the user (LVN_ITEMCHANGED) -> EVENT:NewSelection
//   a press below the rows       -> no row highlighted (no event)
//   alerted keys: right button 2, left double click 5, Enter 13, plus
//   0x100 Shift, 0x200 Ctrl, 0x400 Alt -> EVENT:AlertKey
//   Enter not alerted             -> the default button's EVENT:Accepted
//   Esc                           -> the cancel button's EVENT:Accepted
//   a control gets the focus from another control or the program -> EVENT:Selected
//   WM_DROPFILES on a control or window that accepts drops -> EVENT:Drop
//   the close box (WM_CLOSE)      -> EVENT:CloseWindow; the window stays open
//                                    until defaultAction or close()
//   WM_SIZE -> EVENT:Sized (and Maximized, Iconized, Restored); WM_MOVE -> EVENT:Moved
//   WM_ACTIVATE                   -> EVENT:GainFocus, LoseFocus
//   opened                        -> EVENT:OpenWindow, before all of these
// Enter and Esc are taken before IsDialogMessageW, which gives Tab, the
// arrows and access keys their usual meaning.
//
// Nesting: a window opened while another is open is owned by it and modal:
// the windows below are disabled (EnableWindow) until it closes, and input
// messages addressed to them are dropped; only the top window's loop runs.
//
// Showing: the window appears when its accept loop first asks for an
// event; a window opened over another and given no place is centred over
// it. Xpos and Ypos are the frame's top-left corner; Width and Height the
// client area without the status bar.
#pragma once
// Before windows.h, whose DELETE macro would replace the queue's DELETE.
#include "window/window_layer.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "window/dialog_units.h"
#include "window/event_queue.h"
#include "window/list_cells.h"
#include "window/window_layer.h"

namespace varnok::window::win32 {

class Win32WindowLayer;

inline constexpr int ControlIdBase = 100;

class Win32Window : public Window {
public:
    Win32Window(Win32WindowLayer& layer, WindowStructure structure, Win32Window* below);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

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
    void paintPending() override;
    void select(int32_t control, int32_t row = 0) override;
    int32_t focus() const override;
    int32_t choice(int32_t control) const override;
    void alert(int32_t control, uint32_t keyCode) override;
    void acceptDrops(int32_t control) override;
    void acceptAll() override;
    bool acceptingAll() const override { return queue_.acceptingAll(); }
    void beep() override;

    // For the layer and tests.
    HWND frame() const { return frame_; }
    HWND controlWindow(int32_t control) const;  // 0: the frame
    HWND statusBar() const { return status_; }
    HWND zoneProgress(int32_t zone) const;
    HFONT font() const { return font_; }
    const DialogBase& base() const { return base_; }
    size_t queuedEvents() const { return queue_.size(); }
    void showOnce();
    POINT popupPlace() const;
    void followLists();
    bool refusesInput() const;
    // The message loop's handling of one message for this window (keys
    // before IsDialogMessageW); true when it was taken.
    bool preTranslate(MSG& msg);

    // Window procedures (win32_window_events.cpp).
    static LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);

private:
    struct ListState;
    struct Control {
        ControlStructure spec;
        HWND hwnd = nullptr;
        TextVariable variable;
        std::string shown;
        bool touched = false;
        std::string picture;
        std::string icon;
        std::vector<uint32_t> alerts;
        bool acceptsDrops = false;
        std::shared_ptr<ListState> list;  // lists only
    };

    // Construction and layout (win32_window.cpp).
    void createFrame();
    void createStatusBar();
    void buildControls();
    RECT controlRect(const ControlStructure& spec) const;
    void layoutStatus();
    int32_t statusHeight() const;
    SIZE frameSizeForClient(int width, int height) const;
    RECT clientRect() const;  // without the status bar
    Control* find(int32_t control);
    const Control* find(int32_t control) const;
    int32_t controlOf(HWND hwnd) const;
    void writeVariable(Control& c);
    void showVariable(Control& c);
    std::string controlText(HWND hwnd) const;
    void setControlText(HWND hwnd, std::string_view text);

    // Lists (win32_list.cpp).
    void createList(Control& c);
    void applyListColumns(Control& c);
    void fitColumns(Control& c);
    void rebuildIconList(Control& c);
    void setListRow(Control& c, int32_t row);  // no NewSelection
    int32_t highlightedRow(const Control& c) const;
    void refreshList(Control& c, bool onlyWhenChanged);
    int32_t listRowHeight(const Control& c) const;
    int32_t listItems(const Control& c) const;
    void setListItems(Control& c, int32_t items);
    LRESULT listNotify(int32_t control, NMHDR* header);
    std::string listProperty(const Control& c, int prop, int32_t index) const;
    bool setListProperty(Control& c, int prop, std::string_view value, int32_t index);

    // Events (win32_window_events.cpp).
    void push(Event event);
    LRESULT frameMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT controlMessage(int32_t control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    void acceptEntry(int32_t control);
    bool pressDefaultButton();
    bool pressCancelButton();
    bool alerted(int32_t control, uint32_t keyCode) const;
    void dropFiles(int32_t control, HDROP drop);

    // Properties (win32_window_properties.cpp).
    std::string windowProperty(int prop, int32_t index) const;
    void setWindowProperty(int prop, std::string_view value, int32_t index);
    void resizeClient(int width, int height);
    void showZoneProgress(size_t zone, int32_t percent);

    Win32WindowLayer& layer_;
    WindowStructure structure_;
    HFONT font_ = nullptr;
    DialogBase base_;
    HWND frame_ = nullptr;
    HWND status_ = nullptr;
    std::vector<std::string> zoneTexts_;
    std::vector<HWND> zoneBars_;  // nullptr until a zone first shows progress
    std::vector<int32_t> zonePercent_;  // -1: the zone shows its text
    std::vector<Control> controls_;
    std::vector<uint32_t> windowAlerts_;
    bool windowDrops_ = false;
    std::string icon_;
    int32_t minWidth_ = 0, minHeight_ = 0;
    int defaultButton_ = 0;  // control number, 0 none

    EventQueue queue_;
    bool open_ = false;
    bool showPending_ = true;
    int pendingShow_ = SW_SHOWNORMAL;  // how the first show shows it
    bool placed_ = false;
    Win32Window* below_ = nullptr;
    bool programmatic_ = false;
    bool restoringFocus_ = false;
    bool keyboardInput_ = false;
    HWND lastFocus_ = nullptr;
    SIZE lastSize_{-1, -1};
    POINT lastPos_{INT32_MIN, INT32_MIN};
    bool wasMaximized_ = false, wasMinimized_ = false;
};

// The alert code of Enter or a mouse action with the modifier keys held.
uint32_t alertCode(uint32_t base, bool shift, bool ctrl, bool alt);
// The length an entry's picture allows (255 without a valid picture).
int entryLength(const std::string& picture);

}  // namespace varnok::window::win32
