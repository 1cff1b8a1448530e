#include "platform/drag_full_windows.h"

#include <atomic>

namespace varnok::platform {

namespace {

std::atomic<DragFullWindowsSetting*> current{nullptr};

}  // namespace

DragFullWindowsSetting& dragFullWindowsSetting() {
    DragFullWindowsSetting* s = current.load();
    return s ? *s : systemDragFullWindowsSetting();
}

DragFullWindowsSetting* setDragFullWindowsSetting(DragFullWindowsSetting* setting) {
    DragFullWindowsSetting* previous = current.exchange(setting);
    return previous ? previous : &systemDragFullWindowsSetting();
}

}  // namespace varnok::platform
