// The desktop setting that shows a window's contents while it is dragged.
//
// On Windows it is the system's own setting (SystemParametersInfo with
// SPI_GETDRAGFULLWINDOWS and SPI_SETDRAGFULLWINDOWS): a change is made for
// the user, stored in the user's profile and announced to every window.
//
// The Linux desktop has no such setting of its own: how a window looks
// while it moves is the window manager's business, which a program cannot
// change. There a stand-in reports the setting off and refuses to change it,
// so a program that switches it off while it runs and back on at its end
// never touches anything.
//
// Tests put a setting of their own in its place (setDragFullWindowsSetting)
// to check what a program does when the setting is on.
#pragma once

namespace varnok::platform {

class DragFullWindowsSetting {
public:
    virtual ~DragFullWindowsSetting() = default;
    // True when windows show their contents while dragged.
    virtual bool get() = 0;
    // Switches the setting for the user; false when it cannot be changed.
    virtual bool set(bool on) = 0;
};

// The system's setting (the stand-in on Linux).
DragFullWindowsSetting& systemDragFullWindowsSetting();
// The current setting: the system's until another is installed.
DragFullWindowsSetting& dragFullWindowsSetting();
// Installs a setting (not owned) and returns the previous one; nullptr goes
// back to the system's.
DragFullWindowsSetting* setDragFullWindowsSetting(DragFullWindowsSetting* setting);

inline bool dragFullWindows() { return dragFullWindowsSetting().get(); }
inline bool setDragFullWindows(bool on) { return dragFullWindowsSetting().set(on); }

}  // namespace varnok::platform
