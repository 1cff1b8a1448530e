// Where Win32 messages become the window core's neutral input: the frame's
// window procedure, the controls' subclass procedure and the accept loop's
// handling of Enter and Esc (preTranslate). What they mean is the core's.
#include "window/events.h"
#include "window/win32/win32_list.h"
#include "window/win32/win32_text.h"
#include "window/win32/win32_window.h"
#include "window/win32/win32_window_layer.h"

#include <shellapi.h>
#include <windowsx.h>

namespace varnok::window::win32 {

namespace {
bool down(int virtualKey) { return GetKeyState(virtualKey) < 0; }

uint32_t mouseModifiers(WPARAM keys) { return alertCode(0, keys & MK_SHIFT, keys & MK_CONTROL, down(VK_MENU)); }
}  // namespace

bool Win32Window::preTranslate(MSG& msg) {
    switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: inputFrom(false); return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: inputFrom(true); break;
    default: return false;
    }
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
    const bool alt = down(VK_MENU) || (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)));
    const uint32_t modifiers = alertCode(0, down(VK_SHIFT), down(VK_CONTROL), alt);
    if (msg.wParam == VK_ESCAPE) {
        escapePressed(modifiers);
    } else {
        enterPressed(controlOf(msg.hwnd), modifiers);
    }
    return true;
}

void Win32Window::dropFiles(int32_t control, HDROP drop) {
    std::vector<std::string> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        DragQueryFileW(drop, i, name.data(), length + 1);
        name.resize(length);
        if (!name.empty()) files.push_back(wideProgram(name));
    }
    DragFinish(drop);
    filesDropped(dropTarget(control), std::move(files));
}

LRESULT CALLBACK Win32Window::frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->frame_ = hwnd;
    } else {
        self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->destroyed();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->frameMessage(message, wParam, lParam);
}

void Win32Window::destroyed() {
    // The window is gone (closed by the program, or with its owner).
    frame_ = nullptr;
    status_ = nullptr;
    for (NativeControl& c : controls_) c.hwnd = nullptr;
    for (HWND& bar : zoneBars_) bar = nullptr;
    if (isOpen()) {
        lostNatively();
        layer_.closed(this);
    }
}

LRESULT Win32Window::frameMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (frameStateMessage(message, wParam, lParam)) return 0;
    switch (message) {
    case WM_CLOSE: closeBoxPressed(); return 0;
    case WM_ACTIVATE: activated(wParam); return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) buttonClicked(static_cast<int32_t>(LOWORD(wParam)) - ControlIdBase);
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        const int32_t control = static_cast<int32_t>(header->idFrom) - ControlIdBase;
        if (listData(control) && header->hwndFrom == hwndOf(control)) return listNotify(control, header);
        break;
    }
    case WM_DROPFILES: dropFiles(0, reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_SETCURSOR:
        if (!layer_.waitCursor()) break;
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    case WM_GETMINMAXINFO: {
        if (!structure().resizable || (minimum_.cx <= 0 && minimum_.cy <= 0) || !frame_) break;
        const SIZE least = frameSizeForClient(minimum_.cx, minimum_.cy);
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = least.cx;
        info->ptMinTrackSize.y = least.cy;
        return 0;
    }
    case DM_GETDEFID: return defaultButton() ? MAKELRESULT(ControlIdBase + defaultButton(), DC_HASDEFID) : 0;
    case WM_NEXTDLGCTL: nextDialogControl(wParam, lParam); return 0;
    default: break;
    }
    return DefWindowProcW(frame_, message, wParam, lParam);
}

// Size, place and state: true when the message was one of them.
bool Win32Window::frameStateMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_MOVE) {
        if (isOpen() && !IsIconic(frame_)) {
            const PixelRect r = nativeFrameRect();
            frameMoved(r.x, r.y);
        }
        return true;
    }
    if (message != WM_SIZE) return false;
    layoutStatus();
    if (!isOpen()) return true;  // being built: showing reports the size
    if (wParam == SIZE_MINIMIZED) {
        frameStateChanged(FrameState::Minimized);
        return true;
    }
    const PixelSize size = nativeClientSize();
    frameSized(size);
    if (wParam == SIZE_MAXIMIZED) frameStateChanged(FrameState::Maximized);
    if (wParam == SIZE_RESTORED) frameStateChanged(FrameState::Normal);
    return true;
}

void Win32Window::activated(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focused = GetFocus();
        if (focused && IsChild(frame_, focused)) lastFocus_ = focused;
        frameActivated(false);
        return;
    }
    frameActivated(true);
    if (HIWORD(wParam)) return;  // minimized
    // The control that had the focus has it again.
    restoringFocus_ = true;
    HWND target = lastFocus_ && IsChild(frame_, lastFocus_) && IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_)
                      ? lastFocus_
                      : GetNextDlgTabItem(frame_, nullptr, FALSE);
    // Without a control that takes the focus, the window keeps the keyboard.
    if (!IsChild(frame_, GetFocus())) SetFocus(target ? target : frame_);
    restoringFocus_ = false;
}

void Win32Window::nextDialogControl(WPARAM wParam, LPARAM lParam) {
    // IsDialogMessageW moves the focus with Tab through this message.
    HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(frame_, GetFocus(), wParam != 0);
    if (!target) return;
    SetFocus(target);
    const int32_t control = controlOf(target);
    if (control && controls_[static_cast<size_t>(control - 1)].kind == ControlKind::Entry)
        SendMessageW(target, EM_SETSEL, 0, -1);
}

LRESULT CALLBACK Win32Window::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, controlProc, id);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    auto* window = reinterpret_cast<Win32Window*>(self);
    bool handled = false;
    const LRESULT result = window->controlMessage(static_cast<int32_t>(id), hwnd, message, wParam, lParam, handled);
    return handled ? result : DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT Win32Window::controlMessage(int32_t control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    bool& handled) {
    if (!isOpen()) return 0;
    const bool isList = listData(control) != nullptr;
    switch (message) {
    case WM_SETFOCUS:
        if (!restoringFocus_) controlFocused(control);
        break;
    case WM_KILLFOCUS:
        // Leaving an entry for another control accepts it; a window that
        // loses the activation keeps what is being typed.
        if (wParam && IsChild(frame_, reinterpret_cast<HWND>(wParam))) entryDone(control);
        break;
    case WM_SIZE:
        if (!isList) break;
        handled = true;
        {
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            listResized(control);
            return result;
        }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (isList) listPress(control, hwnd, message, wParam, lParam, handled);
        else if (message == WM_RBUTTONDOWN) handled = rightPressed(control, mouseModifiers(wParam));
        break;
    case WM_LBUTTONDBLCLK: handled = doubleClicked(control, mouseModifiers(wParam)); break;
    case WM_KEYDOWN:
        // An alerted Space, and the character it makes, are the program's.
        if (wParam == VK_SPACE) spaceTaken_ = handled = spacePressed(control, alertCode(0, down(VK_SHIFT), down(VK_CONTROL), false));
        break;
    case WM_CHAR:
        if (wParam == L' ' && spaceTaken_) handled = true;
        break;
    case WM_LBUTTONUP: {
        RECT r{};
        GetClientRect(hwnd, &r);
        if (PtInRect(&r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) regionClicked(control);
        break;
    }
    case WM_DROPFILES:
        dropFiles(control, reinterpret_cast<HDROP>(wParam));
        handled = true;
        break;
    case WM_NOTIFY:
        if (isList) return headerNotify(control, hwnd, wParam, lParam, handled);
        break;
    default: break;
    }
    return 0;
}

// The list's header: the user resized a column.
LRESULT Win32Window::headerNotify(int32_t control, HWND hwnd, WPARAM wParam, LPARAM lParam, bool& handled) {
    auto* header = reinterpret_cast<NMHEADERW*>(lParam);
    if (programChanging() || (header->hdr.code != HDN_ENDTRACKW && header->hdr.code != HDN_ENDTRACKA) ||
        !header->pitem || !(header->pitem->mask & HDI_WIDTH))
        return 0;
    handled = true;
    const LRESULT result = DefSubclassProc(hwnd, WM_NOTIFY, wParam, lParam);
    columnDragged(control, header->iItem, header->pitem->cxy);
    return result;
}

}  // namespace varnok::window::win32
