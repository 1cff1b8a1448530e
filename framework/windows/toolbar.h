// Toolbar: the window's browse and form navigation buttons. The window
// manager hands it every accepted control first, tells it when a tab sheet
// changed its selection, and kills it when the window is released.
//   Init          attach to the window (WindowManager::AttachToolbar)
//   TakeEvent     the accepted event; `navigationRequest` is the window's
//                 VCRRequest (may be nullptr), which the toolbar may set
//   OnNewSelection a tab sheet's selection changed
//   Kill          the window is going
// The recall button of a toolbar has the control number RecallButton.
#pragma once
#include <cstdint>

#include "window/window_layer.h"

namespace varnok::framework {

class Toolbar {
public:
    static constexpr int32_t RecallButton = 3012;

    virtual ~Toolbar() = default;
    virtual void Init() = 0;
    virtual void TakeEvent(const window::Event& event, int32_t* navigationRequest) = 0;
    virtual void OnNewSelection() = 0;
    virtual void Kill() = 0;
};

}  // namespace varnok::framework
