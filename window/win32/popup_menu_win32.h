// Popup menus of the Windows window layer: the system's popup menu
// (CreatePopupMenu, AppendMenuW, TrackPopupMenu), from the items
// window/popup_items.h reads out of an item text, the parser every window
// layer shares.
//
// Each item's command id is its number; a separator is MF_SEPARATOR, a
// greyed item MF_GRAYED, a checked one MF_CHECKED; "&" marks the access
// key, as the system's menus read it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "window/popup_items.h"

namespace varnok::window::win32 {

// A popup menu holding the items (nullptr when the system has none to
// give); the caller destroys it with DestroyMenu.
HMENU buildPopupMenu(const std::vector<PopupItem>& items);

// Tests: answers in the user's place. Gets the menu as it would be shown,
// and where (screen pixels), and returns the command TrackPopupMenu would
// (0: nothing chosen). Returns the previous answer; an empty one shows the
// menus.
using PopupAnswer = std::function<int(HMENU menu, POINT screenAt)>;
PopupAnswer answerPopups(PopupAnswer answer);

// Shows the items as a popup menu at `screenAt`, owned by `owner` (the
// calling thread's active window when nullptr, or a hidden window of its
// own when there is none), and returns the chosen item's number, 0 when
// nothing was chosen or there are no items.
int32_t runPopupMenu(HWND owner, std::string_view items, POINT screenAt);

}  // namespace varnok::window::win32
