#include "platform/drag_full_windows.h"

namespace varnok::platform {

namespace {

// No counterpart on this desktop: off, and not to be changed.
class StandIn : public DragFullWindowsSetting {
public:
    bool get() override { return false; }
    bool set(bool) override { return false; }
};

}  // namespace

DragFullWindowsSetting& systemDragFullWindowsSetting() {
    static StandIn standIn;
    return standIn;
}

}  // namespace varnok::platform
