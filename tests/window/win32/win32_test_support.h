// Helpers of the Win32 layer's tests (under Wine on a virtual X display):
// taking events from a window without waiting forever, handling what was
// posted the way the accept loop does, and pictures of windows as BMP
// files under build/screenshots/windows/.
#pragma once
#include "window/win32/win32_window.h"
#include "window/win32/win32_window_layer.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/window/event_noise.h"
#include "window/events.h"

namespace varnok::window::win32::testing {

inline constexpr uint16_t kTimeout = 0x7FFF;

inline Window*& timeoutTarget() {
    static Window* target = nullptr;
    return target;
}

inline void CALLBACK postTimeout(HWND, UINT, UINT_PTR, DWORD) {
    if (Window* w = timeoutTarget()) w->post(kTimeout);
}

// The next event within the time given; false when none came (a thread
// timer posts a marker, which is then consumed).
inline bool nextEventWithin(Window& window, Event& event, UINT milliseconds = 5000) {
    timeoutTarget() = &window;
    const UINT_PTR timer = SetTimer(nullptr, 0, milliseconds, postTimeout);
    const bool got = window.nextEvent(event);
    KillTimer(nullptr, timer);
    timeoutTarget() = nullptr;
    return got && event.number != kTimeout;
}

// Handles every message waiting (what the test posted or sent), then takes
// every queued event of the window.
inline std::vector<Event> drainEvents(Win32WindowLayer& layer, Win32Window& window) {
    layer.dispatchPending();
    std::vector<Event> events;
    Event e;
    while (window.isOpen() && window.queuedEvents() > 0 && window.nextEvent(e)) events.push_back(e);
    return events;
}

// Writes 32-bit pixels (top row first, 0x00RRGGBB) as a bottom-up 24-bit BMP.
inline bool writeBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    std::vector<uint8_t> file(54 + imageBytes, 0);
    auto put16 = [&](size_t at, uint16_t v) { file[at] = v & 0xFF; file[at + 1] = v >> 8; };
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = (v >> (8 * i)) & 0xFF;
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, imageBytes);
    for (int y = 0; y < height; ++y) {
        const size_t row = 54 + static_cast<size_t>(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            file[row + 3 * x] = p & 0xFF;
            file[row + 3 * x + 1] = (p >> 8) & 0xFF;
            file[row + 3 * x + 2] = (p >> 16) & 0xFF;
        }
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

// The window's client area as drawn, top row first. (Its frame is the
// window manager's, which Wine leaves to it.)
inline std::vector<uint32_t> capture(HWND hwnd, int& width, int& height) {
    RECT r{};
    GetClientRect(hwnd, &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
    std::vector<uint32_t> pixels;
    if (width <= 0 || height <= 0) return pixels;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // Every control as drawn (PrintWindow under Wine draws the window's
    // background only).
    HDC window = GetDC(hwnd);
    BitBlt(dc, 0, 0, width, height, window, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, window);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    pixels.assign(p, p + static_cast<size_t>(width) * static_cast<size_t>(height));
    for (uint32_t& px : pixels) px &= 0x00FFFFFF;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

inline std::string screenshotPath(const std::string& name) {
    const std::string folder = VARNOK_SCREENSHOT_DIR;
    CreateDirectoryA(folder.substr(0, folder.find_last_of('/')).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "/" + name;
}

inline bool saveScreenshot(HWND hwnd, const std::string& name) {
    int width = 0, height = 0;
    const std::vector<uint32_t> pixels = capture(hwnd, width, height);
    return writeBmp(screenshotPath(name + ".bmp"), width, height, pixels);
}

}  // namespace varnok::window::win32::testing
