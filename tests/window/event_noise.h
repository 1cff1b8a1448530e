// The events a test of a window layer looks past: the window's place, size,
// activation and focus, and list selections, which the desktop brings about
// on its own schedule.
#pragma once
#include <vector>

#include "window/events.h"
#include "window/window_layer.h"

namespace varnok::window {

inline std::vector<Event> withoutNoise(const std::vector<Event>& events) {
    std::vector<Event> kept;
    for (const Event& e : events) {
        switch (e.number) {
        case event::Sized:
        case event::Moved:
        case event::GainFocus:
        case event::LoseFocus:
        case event::Selected: break;
        default: kept.push_back(e);
        }
    }
    return kept;
}

}  // namespace varnok::window
