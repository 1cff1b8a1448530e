#include "window/popup_items.h"

namespace varnok::window {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::vector<PopupItem> parsePopupItems(std::string_view items) {
    std::vector<PopupItem> parsed;
    if (items.empty()) return parsed;
    int number = 0;
    for (;;) {
        const size_t bar = items.find('|');
        std::string_view text = items.substr(0, bar);
        PopupItem item;
        if (trimmed(text) == "-") {
            item.separator = true;
        } else {
            while (!text.empty() && (text.front() == '~' || text.front() == '+')) {
                (text.front() == '~' ? item.disabled : item.checked) = true;
                text.remove_prefix(1);
            }
            item.text = std::string(text);
            item.number = ++number;
        }
        parsed.push_back(std::move(item));
        if (bar == std::string_view::npos) break;
        items.remove_prefix(bar + 1);
    }
    return parsed;
}

int32_t popupChoiceNumber(const std::vector<PopupItem>& items, int command) {
    if (command <= 0) return 0;
    for (const PopupItem& item : items)
        if (!item.separator && item.number == command) return item.disabled ? 0 : command;
    return 0;
}

}  // namespace varnok::window
