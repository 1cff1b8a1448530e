// Popup menus as QMenus, from the items window/popup_items.h reads out of
// an item text (the parser every window layer shares).
#pragma once
#include <vector>

#include "window/popup_items.h"

class QMenu;
class QAction;

namespace varnok::window::qt {

// Fills the menu; each item's action carries its number as data.
void buildPopupMenu(QMenu& menu, const std::vector<PopupItem>& items);
// The number of a chosen action; 0 for none, a separator or a greyed item.
int popupChoice(const QAction* chosen);

}  // namespace varnok::window::qt
