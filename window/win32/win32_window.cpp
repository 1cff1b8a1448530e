#include "window/win32/win32_window.h"

#include <algorithm>

#include "window/events.h"
#include "window/win32/icons_win32.h"
#include "window/win32/win32_list.h"
#include "window/win32/win32_text.h"
#include "window/win32/win32_window_layer.h"
#include "window/win32/window_font_win32.h"

namespace varnok::window::win32 {

namespace {
constexpr int StatusBarId = 99;

DWORD frameStyle(bool resizable) {
    // Not WS_CLIPCHILDREN: a group box draws only its frame and caption,
    // the window's background shows through it.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (resizable) style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    return style;
}

// A control's rectangle in its window's client coordinates.
RECT childRect(HWND child, HWND parent) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool shown(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

void setIcons(HWND frame, const std::string& name) {
    SendMessageW(frame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(namedIcon(name, GetSystemMetrics(SM_CXICON))));
    SendMessageW(frame, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(namedIcon(name, GetSystemMetrics(SM_CXSMICON))));
}
}  // namespace

uint32_t alertCode(uint32_t base, bool shift, bool ctrl, bool alt) {
    return base | (shift ? key::Shift : 0) | (ctrl ? key::Ctrl : 0) | (alt ? key::Alt : 0);
}

Win32Window::Win32Window(Win32WindowLayer& layer, WindowStructure structure, Win32Window* below)
    : WindowCore(std::move(structure)), layer_(layer) {
    const WindowStructure& s = this->structure();
    setBelow(below);
    font_ = createWindowFont(s.fontName, s.fontSize);
    setBase(dialogBase(font_));
    createFrame();
    if (!frame_) return;
    createStatusBar();
    buildControls();
    const SIZE size = frameSizeForClient(unitsToPixelsX(s.width, base()), unitsToPixelsY(s.height, base()));
    SetWindowPos(frame_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layoutStatus();
    if (placed())
        SetWindowPos(frame_, nullptr, unitsToPixelsX(s.x, base()), unitsToPixelsY(s.y, base()), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    layer_.opened(this, below != nullptr || s.modal);
    opened();
}

Win32Window::~Win32Window() {
    if (isOpen()) close();
    if (frame_) DestroyWindow(frame_);
    frame_ = nullptr;
    if (font_) DeleteObject(font_);
}

void Win32Window::createFrame() {
    const WindowStructure& s = structure();
    auto* over = static_cast<Win32Window*>(below());
    frame_ = CreateWindowExW(0, Win32WindowLayer::FrameClass, programWide(s.title).c_str(), frameStyle(s.resizable),
                             CW_USEDEFAULT, CW_USEDEFAULT, 200, 200, over ? over->frame_ : nullptr, nullptr,
                             GetModuleHandleW(nullptr), this);
    if (!frame_) return;
    SendMessageW(frame_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (!s.icon.empty()) setIcons(frame_, s.icon);
}

void Win32Window::createStatusBar() {
    const WindowStructure& s = structure();
    if (s.statusZones.empty()) return;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (s.resizable ? SBARS_SIZEGRIP : 0);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", style, 0, 0, 0, 0, frame_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(StatusBarId)), GetModuleHandleW(nullptr),
                              nullptr);
    if (!status_) return;
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    zoneBars_.assign(s.statusZones.size(), nullptr);
    SendMessageW(status_, WM_SIZE, 0, 0);
}

RECT Win32Window::controlRect(const ControlStructure& spec) const {
    // A size the structure leaves open is the control's natural one.
    const SIZE text = textExtent(font_, programWide(spec.text));
    int naturalWidth = 0, naturalHeight = 0;
    switch (spec.kind) {
    case ControlKind::Prompt: naturalWidth = text.cx; naturalHeight = text.cy; break;
    case ControlKind::Button: naturalWidth = text.cx + 16; naturalHeight = text.cy + 10; break;
    case ControlKind::Entry: naturalWidth = unitsToPixelsX(100, base()); naturalHeight = text.cy + 8; break;
    case ControlKind::Image: naturalWidth = 32; naturalHeight = 32; break;
    default: break;
    }
    // The place and the size are each converted on their own, as the
    // dialog manager creates a template's controls and as the Qt layer
    // does (window/dialog_units.h unitsToPixels): a control has the same
    // pixel size wherever it sits.
    const int x = unitsToPixelsX(spec.x, base()), y = unitsToPixelsY(spec.y, base());
    const int width = spec.width == NoValue ? naturalWidth : unitsToPixelsX(spec.width, base());
    int height = spec.height == NoValue ? naturalHeight : unitsToPixelsY(spec.height, base());
    // An entry is never lower than its font needs inside its sunken edge,
    // whatever its units give at this DPI: the descenders of "_" and "g"
    // show.
    if (spec.kind == ControlKind::Entry)
        height = std::max<int>(height, textExtent(font_, L"Ay").cy + 2 * GetSystemMetrics(SM_CYEDGE) + 2);
    return RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
}

HWND Win32Window::createControl(const ControlStructure& spec, int32_t number) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (spec.hidden ? 0 : WS_VISIBLE) | (spec.disabled ? WS_DISABLED : 0);
    DWORD exStyle = 0;
    const wchar_t* windowClass = L"STATIC";
    std::wstring text = programWide(spec.text);
    switch (spec.kind) {
    case ControlKind::Group: windowClass = L"BUTTON"; style |= BS_GROUPBOX; break;
    case ControlKind::Prompt: style |= SS_LEFT; break;
    case ControlKind::Entry:
        windowClass = L"EDIT";
        style |= ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
        exStyle |= WS_EX_CLIENTEDGE;
        text.clear();
        break;
    case ControlKind::Button:
        windowClass = L"BUTTON";
        style |= (spec.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | WS_GROUP;
        break;
    case ControlKind::List: break;  // createList
    case ControlKind::Region:
        windowClass = Win32WindowLayer::RegionClass;
        exStyle |= WS_EX_TRANSPARENT;
        text.clear();
        break;
    case ControlKind::Image: style |= SS_ICON | SS_CENTERIMAGE; text.clear(); break;
    case ControlKind::Sheet: windowClass = WC_TABCONTROLW; style |= WS_TABSTOP | WS_GROUP; break;
    }
    const RECT r = controlRect(spec);
    return CreateWindowExW(exStyle, windowClass, text.c_str(), style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, frame_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdBase + number)),
                           GetModuleHandleW(nullptr), nullptr);
}

void Win32Window::buildControls() {
    const std::vector<ControlStructure>& specs = structure().controls;
    controls_.resize(specs.size());
    for (size_t i = 0; i < specs.size(); ++i) {
        const ControlStructure& spec = specs[i];
        const int32_t number = static_cast<int32_t>(i + 1);
        NativeControl& c = controls_[i];
        c.kind = spec.kind;
        if (spec.kind == ControlKind::List) {
            createList(c, number);
            if (c.hwnd) {
                const RECT r = controlRect(spec);
                SetWindowPos(c.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
                if (spec.hidden) ShowWindow(c.hwnd, SW_HIDE);
                if (spec.disabled) EnableWindow(c.hwnd, FALSE);
            }
        } else {
            c.hwnd = createControl(spec, number);
        }
        if (!c.hwnd) continue;
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (spec.kind == ControlKind::Entry)
            SendMessageW(c.hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(entryLength(spec.picture)), 0);
        if (spec.kind == ControlKind::Image) {
            if (HICON icon = namedIcon(spec.text, 32)) SendMessageW(c.hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
        SetWindowSubclass(c.hwnd, controlProc, static_cast<UINT_PTR>(number), reinterpret_cast<DWORD_PTR>(this));
    }
    stackControls();
}

void Win32Window::stackControls() {
    // Tab order is the order of the structure; groups lie below everything.
    HWND previous = HWND_TOP;
    for (const NativeControl& c : controls_) {
        if (!c.hwnd || c.kind == ControlKind::Group) continue;
        SetWindowPos(c.hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = c.hwnd;
    }
    for (const NativeControl& c : controls_) {
        if (c.hwnd && c.kind == ControlKind::Group)
            SetWindowPos(c.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

int32_t Win32Window::statusHeight() const {
    if (!status_) return 0;
    RECT r{};
    GetWindowRect(status_, &r);
    return r.bottom - r.top;
}

SIZE Win32Window::frameSizeForClient(int width, int height) const {
    RECT r{0, 0, std::max(1, width), std::max(1, height) + statusHeight()};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(frame_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(frame_, GWL_EXSTYLE)));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT Win32Window::clientRect() const {
    RECT r{};
    if (frame_) GetClientRect(frame_, &r);
    r.bottom = std::max<LONG>(r.top, r.bottom - statusHeight());
    return r;
}

void Win32Window::layoutStatus() {
    if (!status_) return;
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT client{};
    GetClientRect(status_, &client);
    const std::vector<int32_t>& zones = structure().statusZones;
    std::vector<int> edges(zones.size());
    int fixedAfter = 0;
    for (int32_t w : zones) fixedAfter += w >= 0 ? unitsToPixelsX(w, base()) : 0;
    int x = 0;
    for (size_t i = 0; i < zones.size(); ++i) {
        if (zones[i] >= 0) {
            const int width = unitsToPixelsX(zones[i], base());
            x += width;
            fixedAfter -= width;
        } else {
            x = std::max(x, static_cast<int>(client.right) - fixedAfter);  // the rest of the bar
        }
        edges[i] = i + 1 == zones.size() && zones[i] < 0 ? -1 : x;
    }
    SendMessageW(status_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < zones.size(); ++i) {
        const int32_t zone = static_cast<int32_t>(i + 1);
        const std::wstring text = zonePercent(zone) >= 0 ? std::wstring() : programWide(zoneText(zone));
        SendMessageW(status_, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(text.c_str()));
        if (zoneBars_[i]) {
            RECT part{};
            SendMessageW(status_, SB_GETRECT, i, reinterpret_cast<LPARAM>(&part));
            InflateRect(&part, -1, -1);
            SetWindowPos(zoneBars_[i], nullptr, part.left, part.top, part.right - part.left, part.bottom - part.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void Win32Window::showNativeZone(int32_t zone, const std::string&, int32_t percent) {
    const size_t i = static_cast<size_t>(zone - 1);
    if (!status_) return;
    if (percent >= 0 && !zoneBars_[i]) {
        zoneBars_[i] = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, status_, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
        if (zoneBars_[i]) SendMessageW(zoneBars_[i], PBM_SETRANGE32, 0, 100);
    }
    if (percent >= 0 && zoneBars_[i]) SendMessageW(zoneBars_[i], PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    layoutStatus();  // the zone's text, and the bar over its zone
    if (HWND bar = zoneBars_[i]) {
        ShowWindow(bar, percent >= 0 ? SW_SHOWNA : SW_HIDE);
        if (percent >= 0) UpdateWindow(bar);
    }
}

HWND Win32Window::zoneProgress(int32_t zone) const {
    return zone >= 1 && static_cast<size_t>(zone) <= zoneBars_.size() ? zoneBars_[static_cast<size_t>(zone - 1)]
                                                                       : nullptr;
}

HWND Win32Window::hwndOf(int32_t control) const {
    if (control == 0) return frame_;
    return control >= 1 && static_cast<size_t>(control) <= controls_.size() ? controls_[static_cast<size_t>(control - 1)].hwnd
                                                                             : nullptr;
}

HWND Win32Window::controlWindow(int32_t control) const { return hwndOf(control); }

int32_t Win32Window::controlOf(HWND hwnd) const {
    for (; hwnd && hwnd != frame_; hwnd = GetParent(hwnd)) {
        for (size_t i = 0; i < controls_.size(); ++i) {
            if (controls_[i].hwnd == hwnd) return static_cast<int32_t>(i + 1);
        }
    }
    return 0;
}

// The window.

bool Win32Window::isTopWindow() const { return layer_.topWindow() == this; }

bool Win32Window::nativeAlive() const { return frame_ != nullptr; }

// Posted events are taken by the message loop's next round.
void Win32Window::wakeUp() {}

void Win32Window::followAllLists() { layer_.followLists(); }

bool Win32Window::waitForInput() {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) return false;
    if (got == 0) {  // the desktop asks the program to end
        post(event::CloseDown);
        return false;
    }
    layer_.dispatch(msg);
    return true;
}

void Win32Window::showNative() {
    ShowWindow(frame_, pendingShow_);
    SetForegroundWindow(frame_);
    reportShownPlace();
    focusFirstControl();
    UpdateWindow(frame_);
}

void Win32Window::reportShownPlace() {
    // The size and place it is shown at, as after any resize or move (the
    // window's own layout follows EVENT:Sized).
    const RECT client = clientRect();
    frameSized({client.right, client.bottom});
    RECT placed{};
    GetWindowRect(frame_, &placed);
    if (!IsIconic(frame_)) frameMoved(placed.left, placed.top);
}

void Win32Window::focusFirstControl() {
    // The first control that takes the focus has it, as a window that was
    // just activated gives it (no EVENT:Selected).
    if (IsChild(frame_, GetFocus())) return;
    restoringFocus_ = true;
    if (HWND first = GetNextDlgTabItem(frame_, nullptr, FALSE)) SetFocus(first);
    restoringFocus_ = false;
}

void Win32Window::closeNative() {
    // The window below takes input again before this one goes, so that the
    // desktop activates it and not another program.
    layer_.closed(this);
    if (frame_) ShowWindow(frame_, SW_HIDE);
    if (Win32Window* top = layer_.topWindow()) {
        if (top->frame_) SetForegroundWindow(top->frame_);
    }
}

void Win32Window::repaintNative() { InvalidateRect(frame_, nullptr, FALSE); }

void Win32Window::paintPending() {
    // Paint, sent and posted messages, and what the desktop sends (exposure,
    // a resize); keys and mouse stay queued for the accept loop, also when
    // they were posted (the ranges leave them out).
    static constexpr UINT ranges[][2] = {
        {0, WM_KEYFIRST - 1}, {WM_KEYLAST + 1, WM_MOUSEFIRST - 1}, {WM_MOUSELAST + 1, 0xFFFFFFFF}};
    const UINT flags = PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    for (int round = 0; round < 1000; ++round) {
        bool any = false;
        for (const auto& range : ranges) {
            MSG msg;
            if (!PeekMessageW(&msg, nullptr, range[0], range[1], flags)) continue;
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            DispatchMessageW(&msg);
            any = true;
        }
        if (!any) break;
    }
}

void Win32Window::beep() { MessageBeep(MB_OK); }

POINT Win32Window::popupPlace() const {
    POINT at{0, 0};
    HWND focused = GetFocus();
    if (keyboardInput() && focused && frame_ && IsChild(frame_, focused) && IsWindowVisible(focused)) {
        RECT r{};
        GetWindowRect(focused, &r);
        return POINT{r.left, r.bottom};
    }
    GetCursorPos(&at);
    return at;
}

PixelRect Win32Window::nativeFrameRect() const {
    RECT r{};
    GetWindowRect(frame_, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Window::moveNativeFrame(int x, int y) {
    SetWindowPos(frame_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

PixelSize Win32Window::nativeClientSize() const {
    const RECT client = clientRect();
    return {client.right - client.left, client.bottom - client.top};
}

void Win32Window::resizeNativeClient(int width, int height) {
    SIZE size = frameSizeForClient(width, height);
    if (structure().resizable && (minimum_.cx > 0 || minimum_.cy > 0)) {
        const SIZE least = frameSizeForClient(minimum_.cx, minimum_.cy);
        size.cx = std::max(size.cx, least.cx);
        size.cy = std::max(size.cy, least.cy);
    }
    SetWindowPos(frame_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::setNativeMinimumSize(int width, int height) { minimum_ = SIZE{width, height}; }

FrameState Win32Window::nativeFrameState() const {
    if (showPending()) {
        return pendingShow_ == SW_MAXIMIZE ? FrameState::Maximized
               : pendingShow_ == SW_MINIMIZE ? FrameState::Minimized
                                             : FrameState::Normal;
    }
    if (IsIconic(frame_)) return FrameState::Minimized;
    return IsZoomed(frame_) ? FrameState::Maximized : FrameState::Normal;
}

void Win32Window::setNativeFrameState(FrameState state, bool set) {
    const int show = state == FrameState::Maximized ? SW_MAXIMIZE : SW_MINIMIZE;
    if (showPending()) {
        if (set) pendingShow_ = show;
        else if (pendingShow_ == show) pendingShow_ = SW_SHOWNORMAL;
    } else if (set) {
        ShowWindow(frame_, show);
    } else if (nativeFrameState() == state) {
        ShowWindow(frame_, SW_RESTORE);
    }
}

// Controls.

std::string Win32Window::nativeText(int32_t control) const {
    HWND hwnd = hwndOf(control);
    if (!hwnd) return std::string();
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(std::max(0, length)) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(0, got)));
    return wideProgram(text);
}

void Win32Window::setNativeText(int32_t control, std::string_view text) {
    HWND hwnd = hwndOf(control);
    if (!hwnd) return;
    SetWindowTextW(hwnd, programWide(text).c_str());
    if (control && controls_[static_cast<size_t>(control - 1)].kind == ControlKind::Entry)
        SendMessageW(hwnd, EM_SETMODIFY, FALSE, 0);
}

int Win32Window::nativeNaturalWidth(int32_t control) const {
    return textExtent(font_, programWide(nativeText(control))).cx;
}

bool Win32Window::nativeModified(int32_t control) const {
    HWND hwnd = hwndOf(control);
    return hwnd && SendMessageW(hwnd, EM_GETMODIFY, 0, 0);
}

void Win32Window::clearNativeModified(int32_t control) {
    if (HWND hwnd = hwndOf(control)) SendMessageW(hwnd, EM_SETMODIFY, FALSE, 0);
}

void Win32Window::setNativeEntryLength(int32_t control, int length) {
    if (HWND hwnd = hwndOf(control)) SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(length), 0);
}

PixelRect Win32Window::nativeRect(int32_t control) const {
    HWND hwnd = hwndOf(control);
    if (!hwnd) return {};
    const RECT r = childRect(hwnd, frame_);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Window::setNativeRect(int32_t control, const PixelRect& r) {
    if (HWND hwnd = hwndOf(control))
        SetWindowPos(hwnd, nullptr, r.x, r.y, std::max(0, r.width), std::max(0, r.height), SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32Window::nativeHidden(int32_t control) const {
    HWND hwnd = hwndOf(control);
    return !hwnd || !shown(hwnd);
}

void Win32Window::setNativeHidden(int32_t control, bool hidden) {
    if (HWND hwnd = hwndOf(control)) ShowWindow(hwnd, hidden ? SW_HIDE : control ? SW_SHOWNA : SW_SHOW);
}

bool Win32Window::nativeDisabled(int32_t control) const {
    HWND hwnd = hwndOf(control);
    return !hwnd || !IsWindowEnabled(hwnd);
}

void Win32Window::setNativeDisabled(int32_t control, bool disabled) {
    if (HWND hwnd = hwndOf(control)) EnableWindow(hwnd, !disabled);
}

void Win32Window::setNativeIcon(int32_t control, const std::string& name) {
    if (control == 0) {
        setIcons(frame_, name);
    } else if (HWND hwnd = hwndOf(control)) {
        const PixelRect r = nativeRect(control);
        const int side = std::min(r.width, r.height);
        SendMessageW(hwnd, STM_SETICON, reinterpret_cast<WPARAM>(namedIcon(name, side > 0 ? side : 32)), 0);
    }
}

void Win32Window::setNativeDefault(int32_t button, bool isDefault) {
    if (HWND hwnd = hwndOf(button)) SendMessageW(hwnd, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void Win32Window::enableNativeDrops(int32_t control) {
    if (HWND hwnd = hwndOf(control)) DragAcceptFiles(hwnd, TRUE);
}

bool Win32Window::nativeTakesFocus(int32_t control) const {
    HWND hwnd = hwndOf(control);
    return hwnd && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
}

void Win32Window::setNativeFocus(int32_t control) {
    if (HWND hwnd = hwndOf(control)) SetFocus(hwnd);
}

int32_t Win32Window::nativeFocus() const {
    HWND focused = GetFocus();
    if (!frame_ || !focused || !IsChild(frame_, focused)) return 0;
    return controlOf(focused);
}

}  // namespace varnok::window::win32
