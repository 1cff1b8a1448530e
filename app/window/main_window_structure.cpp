#include "app/window/main_window_structure.h"

#include <algorithm>

namespace varnok::app {

namespace {

using window::ControlKind;
using window::ControlStructure;
using window::NoValue;

using window::makeControl;

}  // namespace

window::WindowStructure mainWindowStructure() {
    window::WindowStructure w;
    w.resourceName = MainWindowResource;
    w.label = "P1$WINDOW";
    w.title = "Remove Extensions";
    w.icon = "~varnok.ico";
    w.fontName = "MS Sans Serif";
    w.fontSize = 8;
    w.x = NoValue;
    w.y = NoValue;
    w.width = 420;
    w.height = 273;
    w.resizable = true;
    // One status zone across the bar: the counts line. The bar sits below
    // the client area, so the controls keep their places and the window
    // grows by the bar's height.
    w.statusZones = {-1};

    w.controls.push_back(makeControl(ControlKind::Group, use::Group1, "", 5, 6, 411, 45));
    w.controls.push_back(makeControl(ControlKind::Prompt, use::FileNamePrompt, "Txa File Name:", 9, 16));
    ControlStructure entry = makeControl(ControlKind::Entry, use::FileName, "", 61, 16, 327, 10);
    // The entry takes longer names than its variable holds (255
    // characters), so that Load can refuse one whole rather than the entry
    // cutting it as it is typed or pasted (file_name_field.h).
    entry.picture = "@s1023";
    w.controls.push_back(entry);
    w.controls.push_back(makeControl(ControlKind::Button, use::LookupFile, "...", 392, 15, 12, 12));
    w.controls.push_back(makeControl(ControlKind::Button, use::LoadButton, "Load", 115, 32, 89, 14));
    w.controls.push_back(makeControl(ControlKind::Button, use::ViewButton, "View", 215, 32, 89, 14));
    w.controls.push_back(makeControl(ControlKind::Group, use::Group2, "", 5, 54, 411, 214));
    ControlStructure list = makeControl(ControlKind::List, use::List, "", 9, 62, 401, 182);
    list.format = MainListFormat;
    w.controls.push_back(list);
    w.controls.push_back(makeControl(ControlKind::Button, use::SelectButton, "Select for removal", 9, 248, 139, 14));
    w.controls.push_back(makeControl(ControlKind::Button, use::RemoveButton, "Remove and Save", 271, 248, 139, 14));
    return w;
}

LineNumberLook lineNumberLook(uint32_t largestLineNumber) {
    constexpr int32_t kDigits = 6, kWidth = 30, kUnitsPerDigit = 4;
    int32_t digits = 1;
    for (uint32_t n = largestLineNumber; n >= 10; n /= 10) ++digits;
    digits = std::max(digits, kDigits);
    return {"@s" + std::to_string(digits), kWidth + (digits - kDigits) * kUnitsPerDigit};
}

std::array<int32_t, 6> mainListColumnWidths(int32_t listWidth, uint32_t largestLineNumber) {
    constexpr int32_t kTick = 12, kShares[3] = {130, 110, 80}, kShareTotal = 320;
    const int32_t numbers = lineNumberLook(largestLineNumber).width;
    const int32_t text = std::max(3 * MinTextColumn, listWidth - MainListFrame - kTick - 2 * numbers);
    std::array<int32_t, 6> widths{kTick, 0, 0, 0, numbers, numbers};
    int32_t given = 0;
    for (int i = 2; i >= 0; --i) {  // the Extension column takes what rounding leaves
        const int32_t share = i == 0 ? text - given : std::max(MinTextColumn, text * kShares[i] / kShareTotal);
        widths[static_cast<size_t>(i + 1)] = share;
        given += share;
    }
    widths[1] = std::max(MinTextColumn, widths[1]);
    return widths;
}

void registerMainWindow() { window::registerWindowStructure(mainWindowStructure()); }

}  // namespace varnok::app
