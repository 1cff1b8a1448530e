// HistoryListBox: the list of the errors history window, a window component
// (framework/windows/window_component.h) over a private copy of the error
// manager's history, taken once when the window is made; the window never
// holds the manager's lock.
//
// The list is virtual: when the window opens, the component binds itself as
// the list's source (window::ListSource), reads the number of columns the
// list has and highlights the newest message (the last row). Row n answers
// entry n of the copy: column 1 its text (Txt), column 2 its category,
// any other column the empty text. The copy never changes while the window
// is open, so the list's change stamp stays still.
//
// As a component it does nothing on Release, Refresh, RegisterAlerts and
// StoreControls, never needs a refresh, and redisplays the list on ShowData.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/errors/error_records.h"
#include "framework/windows/window_component.h"
#include "window/list_source.h"

namespace varnok::framework {

class WindowManager;

class HistoryListBox : public WindowComponent, public window::ListSource {
public:
    // `manager` runs the window the list is in; `list` is the list's control.
    HistoryListBox(WindowManager& manager, int32_t list, std::vector<HistoryRecord> history);

    void Release() override {}
    void Refresh(bool) override {}
    bool NeedsRefresh() override { return false; }
    void RegisterAlerts() override {}
    uint8_t OnEvent() override;
    void StoreControls() override {}
    void ShowData() override;

    int32_t rowCount() override { return static_cast<int32_t>(history_.size()); }
    std::string fieldText(int32_t row, int field) override;
    uint32_t changeStamp() override { return 1; }

    // The number of columns the list reported when the window opened.
    int32_t columns() const { return columns_; }
    const std::vector<HistoryRecord>& history() const { return history_; }

private:
    WindowManager& manager_;
    int32_t list_;
    std::vector<HistoryRecord> history_;  // the private copy, oldest first
    int32_t columns_ = 0;
};

}  // namespace varnok::framework
