#include "platform/drag_full_windows.h"

#include <windows.h>

namespace varnok::platform {

namespace {

class SystemSetting : public DragFullWindowsSetting {
public:
    bool get() override {
        BOOL on = FALSE;
        return ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &on, 0) && on;
    }
    // For the user: stored in the user's profile and announced to every
    // top-level window, as the desktop's own settings page does.
    bool set(bool on) override {
        return ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, on ? TRUE : FALSE, nullptr,
                                       SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != 0;
    }
};

}  // namespace

DragFullWindowsSetting& systemDragFullWindowsSetting() {
    static SystemSetting setting;
    return setting;
}

}  // namespace varnok::platform
