// Interim stand-in (see window/win32/interim/README.md): the popup menu.
#pragma once
#include "window/window_layer.h"

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace varnok::window::win32 {
int32_t runPopupMenu(HWND owner, std::string_view items, POINT screenAt);
}  // namespace varnok::window::win32
