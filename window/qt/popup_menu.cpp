#include "window/qt/popup_menu.h"

#include <QAction>
#include <QMenu>

#include "window/qt/program_text.h"

namespace varnok::window::qt {

std::vector<PopupItem> parsePopupItems(std::string_view items) {
    std::vector<PopupItem> parsed;
    if (items.empty()) return parsed;
    int number = 0;
    for (QString text : fromProgram(items).split('|')) {
        PopupItem item;
        if (text.trimmed() == "-") {
            item.separator = true;
            parsed.push_back(item);
            continue;
        }
        while (!text.isEmpty() && (text.front() == '~' || text.front() == '+')) {
            (text.front() == '~' ? item.disabled : item.checked) = true;
            text.remove(0, 1);
        }
        item.text = text;
        item.number = ++number;
        parsed.push_back(item);
    }
    return parsed;
}

void buildPopupMenu(QMenu& menu, const std::vector<PopupItem>& items) {
    for (const PopupItem& item : items) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(item.text);
        action->setData(item.number);
        action->setEnabled(!item.disabled);
        if (item.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

int popupChoice(const QAction* chosen) {
    if (!chosen || chosen->isSeparator() || !chosen->isEnabled()) return 0;
    bool ok = false;
    const int number = chosen->data().toInt(&ok);
    return ok ? number : 0;
}

}  // namespace varnok::window::qt
