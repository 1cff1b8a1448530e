#include "window/win32/win32_window_layer.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "window/win32/file_dialog_win32.h"
#include "window/win32/popup_menu_win32.h"
#include "window/win32/win32_window.h"

namespace varnok::window::win32 {

void initCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES |
                     ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

namespace {
void registerClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW frame{};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = Win32Window::frameProc;
    frame.hInstance = module;
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    // A window without an icon of its own (the queue viewer, the errors
    // history) shows the program's icon, resource 1, as the main window
    // does, not the system's blank application icon. Null when the module
    // has no icon resources: then the system's, as before.
    frame.hIcon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                GetSystemMetrics(SM_CYICON), LR_SHARED));
    frame.hIconSm = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                  LR_SHARED));
    frame.lpszClassName = Win32WindowLayer::FrameClass;
    RegisterClassExW(&frame);
    // A region: an invisible window that only reports clicks.
    WNDCLASSEXW region{};
    region.cbSize = sizeof region;
    region.lpfnWndProc = DefWindowProcW;
    region.hInstance = module;
    region.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    region.lpszClassName = Win32WindowLayer::RegionClass;
    RegisterClassExW(&region);
}
}  // namespace

bool isInputMessage(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_DROPFILES;
}

Win32WindowLayer::Win32WindowLayer() {
    initCommonControls();
    registerClasses();
}

Win32WindowLayer::~Win32WindowLayer() {
    if (waitCursor_) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

std::unique_ptr<Window> Win32WindowLayer::open(std::string_view resourceName, Window* owner) {
    const WindowStructure* structure = findWindowStructure(resourceName);
    if (!structure) return nullptr;
    Win32Window* below = dynamic_cast<Win32Window*>(owner);
    if (!below || !below->isOpen()) below = topWindow();
    auto window = std::make_unique<Win32Window>(*this, *structure, below);
    if (!window->frame() || !window->isOpen()) return nullptr;
    return window;
}

bool Win32WindowLayer::fileDialog(FileDialogRequest& request) {
    if (fileDialogAnswer_) return fileDialogAnswer_(request);
    Win32Window* top = topWindow();
    return runFileDialog(top ? top->frame() : nullptr, request);
}

int32_t Win32WindowLayer::popup(std::string_view items) {
    Win32Window* top = topWindow();
    POINT at{0, 0};
    if (top) {
        at = top->popupPlace();
    } else {
        GetCursorPos(&at);
    }
    if (popupAnswer_) return popupAnswer_(items, at);
    return runPopupMenu(top ? top->frame() : nullptr, items, at);
}

void Win32WindowLayer::setCursor(Cursor cursor) {
    const bool wait = cursor == Cursor::Wait;
    if (wait == waitCursor_) return;
    waitCursor_ = wait;
    // Shown now; the windows keep it while the mouse moves (WM_SETCURSOR).
    SetCursor(LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void Win32WindowLayer::followLists() {
    for (Win32Window* w : open_) w->followLists();
}

Win32Window* Win32WindowLayer::windowOf(HWND hwnd) const {
    if (!hwnd) return nullptr;
    HWND root = GetAncestor(hwnd, GA_ROOT);
    for (Win32Window* w : open_) {
        if (w->frame() == root) return w;
    }
    return nullptr;
}

void Win32WindowLayer::dispatch(MSG& msg) {
    if (Win32Window* target = windowOf(msg.hwnd)) {
        if (isInputMessage(msg.message) && target->refusesInput()) {
            if (msg.message == WM_DROPFILES) DragFinish(reinterpret_cast<HDROP>(msg.wParam));
            return;
        }
        if (target->preTranslate(msg)) return;
        if (IsDialogMessageW(target->frame(), &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32WindowLayer::dispatchPending() {
    MSG msg;
    for (int i = 0; i < 100000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        dispatch(msg);
    }
}

void Win32WindowLayer::opened(Win32Window* window, bool modal) {
    open_.push_back(window);
    if (modal) enableWindows();
}

void Win32WindowLayer::closed(Win32Window* window) {
    open_.erase(std::remove(open_.begin(), open_.end(), window), open_.end());
    enableWindows();
}

void Win32WindowLayer::enableWindows() {
    // Only the top window takes input.
    for (Win32Window* w : open_) {
        if (w->frame()) EnableWindow(w->frame(), w == topWindow());
    }
}

}  // namespace varnok::window::win32
