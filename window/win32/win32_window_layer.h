// Win32WindowLayer: the window layer (window/window_layer.h) on native Win32
// controls. The desktop start (app/startup/desktop_win32.cpp) makes one,
// installs it with setWindowLayer and a Win32MessagePresenter with
// setMessagePresenter, and runs the program:
//
//   Win32WindowLayer layer;           // registers the window classes
//   Win32MessagePresenter boxes;
//   setWindowLayer(&layer);
//   setMessagePresenter(&boxes);
//
// The layer keeps the open windows in the order they opened; the last is
// the top window, the only one that takes input: the others are disabled
// while it is open (win32_window.h). Every accept loop hands its messages
// to dispatch(), which drops input meant for a window below the top one,
// takes Enter and Esc, then lets IsDialogMessageW handle Tab and the other
// dialog keys before translating and dispatching the rest.
//
// The file dialog and the popup menu are the native ones
// (file_dialog_win32.h, popup_menu_win32.h); tests may answer them in the
// user's place.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "window/window_layer.h"

namespace varnok::window::win32 {

class Win32Window;

// Registers the common controls this layer uses (list view, status bar,
// progress bar, tab control); the layer's constructor calls it.
void initCommonControls();

class Win32WindowLayer : public WindowLayer {
public:
    static constexpr const wchar_t* FrameClass = L"VarnokWindow";
    static constexpr const wchar_t* RegionClass = L"VarnokRegion";

    Win32WindowLayer();
    ~Win32WindowLayer() override;

#include "window/core/layer_verbs.inc"

    // Test seams: an answer in the user's place (the request as the dialog
    // would get it; the items and the place of the menu).
    using FileDialogAnswer = std::function<bool(FileDialogRequest&)>;
    using PopupAnswer = std::function<int32_t(std::string_view items, POINT at)>;
    void answerFileDialogs(FileDialogAnswer answer) { fileDialogAnswer_ = std::move(answer); }
    void answerPopups(PopupAnswer answer) { popupAnswer_ = std::move(answer); }

    Win32Window* topWindow() const { return open_.empty() ? nullptr : open_.back(); }
    const std::vector<Win32Window*>& openWindows() const { return open_; }
    bool waitCursor() const { return waitCursor_; }
    void followLists();

    // One message of an accept loop.
    void dispatch(MSG& msg);
    // Handles every message already waiting (tests: what was posted), the
    // way the accept loop would, without waiting for more.
    void dispatchPending();

    // Called by Win32Window.
    void opened(Win32Window* window, bool modal);
    void closed(Win32Window* window);

private:
    Win32Window* windowOf(HWND hwnd) const;
    void enableWindows();

    std::vector<Win32Window*> open_;
    FileDialogAnswer fileDialogAnswer_;
    PopupAnswer popupAnswer_;
    bool waitCursor_ = false;
};

// True for keyboard and mouse messages (the input a window below the top
// one refuses).
bool isInputMessage(UINT message);

}  // namespace varnok::window::win32
