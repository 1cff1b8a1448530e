#include "window/win32/icons_win32.h"

#include <algorithm>
#include <cctype>

namespace varnok::window::win32 {

namespace {
constexpr int StockApplication = 32512;
constexpr int StockHand = 32513;
constexpr int StockQuestion = 32514;
constexpr int StockExclamation = 32515;
constexpr int StockAsterisk = 32516;

HICON makeCheckBox(bool ticked) {
    constexpr int side = 16;
    HDC screen = GetDC(nullptr);
    HDC colorDc = CreateCompatibleDC(screen);
    HDC maskDc = CreateCompatibleDC(screen);
    HBITMAP color = CreateCompatibleBitmap(screen, side, side);
    HBITMAP mask = CreateBitmap(side, side, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldColor = SelectObject(colorDc, color);
    HGDIOBJ oldMask = SelectObject(maskDc, mask);
    // Outside the box: transparent (mask 1 over black).
    RECT all{0, 0, side, side};
    FillRect(colorDc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(maskDc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT box{1, 1, 15, 15};
    FillRect(maskDc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HPEN border = CreatePen(PS_SOLID, 1, RGB(0x5a, 0x5a, 0x5a));
    HGDIOBJ oldPen = SelectObject(colorDc, border);
    HGDIOBJ oldBrush = SelectObject(colorDc, GetStockObject(WHITE_BRUSH));
    Rectangle(colorDc, box.left, box.top, box.right, box.bottom);
    if (ticked) {
        HPEN tick = CreatePen(PS_SOLID, 2, RGB(0x1b, 0x1b, 0x1b));
        SelectObject(colorDc, tick);
        const POINT points[] = {{4, 8}, {7, 11}, {12, 4}};
        Polyline(colorDc, points, 3);
        SelectObject(colorDc, border);
        DeleteObject(tick);
    }
    SelectObject(colorDc, oldBrush);
    SelectObject(colorDc, oldPen);
    DeleteObject(border);
    SelectObject(colorDc, oldColor);
    SelectObject(maskDc, oldMask);
    DeleteDC(colorDc);
    DeleteDC(maskDc);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}
}  // namespace

int stockIconNumber(std::string_view code) {
    if (code.size() != 4 || static_cast<unsigned char>(code[0]) != 0xFF || static_cast<unsigned char>(code[1]) != 0x01)
        return -1;
    const int number = static_cast<unsigned char>(code[2]) | (static_cast<unsigned char>(code[3]) << 8);
    return number - 1;
}

std::wstring iconResourceName(std::string_view name) {
    std::string file = lower(name);
    if (file.empty() || file.front() != '~') return std::wstring();
    file.erase(0, 1);
    if (file.size() > 4 && file.compare(file.size() - 4, 4, ".ico") == 0) file.resize(file.size() - 4);
    std::wstring resource;
    for (char c : file) resource.push_back(static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(c))));
    return resource;
}

HICON drawnCheckBox(bool ticked) {
    static HICON on = nullptr, off = nullptr;
    HICON& icon = ticked ? on : off;
    if (!icon) icon = makeCheckBox(ticked);
    return icon;
}

HICON namedIcon(std::string_view name, int size) {
    const int stock = stockIconNumber(name);
    if (stock >= 0) {
        const wchar_t* id = nullptr;
        switch (stock) {
        case StockApplication: id = IDI_APPLICATION; break;
        case StockHand: id = IDI_HAND; break;
        case StockQuestion: id = IDI_QUESTION; break;
        case StockExclamation: id = IDI_EXCLAMATION; break;
        case StockAsterisk: id = IDI_ASTERISK; break;
        default: return nullptr;
        }
        if (stock == StockApplication) {
            if (HICON own = namedIcon("~varnok.ico", size)) return own;
        }
        return static_cast<HICON>(LoadImageW(nullptr, id, IMAGE_ICON, size, size, LR_SHARED));
    }
    const std::wstring resource = iconResourceName(name);
    if (resource.empty()) return nullptr;
    HINSTANCE module = GetModuleHandleW(nullptr);
    if (HICON icon = static_cast<HICON>(LoadImageW(module, resource.c_str(), IMAGE_ICON, size, size, LR_SHARED)))
        return icon;
    if (resource == L"BOXON") return drawnCheckBox(true);
    if (resource == L"BOXOFF") return drawnCheckBox(false);
    if (resource == L"VARNOK") {
        // The program's icon: its first icon resource, else the system's.
        if (HICON first = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_SHARED)))
            return first;
        return static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, size, size, LR_SHARED));
    }
    return nullptr;
}

HIMAGELIST buildIconList(const std::vector<std::string>& names, int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, static_cast<int>(names.size()) + 1, 4);
    if (!list) return nullptr;
    // Each image is drawn on a key colour that the mask makes transparent.
    const COLORREF key = RGB(255, 0, 255);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBRUSH keyBrush = CreateSolidBrush(key);
    const int side = std::min({16, width, height});
    for (const std::string& name : names) {
        HBITMAP image = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = SelectObject(dc, image);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, keyBrush);
        if (HICON icon = name.empty() ? nullptr : namedIcon(name, 16))
            DrawIconEx(dc, (width - side) / 2, (height - side) / 2, icon, side, side, 0, nullptr, DI_NORMAL);
        SelectObject(dc, old);
        ImageList_AddMasked(list, image, key);
        DeleteObject(image);
    }
    DeleteObject(keyBrush);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return list;
}

}  // namespace varnok::window::win32
