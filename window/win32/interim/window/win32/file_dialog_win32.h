// Interim stand-in (see window/win32/interim/README.md): the file dialog.
#pragma once
#include "window/window_layer.h"

#include <windows.h>

namespace varnok::window::win32 {
bool runFileDialog(HWND owner, FileDialogRequest& request);
}  // namespace varnok::window::win32
