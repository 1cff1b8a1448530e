#include "window/win32/window_font_win32.h"

#include <algorithm>

#include "window/win32/win32_text.h"

namespace varnok::window::win32 {

namespace {
int CALLBACK foundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

int pixelsPerInchY() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}
}  // namespace

bool fontSubstituted(const std::wstring& face) {
    // The font mapper's own substitutes ("MS Sans Serif" on a system that
    // draws it with another face), which a dialog in that font also gets.
    DWORD size = 0;
    return RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                        face.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

bool fontFaceExists(const std::wstring& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    if (fontSubstituted(face)) return true;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, face.size());
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, foundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

HFONT createWindowFont(const std::string& face, int32_t pointSize) {
    const std::wstring name = programWide(face);
    LOGFONTW font{};
    if (fontFaceExists(name)) {
        name.copy(font.lfFaceName, name.size());
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfWeight = FW_NORMAL;
        font.lfHeight = -MulDiv(pointSize > 0 ? pointSize : 8, pixelsPerInchY(), 72);
    } else {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font = metrics.lfMessageFont;
        // Never smaller than the structure asks for.
        const LONG wanted = -MulDiv(pointSize > 0 ? pointSize : 8, pixelsPerInchY(), 72);
        if (font.lfHeight < 0 && wanted < font.lfHeight) font.lfHeight = wanted;
    }
    HFONT created = CreateFontIndirectW(&font);
    return created ? created : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

SIZE textExtent(HFONT font, const std::wstring& text) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    SIZE size{0, 0};
    GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    size.cy = std::max<LONG>(size.cy, metrics.tmHeight);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return size;
}

DialogBase dialogBase(HFONT font) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    const std::wstring sample(kAverageWidthSample.begin(), kAverageWidthSample.end());
    SIZE size{0, 0};
    GetTextExtentPoint32W(screen, sample.c_str(), static_cast<int>(sample.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DialogBase base;
    base.averageWidth = std::max(1, averageCharWidth(size.cx));
    base.height = std::max<int32_t>(1, metrics.tmHeight);
    return base;
}

}  // namespace varnok::window::win32
