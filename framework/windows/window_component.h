// WindowComponent: a part of a window that the window manager
// (framework/windows/window_manager.h) resets, refreshes and asks about every
// event, in the order the components were registered. A component is not
// owned by the manager; the manager calls Release once when it is released
// itself, and never touches the component afterwards.
//
// Operations, in slot order:
//   Release        the window is going; drop what the component holds
//   Refresh        reload its data; force: even if nothing seems changed
//   NeedsRefresh   true when its data changed behind the window's back
//   RegisterAlerts register the keys it wants as EVENT:AlertKey
//   OnEvent        its handling of the manager's current event, a level
//                  (framework/errors/levels.h): LevelQuiet go on, LevelFatal
//                  end the event loop, LevelNotify handled (the components
//                  after it and the layer's default processing skip it)
//   StoreControls  copy control contents back into its data
//   ShowData       show its data in the window
//
// PrimaryBufferComponent adds four operations for components that read
// records of the window's primary file while refreshing: the manager saves
// the primary record buffer around their Refresh when they ask for it, and
// gives it back afterwards when they ask for that.
#pragma once
#include <cstdint>

#include "framework/errors/levels.h"

namespace varnok::framework {

class WindowComponent {
public:
    virtual ~WindowComponent() = default;
    virtual void Release() = 0;
    virtual void Refresh(bool force) = 0;
    virtual bool NeedsRefresh() = 0;
    virtual void RegisterAlerts() = 0;
    virtual uint8_t OnEvent() = 0;
    virtual void StoreControls() = 0;
    virtual void ShowData() = 0;
};

class PrimaryBufferComponent : public WindowComponent {
public:
    // True when the primary buffer must be saved before Refresh.
    virtual bool PrimaryBufferSaveRequired() = 0;
    // The buffer was saved.
    virtual void PrimaryBufferSaved() = 0;
    // True when the saved buffer must be given back after Refresh.
    virtual bool PrimaryBufferRestoreRequired() = 0;
    // The buffer was given back.
    virtual void PrimaryBufferRestored() = 0;
};

}  // namespace varnok::framework
