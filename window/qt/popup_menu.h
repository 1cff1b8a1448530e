// Popup menus from an item text: items separated by "|", numbered 1, 2, ...
// in order. An item "-" is a separator line and takes no number; a leading
// "~" shows an item greyed out (it cannot be chosen), a leading "+" shows it
// checked. "&" marks the item's access key.
//
//   "&Copy|-|+Wrap lines|~Paste"   1 Copy, 2 Wrap lines (checked), 3 Paste (greyed)
#pragma once
#include <QString>
#include <string_view>
#include <vector>

class QMenu;
class QAction;

namespace varnok::window::qt {

struct PopupItem {
    QString text;
    int number = 0;  // 0 for a separator
    bool separator = false;
    bool disabled = false;
    bool checked = false;
};

std::vector<PopupItem> parsePopupItems(std::string_view items);
// Fills the menu; each item's action carries its number as data.
void buildPopupMenu(QMenu& menu, const std::vector<PopupItem>& items);
// The number of a chosen action; 0 for none, a separator or a greyed item.
int popupChoice(const QAction* chosen);

}  // namespace varnok::window::qt
