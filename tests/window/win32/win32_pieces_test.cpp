// The Win32 layer's smaller pieces: alert codes, entry lengths, icon names,
// the drawn check boxes, the window font and its fallback, texts at the
// UTF-16 boundary, and the wait cursor.
#include "tests/window/win32/win32_test_support.h"

#include <gtest/gtest.h>

#include "window/message_box.h"
#include "window/win32/icons_win32.h"
#include "window/win32/win32_text.h"
#include "window/win32/window_font_win32.h"

namespace varnok::window::win32 {
namespace {

TEST(Win32Pieces, AlertCodesAddTheModifierBitsAsTheQtLayerDoes) {
    struct Case {
        uint32_t base;
        bool shift, ctrl, alt;
        uint32_t code;
    };
    const Case cases[] = {{key::Enter, false, false, false, 13},  {key::Enter, true, false, false, 0x10D},
                          {key::Enter, false, true, false, 0x20D}, {key::Enter, false, false, true, 0x40D},
                          {key::MouseRight, true, true, true, 0x702}, {key::MouseLeft2, false, true, false, 0x205}};
    for (const Case& c : cases) EXPECT_EQ(alertCode(c.base, c.shift, c.ctrl, c.alt), c.code);
}

TEST(Win32Pieces, IconNamesNameResourcesOrStockIcons) {
    EXPECT_EQ(iconResourceName("~boxon.ico"), L"BOXON");
    EXPECT_EQ(iconResourceName("~VarNok.ICO"), L"VARNOK");
    EXPECT_EQ(iconResourceName("~plain"), L"PLAIN");
    EXPECT_EQ(iconResourceName("boxon.ico"), L"");
    EXPECT_EQ(stockIconNumber(IconHand), 32513);
    EXPECT_EQ(stockIconNumber(IconInformation), 32516);
    EXPECT_EQ(stockIconNumber("~boxon.ico"), -1);
    for (const std::string& name : {IconHand, IconQuestion, IconExclamation, IconInformation, stockIcon(32512),
                                    std::string("~boxon.ico"), std::string("~boxoff.ico"), std::string("~varnok.ico")})
        EXPECT_NE(namedIcon(name, 16), nullptr);
    EXPECT_EQ(namedIcon("~nosuchicon.ico", 16), nullptr);
}

// The icon drawn on white, top row first.
std::vector<uint32_t> drawn(HICON icon) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TEST(Win32Pieces, TheDrawnCheckBoxesAreABoxAndATickedBox) {
    const std::vector<uint32_t> off = drawn(drawnCheckBox(false)), on = drawn(drawnCheckBox(true));
    auto dark = [](uint32_t p) { return GetRValue(p) < 0x40 && GetGValue(p) < 0x40 && GetBValue(p) < 0x40; };
    // The border: grey on every side; outside it, the background.
    for (int i = 1; i < 15; ++i) {
        EXPECT_NE(off[1 * 16 + i], 0xFFFFFFu);
        EXPECT_NE(off[i * 16 + 14], 0xFFFFFFu);
    }
    EXPECT_EQ(off[0], RGB(255, 255, 255));
    EXPECT_EQ(off[8 * 16 + 8], RGB(255, 255, 255));  // empty inside
    int tick = 0;
    for (int y = 3; y < 13; ++y)
        for (int x = 3; x < 13; ++x) tick += dark(on[y * 16 + x]) ? 1 : 0;
    EXPECT_GT(tick, 8);
}

TEST(Win32Pieces, AMissingFontFaceGivesTheDesktopsDialogFont) {
    // The structures' font when the system has it (this Wine has no
    // "MS Sans Serif"), else the desktop's.
    NONCLIENTMETRICSW desktop{};
    desktop.cbSize = sizeof desktop;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof desktop, &desktop, 0);
    HFONT structures = createWindowFont("MS Sans Serif", 8);
    LOGFONTW own{};
    GetObjectW(structures, sizeof own, &own);
    EXPECT_STREQ(own.lfFaceName, fontFaceExists(L"MS Sans Serif") ? L"MS Sans Serif" : desktop.lfMessageFont.lfFaceName);
    DeleteObject(structures);
    EXPECT_FALSE(fontFaceExists(L"No Such Face At All"));
    HFONT missing = createWindowFont("No Such Face At All", 8);
    LOGFONTW got{};
    GetObjectW(missing, sizeof got, &got);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    EXPECT_STREQ(got.lfFaceName, metrics.lfMessageFont.lfFaceName);
    const DialogBase base = dialogBase(missing);
    EXPECT_GE(base.averageWidth, 4);
    EXPECT_GE(base.height, 8);
    DeleteObject(missing);
}

TEST(Win32Pieces, TextsCrossTheBoundaryAsUtf16) {
    EXPECT_EQ(programWide("plain"), L"plain");
    EXPECT_EQ(programWide("Caf\xC3\xA9"), L"Caf\u00E9");
    EXPECT_EQ(programWide("Caf\xE9"), L"Caf\u00E9");  // not UTF-8: Windows-1252
    EXPECT_EQ(cp1252Wide("\x80 \xE9"), L"\u20AC \u00E9");
    EXPECT_EQ(wideProgram(L"Caf\u00E9 \u20AC"), "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(Win32Pieces, TheWaitCursorHoldsOverEveryWindowOfTheLayer) {
    Win32WindowLayer layer;
    WindowStructure s;
    s.resourceName = "test$cursor";
    s.width = 100;
    s.height = 50;
    s.controls.push_back(makeControl(ControlKind::Button, "?B", "B", 5, 5, 40, 14));
    registerWindowStructure(s);
    std::unique_ptr<Window> w = layer.open("test$cursor", nullptr);
    ASSERT_TRUE(w);
    auto& window = static_cast<Win32Window&>(*w);
    layer.setCursor(Cursor::Wait);
    EXPECT_TRUE(layer.waitCursor());
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    EXPECT_TRUE(SendMessageW(window.frame(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.controlWindow(1)), overClient));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    layer.setCursor(Cursor::Normal);
    EXPECT_FALSE(layer.waitCursor());
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    w->close();
}

}  // namespace
}  // namespace varnok::window::win32
