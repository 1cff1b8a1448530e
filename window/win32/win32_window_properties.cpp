// Properties of a Win32Window and its controls, read and written by number
// (window/properties.h). Positions and sizes travel in dialog units of the
// window's font; a window's size is its client area without the status
// bar, its place the frame's top-left corner.
#include <algorithm>

#include "window/win32/icons_win32.h"
#include "window/win32/win32_list.h"
#include "window/win32/win32_text.h"
#include "window/win32/win32_window.h"
#include "window/win32/window_font_win32.h"

namespace varnok::window::win32 {

namespace {
std::string numberText(int32_t value) { return std::to_string(value); }

// A control's rectangle in its window's client coordinates.
RECT childRect(HWND child, HWND parent) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool shown(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
}  // namespace

std::string Win32Window::property(int32_t control, int prop, int32_t index) const {
    if (!frame_) return std::string();
    if (control == 0) return windowProperty(prop, index);
    const Control* c = find(control);
    if (!c || !c->hwnd) return std::string();
    if (c->list) {
        std::string value = listProperty(*c, prop, index);
        if (!value.empty() || prop >= prop::Format) return value;
    }
    // A control's place and size are its edges in units (as placed).
    const RECT r = childRect(c->hwnd, frame_);
    switch (prop) {
    case prop::Xpos: return numberText(pixelsToUnitsX(r.left, base_));
    case prop::Ypos: return numberText(pixelsToUnitsY(r.top, base_));
    case prop::Width: return numberText(pixelsToUnitsX(r.right - r.left, base_));
    case prop::Height: return numberText(pixelsToUnitsY(r.bottom - r.top, base_));
    case prop::Type: return numberText(static_cast<int32_t>(c->spec.kind));
    case prop::Text:
        switch (c->spec.kind) {
        case ControlKind::Prompt:
        case ControlKind::Entry:
        case ControlKind::Button:
        case ControlKind::Group: return controlText(c->hwnd);
        default: return std::string();
        }
    case prop::Hide: return flagPropertyText(!shown(c->hwnd));
    case prop::Disable: return flagPropertyText(!IsWindowEnabled(c->hwnd));
    case prop::Icon: return c->icon;
    case prop::Default: return flagPropertyText(c->spec.kind == ControlKind::Button && defaultButton_ == control);
    case prop::Touched: return flagPropertyText(c->touched);
    case prop::Picture: return c->picture;
    default: return std::string();
    }
}

std::string Win32Window::windowProperty(int prop, int32_t index) const {
    RECT frame{};
    GetWindowRect(frame_, &frame);
    const RECT client = clientRect();
    switch (prop) {
    case prop::Xpos: return numberText(pixelsToUnitsX(frame.left, base_));
    case prop::Ypos: return numberText(pixelsToUnitsY(frame.top, base_));
    case prop::Width: return numberText(pixelsToUnitsX(client.right - client.left, base_));
    case prop::Height: return numberText(pixelsToUnitsY(client.bottom - client.top, base_));
    case prop::Maximize: return flagPropertyText(showPending_ ? pendingShow_ == SW_MAXIMIZE : IsZoomed(frame_) != 0);
    case prop::Iconize: return flagPropertyText(showPending_ ? pendingShow_ == SW_MINIMIZE : IsIconic(frame_) != 0);
    case prop::Resize: return flagPropertyText(structure_.resizable);
    case prop::Text: return controlText(frame_);
    case prop::Hide: return flagPropertyText(!showPending_ && !shown(frame_));
    case prop::Disable: return flagPropertyText(!IsWindowEnabled(frame_));
    case prop::Icon: return icon_;
    case prop::MinWidth: return numberText(minWidth_);
    case prop::MinHeight: return numberText(minHeight_);
    case prop::StatusText:
        if (index >= 1 && static_cast<size_t>(index) <= zoneTexts_.size()) return zoneTexts_[static_cast<size_t>(index - 1)];
        return std::string();
    case prop::StatusProgress:
        if (index >= 1 && static_cast<size_t>(index) <= zonePercent_.size() && zonePercent_[static_cast<size_t>(index - 1)] >= 0)
            return numberText(zonePercent_[static_cast<size_t>(index - 1)]);
        return std::string();
    default: return std::string();
    }
}

void Win32Window::setProperty(int32_t control, int prop, std::string_view value, int32_t index) {
    if (!frame_) return;
    if (control == 0) {
        setWindowProperty(prop, value, index);
        return;
    }
    Control* c = find(control);
    if (!c || !c->hwnd) return;
    if (c->list && setListProperty(*c, prop, value, index)) return;
    HWND w = c->hwnd;
    const int32_t number = propertyTextNumber(value);
    const RECT r = childRect(w, frame_);
    auto place = [&](int x, int y, int width, int height) {
        SetWindowPos(w, nullptr, x, y, std::max(0, width), std::max(0, height), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    // Moved, a control keeps its size in units; resized, its left and top.
    const int32_t x = pixelsToUnitsX(r.left, base_), y = pixelsToUnitsY(r.top, base_);
    const int32_t width = pixelsToUnitsX(r.right - r.left, base_), height = pixelsToUnitsY(r.bottom - r.top, base_);
    // Place and size each converted on their own, as the control was made.
    auto edges = [&](int32_t left, int32_t top, int32_t w, int32_t h) {
        place(unitsToPixelsX(left, base_), unitsToPixelsY(top, base_), unitsToPixelsX(std::max(0, w), base_),
              unitsToPixelsY(std::max(0, h), base_));
    };
    switch (prop) {
    case prop::Xpos: edges(number, y, width, height); break;
    case prop::Ypos: edges(x, number, width, height); break;
    case prop::Width: edges(x, y, number, height); break;
    case prop::Height: edges(x, y, width, number); break;
    case prop::Text:
        switch (c->spec.kind) {
        case ControlKind::Prompt:
            setControlText(w, value);
            // A prompt of natural width keeps fitting its text.
            if (c->spec.width == NoValue)
                place(r.left, r.top, textExtent(font_, programWide(value)).cx, r.bottom - r.top);
            break;
        case ControlKind::Entry: {
            const bool wasProgrammatic = programmatic_;
            programmatic_ = true;
            setControlText(w, value);
            SendMessageW(w, EM_SETMODIFY, FALSE, 0);
            programmatic_ = wasProgrammatic;
            break;
        }
        case ControlKind::Button:
        case ControlKind::Group: setControlText(w, value); break;
        default: break;
        }
        break;
    case prop::Hide: ShowWindow(w, propertyTextIsSet(value) ? SW_HIDE : SW_SHOWNA); break;
    case prop::Disable: EnableWindow(w, !propertyTextIsSet(value)); break;
    case prop::Icon:
        c->icon = std::string(value);
        if (c->spec.kind == ControlKind::Image) {
            const int side = std::min(r.right - r.left, r.bottom - r.top);
            SendMessageW(w, STM_SETICON, reinterpret_cast<WPARAM>(namedIcon(c->icon, side > 0 ? side : 32)), 0);
        }
        break;
    case prop::Default:
        if (c->spec.kind == ControlKind::Button) {
            const bool set = propertyTextIsSet(value);
            // One default button per window.
            if (set && defaultButton_ && defaultButton_ != control) {
                if (const Control* old = find(defaultButton_); old && old->hwnd)
                    SendMessageW(old->hwnd, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
            }
            if (set) {
                defaultButton_ = control;
            } else if (defaultButton_ == control) {
                defaultButton_ = 0;
            }
            SendMessageW(w, BM_SETSTYLE, set ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
        }
        break;
    case prop::Touched: c->touched = propertyTextIsSet(value); break;
    case prop::Picture:
        c->picture = std::string(value);
        if (c->spec.kind == ControlKind::Entry)
            SendMessageW(w, EM_SETLIMITTEXT, static_cast<WPARAM>(entryLength(c->picture)), 0);
        break;
    default: break;
    }
}

void Win32Window::resizeClient(int width, int height) {
    SIZE size = frameSizeForClient(width, height);
    if (structure_.resizable && (minWidth_ > 0 || minHeight_ > 0)) {
        const SIZE least = frameSizeForClient(unitsToPixelsX(minWidth_, base_), unitsToPixelsY(minHeight_, base_));
        size.cx = std::max(size.cx, least.cx);
        size.cy = std::max(size.cy, least.cy);
    }
    SetWindowPos(frame_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::showZoneProgress(size_t zone, int32_t percent) {
    if (zone >= zonePercent_.size() || !status_) return;
    zonePercent_[zone] = percent;
    if (percent >= 0 && !zoneBars_[zone]) {
        zoneBars_[zone] = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, status_, nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
        if (zoneBars_[zone]) SendMessageW(zoneBars_[zone], PBM_SETRANGE32, 0, 100);
    }
    if (HWND bar = zoneBars_[zone]) {
        if (percent >= 0) SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
        layoutStatus();  // places the bar over its zone and hides or shows the zone's text
        ShowWindow(bar, percent >= 0 ? SW_SHOWNA : SW_HIDE);
        if (percent >= 0) UpdateWindow(bar);
    }
}

void Win32Window::setWindowProperty(int prop, std::string_view value, int32_t index) {
    const int32_t number = propertyTextNumber(value);
    RECT frame{};
    GetWindowRect(frame_, &frame);
    const RECT client = clientRect();
    const bool set = propertyTextIsSet(value);
    switch (prop) {
    case prop::Xpos:
        if (number != NoValue) {
            SetWindowPos(frame_, nullptr, unitsToPixelsX(number, base_), frame.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            placed_ = true;
        }
        break;
    case prop::Ypos:
        if (number != NoValue) {
            SetWindowPos(frame_, nullptr, frame.left, unitsToPixelsY(number, base_), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            placed_ = true;
        }
        break;
    case prop::Width:
        if (number != NoValue) resizeClient(unitsToPixelsX(number, base_), client.bottom - client.top);
        break;
    case prop::Height:
        if (number != NoValue) resizeClient(client.right - client.left, unitsToPixelsY(number, base_));
        break;
    case prop::Maximize:
        if (showPending_) {
            if (set) pendingShow_ = SW_MAXIMIZE;
            else if (pendingShow_ == SW_MAXIMIZE) pendingShow_ = SW_SHOWNORMAL;
        } else if (set) {
            ShowWindow(frame_, SW_MAXIMIZE);
        } else if (IsZoomed(frame_)) {
            ShowWindow(frame_, SW_RESTORE);
        }
        break;
    case prop::Iconize:
        if (showPending_) {
            if (set) pendingShow_ = SW_MINIMIZE;
            else if (pendingShow_ == SW_MINIMIZE) pendingShow_ = SW_SHOWNORMAL;
        } else if (set) {
            ShowWindow(frame_, SW_MINIMIZE);
        } else if (IsIconic(frame_)) {
            ShowWindow(frame_, SW_RESTORE);
        }
        break;
    case prop::Text: setControlText(frame_, value); break;
    case prop::Hide:
        if (showPending_ && set) {
            showPending_ = false;  // the program keeps it hidden
        } else if (showPending_) {
            showOnce();
        } else {
            ShowWindow(frame_, set ? SW_HIDE : SW_SHOW);
        }
        break;
    case prop::Disable: EnableWindow(frame_, !set); break;
    case prop::Icon:
        icon_ = std::string(value);
        SendMessageW(frame_, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(namedIcon(icon_, GetSystemMetrics(SM_CXICON))));
        SendMessageW(frame_, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(namedIcon(icon_, GetSystemMetrics(SM_CXSMICON))));
        break;
    case prop::MinWidth:
    case prop::MinHeight:
        (prop == prop::MinWidth ? minWidth_ : minHeight_) = std::max(0, number);
        break;
    case prop::StatusText:
        if (index >= 1 && static_cast<size_t>(index) <= zoneTexts_.size()) {
            zoneTexts_[static_cast<size_t>(index - 1)] = std::string(value);
            if (zonePercent_[static_cast<size_t>(index - 1)] < 0)
                SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(index - 1),
                             reinterpret_cast<LPARAM>(programWide(value).c_str()));
        }
        break;
    case prop::StatusProgress:
        if (index >= 1 && static_cast<size_t>(index) <= zonePercent_.size()) {
            const bool bar = !value.empty() && number >= 0;
            showZoneProgress(static_cast<size_t>(index - 1), bar ? std::min(number, 100) : -1);
        }
        break;
    default: break;
    }
}

}  // namespace varnok::window::win32
