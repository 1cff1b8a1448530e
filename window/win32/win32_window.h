// Win32Window: the native Windows adapter of the window core
// (window/core/window_core.h). It builds the window from its structure as a
// top-level window whose controls are native child windows placed at the
// structure's dialog units, converted with the window's own font
// (window_font_win32.h). Below the controls an optional status bar
// (STATUSCLASSNAMEW) shows the structure's zones; a zone can show a progress
// bar in place of its text.
//
// Controls: group (BS_GROUPBOX), prompt (STATIC), entry (EDIT, its picture
// limits the length), button (the default one BS_DEFPUSHBUTTON), list (a
// virtual list view, win32_list.cpp), region (an invisible window that
// reports clicks), image (STATIC SS_ICON). Control n has the child id
// n + ControlIdBase.
//
// Input: messages become the core's neutral input in one place
// (win32_window_events.cpp); what they mean is the core's. Enter and Esc
// are taken before IsDialogMessageW (preTranslate), which gives Tab, the
// arrows and access keys their usual meaning. Win32's own: the control that
// had the focus has it again when the window is activated.
//
// The accept loop runs a Win32 message loop until the core's queue holds an
// event. A window opened while another is open is owned by it and modal:
// the windows below are disabled (EnableWindow) until it closes, and input
// messages addressed to them are dropped. Xpos and Ypos are the frame's
// top-left corner; Width and Height the client area without the status bar.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "window/core/window_core.h"

namespace varnok::window::win32 {

class Win32WindowLayer;

inline constexpr int ControlIdBase = 100;

class Win32Window : public WindowCore {
public:
    Win32Window(Win32WindowLayer& layer, WindowStructure structure, Win32Window* below);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    void paintPending() override;
    void beep() override;

    // For the layer and tests.
    HWND frame() const { return frame_; }
    HWND controlWindow(int32_t control) const;  // 0: the frame
    HWND statusBar() const { return status_; }
    HWND zoneProgress(int32_t zone) const;
    HFONT font() const { return font_; }
    POINT popupPlace() const;
    // The message loop's handling of one message for this window (keys
    // before IsDialogMessageW); true when it was taken.
    bool preTranslate(MSG& msg);

    // Window procedures (win32_window_events.cpp).
    static LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);

protected:
    // Native verbs (win32_window.cpp, lists in win32_list.cpp).
#include "window/core/native_verbs.inc"

private:
    struct ListView;  // win32_list.h
    struct NativeControl {
        HWND hwnd = nullptr;
        ControlKind kind = ControlKind::Prompt;
        std::shared_ptr<ListView> list;  // lists only
    };

    // Construction and layout (win32_window.cpp).
    void createFrame();
    void createStatusBar();
    void buildControls();
    HWND createControl(const ControlStructure& spec, int32_t number);
    void stackControls();
    RECT controlRect(const ControlStructure& spec) const;
    void layoutStatus();
    int32_t statusHeight() const;
    SIZE frameSizeForClient(int width, int height) const;
    RECT clientRect() const;  // without the status bar
    HWND hwndOf(int32_t control) const;  // 0: the frame
    int32_t controlOf(HWND hwnd) const;
    void reportShownPlace();
    void focusFirstControl();

    // Lists (win32_list.cpp).
    void createList(NativeControl& c, int32_t number);
    void rebuildIconList(int32_t list);
    int32_t listRowHeight(int32_t list) const;
    LRESULT listNotify(int32_t control, NMHDR* header);
    void drawColumnLines(int32_t control, NMLVCUSTOMDRAW* draw);
    void listPress(int32_t control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // Events (win32_window_events.cpp).
    LRESULT frameMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool frameStateMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void activated(WPARAM wParam);
    void nextDialogControl(WPARAM wParam, LPARAM lParam);
    LRESULT controlMessage(int32_t control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT headerNotify(int32_t control, HWND hwnd, WPARAM wParam, LPARAM lParam, bool& handled);
    void dropFiles(int32_t control, HDROP drop);
    void destroyed();

    Win32WindowLayer& layer_;
    HFONT font_ = nullptr;
    HWND frame_ = nullptr;
    HWND status_ = nullptr;
    std::vector<HWND> zoneBars_;  // nullptr until a zone first shows progress
    std::vector<NativeControl> controls_;
    SIZE minimum_{0, 0};  // the client area's least size, pixels
    int pendingShow_ = SW_SHOWNORMAL;  // how the first show shows it
    bool restoringFocus_ = false;
    bool spaceTaken_ = false;  // the last Space went to the program
    HWND lastFocus_ = nullptr;
};

// The alert code of Enter or a mouse action with the modifier keys held.
uint32_t alertCode(uint32_t base, bool shift, bool ctrl, bool alt);

}  // namespace varnok::window::win32
