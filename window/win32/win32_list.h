// What a Win32Window keeps for each list control beside the core's
// ListData: the image list its icons are drawn from and its line height.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "window/core/list_data.h"
#include "window/win32/win32_window.h"

namespace varnok::window::win32 {

struct Win32Window::ListView {
    ListData* data = nullptr;
    HIMAGELIST images = nullptr;  // one image per icon name, lineHeight tall
    int32_t lineHeight = 0;       // pixels

    ListView() = default;
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;
    ~ListView() {
        if (images) ImageList_Destroy(images);
    }
};

}  // namespace varnok::window::win32
