#include "window/win32/popup_menu_win32.h"

#include "window/win32/message_presenter_win32.h"
#include "window/win32/win32_text.h"

namespace varnok::window::win32 {

namespace {

PopupAnswer& currentAnswer() {
    static PopupAnswer answer;
    return answer;
}

// A menu needs a window to send its messages to; without any, a hidden one
// for as long as the menu is open.
struct MenuOwner {
    HWND window = nullptr;
    bool own = false;
    explicit MenuOwner(HWND given) : window(given ? given : GetActiveWindow()) {
        if (!window) {
            window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
            own = window != nullptr;
        }
    }
    ~MenuOwner() {
        if (own) DestroyWindow(window);
    }
    MenuOwner(const MenuOwner&) = delete;
    MenuOwner& operator=(const MenuOwner&) = delete;
};

}  // namespace

HMENU buildPopupMenu(const std::vector<PopupItem>& items) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    for (const PopupItem& item : items) {
        if (item.separator) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (item.disabled) flags |= MF_GRAYED;
        if (item.checked) flags |= MF_CHECKED;
        const std::wstring text = programWide(item.text);
        AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.number), text.c_str());
    }
    return menu;
}

PopupAnswer answerPopups(PopupAnswer answer) {
    PopupAnswer previous = std::move(currentAnswer());
    currentAnswer() = std::move(answer);
    return previous;
}

int32_t runPopupMenu(HWND owner, std::string_view items, POINT screenAt) {
    const std::vector<PopupItem> parsed = parsePopupItems(items);
    if (parsed.empty()) return 0;
    HMENU menu = buildPopupMenu(parsed);
    if (!menu) return 0;
    int command = 0;
    if (currentAnswer()) {
        command = currentAnswer()(menu, screenAt);
    } else {
        MenuOwner window(owner);
        if (window.window)
            command = static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                                      screenAt.x, screenAt.y, 0, window.window, nullptr));
    }
    DestroyMenu(menu);
    return popupChoiceNumber(parsed, command);
}

}  // namespace varnok::window::win32
