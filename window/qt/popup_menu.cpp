#include "window/qt/popup_menu.h"

#include <QAction>
#include <QMenu>

#include "window/qt/program_text.h"

namespace varnok::window::qt {

void buildPopupMenu(QMenu& menu, const std::vector<PopupItem>& items) {
    for (const PopupItem& item : items) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(fromProgram(item.text));
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
