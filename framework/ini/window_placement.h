// WindowPlacement: a window's position, size and state as the INI manager
// stores it under the section of the window's procedure. NoValue
// (INT32_MIN) in X, Y, W or H means the field holds no value: the window
// was maximized or minimized when saved, or cannot be resized, and the
// entry is absent from the store. Got tells whether a read found a
// placement at all (a "Maximize" entry of "Yes" or "No").
#pragma once
#include <cstdint>

#include "window/properties.h"

namespace varnok::framework {

struct WindowPlacement {
    int32_t X = window::NoValue;
    int32_t Y = window::NoValue;
    int32_t W = window::NoValue;
    int32_t H = window::NoValue;
    uint8_t Maximized = 0;
    uint8_t Minimized = 0;
    uint8_t Got = 0;
};

}  // namespace varnok::framework
