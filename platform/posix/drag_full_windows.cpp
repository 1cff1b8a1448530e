#include "platform/drag_full_windows.h"

#include <atomic>

namespace varnok::platform {

namespace {

// No counterpart on this desktop: off, and not to be changed.
class StandIn : public DragFullWindowsSetting {
public:
    bool get() override { return false; }
    bool set(bool) override { return false; }
};

StandIn standIn;
std::atomic<DragFullWindowsSetting*> current{nullptr};

}  // namespace

DragFullWindowsSetting& dragFullWindowsSetting() {
    DragFullWindowsSetting* s = current.load();
    return s ? *s : standIn;
}

DragFullWindowsSetting* setDragFullWindowsSetting(DragFullWindowsSetting* setting) {
    DragFullWindowsSetting* previous = current.exchange(setting);
    return previous ? previous : &standIn;
}

}  // namespace varnok::platform
