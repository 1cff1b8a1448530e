#include "window/win32/win32_window.h"

#include <algorithm>
#include <cstring>

#include "platform/trailing_spaces.h"
#include "runtime/pictures/picture.h"
#include "window/events.h"
#include "window/list_format.h"
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
}  // namespace

uint32_t alertCode(uint32_t base, bool shift, bool ctrl, bool alt) {
    return base | (shift ? key::Shift : 0) | (ctrl ? key::Ctrl : 0) | (alt ? key::Alt : 0);
}

int entryLength(const std::string& picture) {
    if (picture.empty()) return 255;
    const CompiledPicture compiled = compileEntryPicture(picture);
    return compiled.valid() ? std::max<int>(1, compiled.width) : 255;
}

Win32Window::Win32Window(Win32WindowLayer& layer, WindowStructure structure, Win32Window* below)
    : layer_(layer), structure_(std::move(structure)), below_(below) {
    font_ = createWindowFont(structure_.fontName, structure_.fontSize);
    base_ = dialogBase(font_);
    icon_ = structure_.icon;
    createFrame();
    if (!frame_) return;
    createStatusBar();
    buildControls();
    const SIZE size = frameSizeForClient(unitsToPixelsX(structure_.width, base_), unitsToPixelsY(structure_.height, base_));
    SetWindowPos(frame_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layoutStatus();
    if (structure_.x != NoValue && structure_.y != NoValue) {
        SetWindowPos(frame_, nullptr, unitsToPixelsX(structure_.x, base_), unitsToPixelsY(structure_.y, base_), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        placed_ = true;
    }
    open_ = true;
    layer_.opened(this, below_ != nullptr || structure_.modal);
    push({event::OpenWindow, 0, 0});
}

Win32Window::~Win32Window() {
    if (open_) close();
    if (frame_) {
        HWND frame = frame_;
        DestroyWindow(frame);
        frame_ = nullptr;
    }
    if (font_) DeleteObject(font_);
}

void Win32Window::createFrame() {
    const DWORD style = frameStyle(structure_.resizable);
    HWND owner = below_ ? below_->frame_ : nullptr;
    frame_ = CreateWindowExW(0, Win32WindowLayer::FrameClass, programWide(structure_.title).c_str(), style,
                             CW_USEDEFAULT, CW_USEDEFAULT, 200, 200, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!frame_) return;
    SendMessageW(frame_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (!icon_.empty()) {
        if (HICON big = namedIcon(icon_, GetSystemMetrics(SM_CXICON)))
            SendMessageW(frame_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        if (HICON small = namedIcon(icon_, GetSystemMetrics(SM_CXSMICON)))
            SendMessageW(frame_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}

void Win32Window::createStatusBar() {
    if (structure_.statusZones.empty()) return;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (structure_.resizable ? SBARS_SIZEGRIP : 0);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", style, 0, 0, 0, 0, frame_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(StatusBarId)), GetModuleHandleW(nullptr),
                              nullptr);
    if (!status_) return;
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    zoneTexts_.assign(structure_.statusZones.size(), std::string());
    zoneBars_.assign(structure_.statusZones.size(), nullptr);
    zonePercent_.assign(structure_.statusZones.size(), -1);
    SendMessageW(status_, WM_SIZE, 0, 0);
}

RECT Win32Window::controlRect(const ControlStructure& spec) const {
    // A size the structure leaves open is the control's natural one.
    const SIZE text = textExtent(font_, programWide(spec.text));
    int naturalWidth = 0, naturalHeight = 0;
    switch (spec.kind) {
    case ControlKind::Prompt: naturalWidth = text.cx; naturalHeight = text.cy; break;
    case ControlKind::Button: naturalWidth = text.cx + 16; naturalHeight = text.cy + 10; break;
    case ControlKind::Entry: naturalWidth = unitsToPixelsX(100, base_); naturalHeight = text.cy + 8; break;
    case ControlKind::Image: naturalWidth = 32; naturalHeight = 32; break;
    default: break;
    }
    // The place and the size are each converted on their own, as the
    // dialog manager creates a template's controls and as the Qt layer
    // does (window/dialog_units.h unitsToPixels): a control has the same
    // pixel size wherever it sits.
    const int x = unitsToPixelsX(spec.x, base_), y = unitsToPixelsY(spec.y, base_);
    const int width = spec.width == NoValue ? naturalWidth : unitsToPixelsX(spec.width, base_);
    const int height = spec.height == NoValue ? naturalHeight : unitsToPixelsY(spec.height, base_);
    return RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
}

void Win32Window::buildControls() {
    controls_.reserve(structure_.controls.size());
    HINSTANCE module = GetModuleHandleW(nullptr);
    for (size_t i = 0; i < structure_.controls.size(); ++i) {
        const ControlStructure& spec = structure_.controls[i];
        const int32_t number = static_cast<int32_t>(i + 1);
        Control c;
        c.spec = spec;
        if (spec.kind == ControlKind::Entry) c.picture = spec.picture;
        if (spec.kind == ControlKind::Image) c.icon = spec.text;
        controls_.push_back(std::move(c));
        Control& added = controls_.back();
        const RECT r = controlRect(spec);
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
            if (spec.isDefault && !defaultButton_) defaultButton_ = number;
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
        if (spec.kind == ControlKind::List) {
            createList(added);
            if (added.hwnd) {
                SetWindowPos(added.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
                if (spec.hidden) ShowWindow(added.hwnd, SW_HIDE);
                if (spec.disabled) EnableWindow(added.hwnd, FALSE);
            }
        } else {
            added.hwnd = CreateWindowExW(exStyle, windowClass, text.c_str(), style, r.left, r.top, r.right - r.left,
                                         r.bottom - r.top, frame_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdBase + number)), module,
                                         nullptr);
        }
        if (!added.hwnd) continue;
        SendMessageW(added.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (spec.kind == ControlKind::Entry)
            SendMessageW(added.hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(entryLength(added.picture)), 0);
        if (spec.kind == ControlKind::Image) {
            if (HICON icon = namedIcon(added.icon, 32))
                SendMessageW(added.hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
        SetWindowSubclass(added.hwnd, controlProc, static_cast<UINT_PTR>(number), reinterpret_cast<DWORD_PTR>(this));
        if (added.list) applyListColumns(added);
    }
    // Tab order is the order of the structure; groups lie below everything.
    HWND previous = HWND_TOP;
    for (Control& c : controls_) {
        if (!c.hwnd || c.spec.kind == ControlKind::Group) continue;
        SetWindowPos(c.hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = c.hwnd;
    }
    for (Control& c : controls_) {
        if (c.hwnd && c.spec.kind == ControlKind::Group)
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
    const std::vector<int32_t>& zones = structure_.statusZones;
    std::vector<int> edges(zones.size());
    int fixedAfter = 0;
    for (int32_t w : zones) fixedAfter += w >= 0 ? unitsToPixelsX(w, base_) : 0;
    int x = 0;
    for (size_t i = 0; i < zones.size(); ++i) {
        if (zones[i] >= 0) {
            const int width = unitsToPixelsX(zones[i], base_);
            x += width;
            fixedAfter -= width;
        } else {
            x = std::max(x, static_cast<int>(client.right) - fixedAfter);  // the rest of the bar
        }
        edges[i] = i + 1 == zones.size() && zones[i] < 0 ? -1 : x;
    }
    SendMessageW(status_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < zoneTexts_.size(); ++i) {
        const std::wstring text = zonePercent_[i] >= 0 ? std::wstring() : programWide(zoneTexts_[i]);
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

HWND Win32Window::zoneProgress(int32_t zone) const {
    return zone >= 1 && static_cast<size_t>(zone) <= zoneBars_.size() ? zoneBars_[static_cast<size_t>(zone - 1)]
                                                                       : nullptr;
}

Win32Window::Control* Win32Window::find(int32_t control) {
    return control >= 1 && static_cast<size_t>(control) <= controls_.size() ? &controls_[static_cast<size_t>(control - 1)]
                                                                             : nullptr;
}

const Win32Window::Control* Win32Window::find(int32_t control) const {
    return const_cast<Win32Window*>(this)->find(control);
}

int32_t Win32Window::controlOf(HWND hwnd) const {
    for (; hwnd && hwnd != frame_; hwnd = GetParent(hwnd)) {
        for (size_t i = 0; i < controls_.size(); ++i) {
            if (controls_[i].hwnd == hwnd) return static_cast<int32_t>(i + 1);
        }
    }
    return 0;
}

HWND Win32Window::controlWindow(int32_t control) const {
    if (control == 0) return frame_;
    const Control* c = find(control);
    return c ? c->hwnd : nullptr;
}

std::string Win32Window::controlText(HWND hwnd) const {
    if (!hwnd) return std::string();
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(std::max(0, length)) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(0, got)));
    return wideProgram(text);
}

void Win32Window::setControlText(HWND hwnd, std::string_view text) {
    if (hwnd) SetWindowTextW(hwnd, programWide(text).c_str());
}

bool Win32Window::nextEvent(Event& event) {
    showOnce();
    layer_.followLists();
    while (open_ && queue_.empty()) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {  // the desktop asks the program to end
            push({event::CloseDown, 0, 0});
            break;
        }
        layer_.dispatch(msg);
    }
    return open_ && queue_.take(event);
}

void Win32Window::defaultAction(const Event& event) {
    if (event.number == event::CloseWindow || event.number == event::CloseDown) close();
    layer_.followLists();
}

void Win32Window::post(uint16_t number, int32_t control) { push({number, control, 0}); }

void Win32Window::close() {
    if (!open_) return;
    open_ = false;
    queue_.clear();
    // The window below takes input again before this one goes, so that the
    // desktop activates it and not another program.
    layer_.closed(this);
    if (frame_) ShowWindow(frame_, SW_HIDE);
    if (Win32Window* top = layer_.topWindow()) {
        if (top->frame_) SetForegroundWindow(top->frame_);
    }
}

void Win32Window::showOnce() {
    if (!showPending_ || !open_ || !frame_) return;
    showPending_ = false;
    if (below_ && below_->open_ && below_->frame_ && !placed_) {
        RECT owner{}, own{};
        GetWindowRect(below_->frame_, &owner);
        GetWindowRect(frame_, &own);
        const int width = own.right - own.left, height = own.bottom - own.top;
        SetWindowPos(frame_, nullptr, (owner.left + owner.right) / 2 - width / 2,
                     (owner.top + owner.bottom) / 2 - height / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(frame_, pendingShow_);
    SetForegroundWindow(frame_);
    // The size and place it is shown at, as after any resize or move (the
    // window's own layout follows EVENT:Sized).
    const RECT client = clientRect();
    if (client.right != lastSize_.cx || client.bottom != lastSize_.cy) {
        lastSize_ = SIZE{client.right, client.bottom};
        push({event::Sized, 0, 0});
    }
    RECT placed{};
    GetWindowRect(frame_, &placed);
    if (!IsIconic(frame_) && (placed.left != lastPos_.x || placed.top != lastPos_.y)) {
        lastPos_ = POINT{placed.left, placed.top};
        push({event::Moved, 0, 0});
    }
    // The first control that takes the focus has it, as a window that was
    // just activated gives it (no EVENT:Selected).
    if (!IsChild(frame_, GetFocus())) {
        restoringFocus_ = true;
        if (HWND first = GetNextDlgTabItem(frame_, nullptr, FALSE)) SetFocus(first);
        restoringFocus_ = false;
    }
    UpdateWindow(frame_);
}

void Win32Window::bindText(int32_t control, TextVariable variable) {
    Control* c = find(control);
    if (!c || c->spec.kind != ControlKind::Entry) return;
    c->variable = variable;
    showVariable(*c);
}

void Win32Window::showVariable(Control& c) {
    if (c.spec.kind != ControlKind::Entry || !c.variable.data || !c.hwnd) return;
    std::string value(platform::withoutTrailingSpaces(std::string_view(c.variable.data, c.variable.size)));
    // What the user is typing stays until it is accepted, unless the
    // program gave the variable another value since it was shown.
    if (SendMessageW(c.hwnd, EM_GETMODIFY, 0, 0) && value == c.shown) return;
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    setControlText(c.hwnd, value);
    SendMessageW(c.hwnd, EM_SETMODIFY, FALSE, 0);
    programmatic_ = wasProgrammatic;
    c.shown = std::move(value);
}

void Win32Window::writeVariable(Control& c) {
    if (c.spec.kind != ControlKind::Entry || !c.variable.data || !c.hwnd) return;
    const std::string text = controlText(c.hwnd);
    size_t length = std::min(text.size(), c.variable.size);
    // Never cut a character of more than one byte in two.
    if (length < text.size()) {
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(c.variable.data, text.data(), length);
    std::memset(c.variable.data + length, ' ', c.variable.size - length);
    c.shown = std::string(platform::withoutTrailingSpaces(std::string_view(c.variable.data, c.variable.size)));
}

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

void Win32Window::display(int32_t control) {
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (control != 0 && static_cast<size_t>(control) != i + 1) continue;
        Control& c = controls_[i];
        showVariable(c);
        if (c.list) refreshList(c, false);
    }
    programmatic_ = wasProgrammatic;
    if (frame_) InvalidateRect(frame_, nullptr, FALSE);
}

void Win32Window::update(int32_t control) {
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (control == 0 || static_cast<size_t>(control) == i + 1) writeVariable(controls_[i]);
    }
}

void Win32Window::select(int32_t control, int32_t row) {
    Control* c = find(control);
    if (!c) return;
    if (c->list) {
        const bool wasProgrammatic = programmatic_;
        programmatic_ = true;
        refreshList(*c, true);
        programmatic_ = wasProgrammatic;
        if (row > 0) setListRow(*c, row);
    }
    // A control that takes no focus passes it to the next one that does.
    for (size_t i = static_cast<size_t>(control - 1); i < controls_.size(); ++i) {
        HWND w = controls_[i].hwnd;
        if (!w) continue;
        const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
        if ((style & WS_TABSTOP) && IsWindowVisible(w) && IsWindowEnabled(w)) {
            SetFocus(w);
            return;
        }
    }
}

int32_t Win32Window::focus() const {
    if (!frame_) return 0;
    HWND focused = GetFocus();
    if (!focused || !IsChild(frame_, focused)) return 0;
    return controlOf(focused);
}

int32_t Win32Window::choice(int32_t control) const {
    const Control* c = find(control);
    return c && c->list ? highlightedRow(*c) : 0;
}

void Win32Window::alert(int32_t control, uint32_t keyCode) {
    std::vector<uint32_t>* keys = control == 0 ? &windowAlerts_ : nullptr;
    if (Control* c = find(control)) keys = &c->alerts;
    if (keys && std::find(keys->begin(), keys->end(), keyCode) == keys->end()) keys->push_back(keyCode);
}

bool Win32Window::alerted(int32_t control, uint32_t keyCode) const {
    const std::vector<uint32_t>* keys = control == 0 ? &windowAlerts_ : nullptr;
    if (const Control* c = find(control)) keys = &c->alerts;
    return keys && std::find(keys->begin(), keys->end(), keyCode) != keys->end();
}

void Win32Window::acceptDrops(int32_t control) {
    if (control == 0) {
        windowDrops_ = true;
        if (frame_) DragAcceptFiles(frame_, TRUE);
        return;
    }
    Control* c = find(control);
    if (!c || !c->hwnd) return;
    c->acceptsDrops = true;
    DragAcceptFiles(c->hwnd, TRUE);
}

void Win32Window::acceptAll() {
    // Entries need no validation beyond their pictures' lengths, which
    // typing already keeps; the accept-all state ends at once.
    update();
    queue_.startAcceptingAll();
    post(event::Completed);
}

void Win32Window::beep() { MessageBeep(MB_OK); }

POINT Win32Window::popupPlace() const {
    POINT at{0, 0};
    HWND focused = GetFocus();
    if (keyboardInput_ && focused && frame_ && IsChild(frame_, focused) && IsWindowVisible(focused)) {
        RECT r{};
        GetWindowRect(focused, &r);
        return POINT{r.left, r.bottom};
    }
    GetCursorPos(&at);
    return at;
}

void Win32Window::followLists() {
    for (Control& c : controls_) {
        if (!c.list || !c.list->source) continue;
        const bool wasProgrammatic = programmatic_;
        programmatic_ = true;
        refreshList(c, true);
        programmatic_ = wasProgrammatic;
    }
}

bool Win32Window::refusesInput() const { return !open_ || layer_.topWindow() != this; }

}  // namespace varnok::window::win32
