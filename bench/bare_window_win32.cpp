// varnok_bare_window_win32: the baseline of the Windows start-up benchmark
// (bench/windows_bench.sh), a bare Win32 window titled "Bare Window" with the
// main window's frame style and client size, shown as soon as the process
// runs, and nothing else: no controls, no resources, no common controls.
//
//   varnok_bare_window_win32.exe [WIDTH HEIGHT]
//
// WIDTH and HEIGHT are the client area in pixels; by default those of
// "Remove Extensions" under Wine at 96 dots per inch (420 x 273 dialog units
// in its font, with the status bar), as varnok_gui_bench_win32 measures them.
#include <windows.h>

#include <cstdlib>

namespace {

constexpr int DefaultWidth = 735;
constexpr int DefaultHeight = 464;

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    int width = DefaultWidth, height = DefaultHeight;
    if (__argc == 3) {
        width = std::atoi(__argv[1]);
        height = std::atoi(__argv[2]);
    }
    if (width <= 0 || height <= 0) return 2;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    if (!RegisterClassExW(&windowClass)) return 1;

    // The main window's style: resizable, with minimise and maximise boxes.
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND hwnd = CreateWindowExW(0, windowClass.lpszClassName, L"Bare Window", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
