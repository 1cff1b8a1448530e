#include "framework/history/history_list_box.h"

#include "framework/windows/window_manager.h"
#include "window/events.h"

namespace varnok::framework {

HistoryListBox::HistoryListBox(WindowManager& manager, int32_t list, std::vector<HistoryRecord> history)
    : manager_(manager), list_(list), history_(std::move(history)) {}

uint8_t HistoryListBox::OnEvent() {
    window::Window* w = manager_.MyWindow;
    if (!w || manager_.currentEvent().number != window::event::OpenWindow) return LevelQuiet;
    w->bindList(list_, this);
    columns_ = w->propertyNumber(list_, window::prop::ColumnCount);
    // The newest message is highlighted; the focus stays with the default
    // button, which the window gave it just before.
    if (!history_.empty()) w->setProperty(list_, window::prop::Selected, rowCount());
    return LevelQuiet;
}

void HistoryListBox::ShowData() {
    if (manager_.MyWindow) manager_.MyWindow->display(list_);
}

std::string HistoryListBox::fieldText(int32_t row, int field) {
    if (row < 1 || row > rowCount()) return {};
    const HistoryRecord& entry = history_[static_cast<size_t>(row - 1)];
    switch (field) {
    case 1: return entry.Txt;
    case 2: return entry.Category;
    default: return {};
    }
}

}  // namespace varnok::framework
