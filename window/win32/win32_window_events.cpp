// Where Win32 messages become the window's events (win32_window.h lists
// them): the frame's window procedure, the controls' subclass procedure
// and the accept loop's handling of Enter and Esc (preTranslate).
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

uint32_t mouseAlert(uint32_t base, WPARAM keys) {
    return alertCode(base, keys & MK_SHIFT, keys & MK_CONTROL, down(VK_MENU));
}
}  // namespace

void Win32Window::push(Event event) {
    if (!open_) return;
    queue_.push(std::move(event));
}

bool Win32Window::preTranslate(MSG& msg) {
    switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: keyboardInput_ = false; return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: keyboardInput_ = true; break;
    default: return false;
    }
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
    const bool shift = down(VK_SHIFT), ctrl = down(VK_CONTROL);
    const bool alt = down(VK_MENU) || (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)));
    const int32_t control = controlOf(msg.hwnd);
    if (msg.wParam == VK_ESCAPE) {
        if (!shift && !ctrl && !alt) pressCancelButton();
        return true;
    }
    const uint32_t code = alertCode(key::Enter, shift, ctrl, alt);
    if (control && alerted(control, code)) {
        push({event::AlertKey, control, code});
        return true;
    }
    if (const Control* c = find(control); c && c->spec.kind == ControlKind::Entry) acceptEntry(control);
    if (alerted(0, code)) {
        push({event::AlertKey, 0, code});
        return true;
    }
    pressDefaultButton();
    return true;
}

void Win32Window::acceptEntry(int32_t control) {
    Control* c = find(control);
    if (!c || !c->hwnd || c->spec.kind != ControlKind::Entry || !open_) return;
    if (!SendMessageW(c->hwnd, EM_GETMODIFY, 0, 0) && !c->touched) return;
    writeVariable(*c);
    SendMessageW(c->hwnd, EM_SETMODIFY, FALSE, 0);
    c->touched = false;
    push({event::Accepted, control, 0});
}

bool Win32Window::pressDefaultButton() {
    const Control* c = find(defaultButton_);
    if (!c || !c->hwnd || !IsWindowVisible(c->hwnd) || !IsWindowEnabled(c->hwnd)) return false;
    push({event::Accepted, defaultButton_, 0});
    return true;
}

bool Win32Window::pressCancelButton() {
    for (size_t i = 0; i < controls_.size(); ++i) {
        const Control& c = controls_[i];
        if (c.spec.kind == ControlKind::Button && c.spec.isCancel && c.hwnd && IsWindowVisible(c.hwnd) &&
            IsWindowEnabled(c.hwnd)) {
            push({event::Accepted, static_cast<int32_t>(i + 1), 0});
            return true;
        }
    }
    return false;
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
    if (!files.empty() && !refusesInput()) push({event::Drop, control, 0, std::move(files)});
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
        // The window is gone (closed by the program, or with its owner).
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->frame_ = nullptr;
        self->status_ = nullptr;
        for (Control& c : self->controls_) c.hwnd = nullptr;
        for (HWND& bar : self->zoneBars_) bar = nullptr;
        if (self->open_) {
            self->open_ = false;
            self->queue_.clear();
            self->layer_.closed(self);
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->frameMessage(message, wParam, lParam);
}

LRESULT Win32Window::frameMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        if (!refusesInput()) push({event::CloseWindow, 0, 0});
        return 0;
    case WM_SIZE: {
        layoutStatus();
        if (!open_) return 0;  // being built: showing reports the size
        if (wParam == SIZE_MINIMIZED) {
            if (!wasMinimized_) push({event::Iconized, 0, 0});
            wasMinimized_ = true;
            return 0;
        }
        const RECT client = clientRect();
        const SIZE size{client.right, client.bottom};
        if (size.cx != lastSize_.cx || size.cy != lastSize_.cy) {
            lastSize_ = size;
            push({event::Sized, 0, 0});
        }
        if (wParam == SIZE_MAXIMIZED && !wasMaximized_) {
            push({event::Maximized, 0, 0});
        } else if (wParam == SIZE_RESTORED && (wasMaximized_ || wasMinimized_)) {
            push({event::Restored, 0, 0});
        }
        wasMaximized_ = wParam == SIZE_MAXIMIZED;
        wasMinimized_ = false;
        return 0;
    }
    case WM_MOVE: {
        if (!open_ || IsIconic(frame_)) return 0;
        RECT r{};
        GetWindowRect(frame_, &r);
        if (r.left != lastPos_.x || r.top != lastPos_.y) {
            lastPos_ = POINT{r.left, r.top};
            push({event::Moved, 0, 0});
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focused = GetFocus();
            if (focused && IsChild(frame_, focused)) lastFocus_ = focused;
            push({event::LoseFocus, 0, 0});
        } else {
            push({event::GainFocus, 0, 0});
            if (!HIWORD(wParam)) {  // not minimized: the control that had the focus has it again
                restoringFocus_ = true;
                HWND target = lastFocus_ && IsChild(frame_, lastFocus_) && IsWindowEnabled(lastFocus_) &&
                                      IsWindowVisible(lastFocus_)
                                  ? lastFocus_
                                  : GetNextDlgTabItem(frame_, nullptr, FALSE);
                // Without a control that takes the focus, the window keeps the keyboard.
                if (!IsChild(frame_, GetFocus())) SetFocus(target ? target : frame_);
                restoringFocus_ = false;
            }
        }
        return 0;
    case WM_COMMAND: {
        const int32_t control = static_cast<int32_t>(LOWORD(wParam)) - ControlIdBase;
        const Control* c = find(control);
        if (c && c->spec.kind == ControlKind::Button && HIWORD(wParam) == BN_CLICKED && !refusesInput())
            push({event::Accepted, control, 0});
        return 0;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        const int32_t control = static_cast<int32_t>(header->idFrom) - ControlIdBase;
        if (const Control* c = find(control); c && c->list && header->hwndFrom == c->hwnd)
            return listNotify(control, header);
        break;
    }
    case WM_DROPFILES:
        if (windowDrops_) {
            dropFiles(0, reinterpret_cast<HDROP>(wParam));
        } else {
            DragFinish(reinterpret_cast<HDROP>(wParam));
        }
        return 0;
    case WM_SETCURSOR:
        if (layer_.waitCursor()) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_GETMINMAXINFO:
        if (structure_.resizable && (minWidth_ > 0 || minHeight_ > 0) && frame_) {
            const SIZE least = frameSizeForClient(unitsToPixelsX(minWidth_, base_), unitsToPixelsY(minHeight_, base_));
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = least.cx;
            info->ptMinTrackSize.y = least.cy;
            return 0;
        }
        break;
    case DM_GETDEFID:
        if (defaultButton_) return MAKELRESULT(ControlIdBase + defaultButton_, DC_HASDEFID);
        return 0;
    case WM_NEXTDLGCTL: {
        // IsDialogMessageW moves the focus with Tab through this message.
        HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : GetNextDlgTabItem(frame_, GetFocus(), wParam != 0);
        if (target) {
            SetFocus(target);
            if (controlOf(target) && find(controlOf(target))->spec.kind == ControlKind::Entry)
                SendMessageW(target, EM_SETSEL, 0, -1);
        }
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(frame_, message, wParam, lParam);
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
    Control* c = find(control);
    if (!c || !open_) return 0;
    switch (message) {
    case WM_SETFOCUS:
        if (!restoringFocus_) push({event::Selected, control, 0});
        break;
    case WM_KILLFOCUS:
        // Leaving an entry for another control accepts it; a window that
        // loses the activation keeps what is being typed.
        if (c->spec.kind == ControlKind::Entry && wParam && IsChild(frame_, reinterpret_cast<HWND>(wParam)))
            acceptEntry(control);
        break;
    case WM_SIZE:
        if (c->list) {
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            fitColumns(*c);
            handled = true;
            return result;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        const uint32_t code = mouseAlert(key::MouseRight, wParam);
        if (c->list) {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            LVHITTESTINFO hit{};
            hit.pt = at;
            const int row = static_cast<int>(SendMessageW(hwnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
            const bool onRow = row >= 0 && (hit.flags & LVHT_ONITEM) && row < c->list->rows;
            int column = 0;
            if (HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0))) {
                POINT inHeader = at;
                MapWindowPoints(hwnd, header, &inHeader, 1);
                const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
                for (int i = 0; i < count; ++i) {
                    RECT r{};
                    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
                    if (inHeader.x >= r.left && inHeader.x < r.right) column = i + 1;
                }
            }
            c->list->mouseDownColumn = column;
            c->list->mouseDownRow = onRow ? row + 1 : 0;
            // A press on no row leaves no row highlighted.
            if (!onRow) setListRow(*c, 0);
            if (message == WM_RBUTTONDOWN && alerted(control, code)) {
                // The row under the mouse becomes the highlighted one, as
                // the user's own choice.
                if (onRow) {
                    LVITEMW none{};
                    none.stateMask = LVIS_SELECTED;
                    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
                    LVITEMW state{};
                    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
                }
                SetFocus(hwnd);
                push({event::AlertKey, control, code});
                handled = true;
                return 0;
            }
        } else if (message == WM_RBUTTONDOWN && alerted(control, code)) {
            push({event::AlertKey, control, code});
            handled = true;
            return 0;
        }
        break;
    }
    case WM_LBUTTONDBLCLK: {
        const uint32_t code = mouseAlert(key::MouseLeft2, wParam);
        if (alerted(control, code)) {
            push({event::AlertKey, control, code});
            handled = true;
            return 0;
        }
        break;
    }
    case WM_LBUTTONUP:
        if (c->spec.kind == ControlKind::Region) {
            RECT r{};
            GetClientRect(hwnd, &r);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (PtInRect(&r, at)) push({event::Accepted, control, 0});
        }
        break;
    case WM_DROPFILES:
        if (c->acceptsDrops) {
            dropFiles(control, reinterpret_cast<HDROP>(wParam));
        } else if (windowDrops_) {
            dropFiles(0, reinterpret_cast<HDROP>(wParam));
        } else {
            DragFinish(reinterpret_cast<HDROP>(wParam));
        }
        handled = true;
        return 0;
    case WM_NOTIFY:
        // The list's header: the user resized a column.
        if (c->list && !programmatic_) {
            auto* header = reinterpret_cast<NMHEADERW*>(lParam);
            if ((header->hdr.code == HDN_ENDTRACKW || header->hdr.code == HDN_ENDTRACKA) && header->pitem &&
                (header->pitem->mask & HDI_WIDTH)) {
                const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
                const size_t column = static_cast<size_t>(header->iItem);
                std::vector<ListColumn> columns = c->list->cells.columns();
                if (column < columns.size() && column < c->list->columnPixels.size()) {
                    columns[column].width = pixelsToUnitsX(header->pitem->cxy, base_);
                    c->list->cells.setColumns(std::move(columns));
                    c->list->columnPixels[column] = header->pitem->cxy;
                    c->list->cachedRow = 0;
                    fitColumns(*c);
                    push({event::ColumnResize, control, 0});
                }
                handled = true;
                return result;
            }
        }
        break;
    default: break;
    }
    return 0;
}

}  // namespace varnok::window::win32
