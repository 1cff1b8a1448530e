// Popup menu items from an item text, shared by every window layer: items
// separated by "|", numbered 1, 2, ... in order. An item "-" (spaces around
// it allowed) is a separator line and takes no number; leading "~" and "+"
// marks, in any order, show an item greyed out (it cannot be chosen) and
// checked. "&" marks the item's access key, as each toolkit's menus read it
// ("&&" a plain "&"); the text is kept as given.
//
//   "&Copy|-|+Wrap lines|~Paste"   1 Copy, 2 Wrap lines (checked), 3 Paste (greyed)
//
// An empty text has no items; "a||b" has three, the second with no text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnok::window {

struct PopupItem {
    std::string text;  // the program's bytes, marks removed
    int number = 0;    // 0 for a separator
    bool separator = false;
    bool disabled = false;
    bool checked = false;
};

std::vector<PopupItem> parsePopupItems(std::string_view items);
// The item number a menu's command answers: `command` when it is the number
// of an item that can be chosen, else 0 (nothing chosen).
int32_t popupChoiceNumber(const std::vector<PopupItem>& items, int command);

}  // namespace varnok::window
