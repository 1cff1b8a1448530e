// What a Win32Window keeps for each list control: the source it reads on
// demand, its columns, icons and line height, and the one row last read
// (the list view asks for a row's cells one at a time; the row is read
// once).
#pragma once
// Before windows.h, whose DELETE macro would replace the queue's DELETE.
#include "window/window_layer.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "window/list_cells.h"
#include "window/list_source.h"
#include "window/win32/win32_window.h"

namespace varnok::window::win32 {

struct Win32Window::ListState {
    ListSource* source = nullptr;
    ListCells cells;
    std::vector<std::string> iconNames;  // icon n is iconNames[n - 1]
    HIMAGELIST images = nullptr;         // one image per icon name, lineHeight tall
    int32_t rows = 0;                    // the row count the view was last told
    uint32_t stamp = 0;                  // the source's change stamp then
    int32_t lineHeight = 0;              // pixels
    std::vector<int> columnPixels;
    int32_t mouseDownColumn = 0;
    int32_t mouseDownRow = 0;
    // The row last read.
    int32_t cachedRow = 0;
    std::vector<std::wstring> texts;
    std::vector<int32_t> icons;

    ListState() = default;
    ListState(const ListState&) = delete;
    ListState& operator=(const ListState&) = delete;
    ~ListState() {
        if (images) ImageList_Destroy(images);
    }
    // The cells of a row (1-based), read from the source once per row.
    void readRow(int32_t row);
};

}  // namespace varnok::window::win32
