// The list control: a virtual list view (LVS_OWNERDATA) that asks for the
// cells it draws (LVN_GETDISPINFOW), each row read from the core's ListData
// once. What the list shows, and when its rows change, is the core's.
#include <windowsx.h>

#include <algorithm>

#include "window/win32/icons_win32.h"
#include "window/win32/win32_list.h"
#include "window/win32/win32_text.h"
#include "window/win32/window_font_win32.h"

namespace varnok::window::win32 {

namespace {
int columnFormat(char align) {
    switch (align) {
    case 'C': return LVCFMT_CENTER;
    case 'R': return LVCFMT_RIGHT;
    default: return LVCFMT_LEFT;
    }
}

int headerFormat(char align) {
    switch (align) {
    case 'C': return HDF_CENTER;
    case 'R': return HDF_RIGHT;
    default: return HDF_LEFT;
    }
}

HWND headerOf(HWND list) { return reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)); }

int headerHeight(HWND list) {
    if (GetWindowLongPtrW(list, GWL_STYLE) & LVS_NOCOLUMNHEADER) return 0;
    HWND header = headerOf(list);
    RECT r{};
    if (!header || !GetWindowRect(header, &r)) return 0;
    return r.bottom - r.top;
}

int rowPadding() {
    // What the list view adds to its images' height to make a row's, found
    // once on a hidden list of one row.
    static int padding = -1;
    if (padding >= 0) return padding;
    padding = 0;
    constexpr int probe = 30;
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT | LVS_OWNERDATA | LVS_SHAREIMAGELISTS, 0, 0,
                                200, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!list) return padding;
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 50;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    HIMAGELIST images = ImageList_Create(1, probe, ILC_COLOR24, 1, 1);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    SendMessageW(list, LVM_SETITEMCOUNT, 1, 0);
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)))
        padding = std::max(0, static_cast<int>(r.bottom - r.top) - probe);
    DestroyWindow(list);
    ImageList_Destroy(images);
    return padding;
}

// The header column under a point of the list (1-based), 0 none.
int32_t columnAt(HWND list, POINT at) {
    HWND header = headerOf(list);
    if (!header) return 0;
    MapWindowPoints(list, header, &at, 1);
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    int32_t column = 0;
    for (int i = 0; i < count; ++i) {
        RECT r{};
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        if (at.x >= r.left && at.x < r.right) column = i + 1;
    }
    return column;
}
}  // namespace

void Win32Window::createList(NativeControl& c, int32_t number) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_OWNERDATA |
                        LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_SHAREIMAGELISTS;
    c.hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", style, 0, 0, 0, 0, frame_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdBase + number)),
                             GetModuleHandleW(nullptr), nullptr);
    if (!c.hwnd) return;
    SendMessageW(c.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    c.list = std::make_shared<ListView>();
    c.list->data = listData(number);
    c.list->lineHeight = textExtent(font_, L"Ay").cy + 4;
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    rebuildIconList(number);
}

void Win32Window::rebuildIconList(int32_t list) {
    const NativeControl& c = controls_[static_cast<size_t>(list - 1)];
    ListView& view = *c.list;
    const ListCells& cells = view.data->cells;
    bool iconColumn = false, laterIconColumn = false;
    for (int i = 0; i < cells.columnCount(); ++i) {
        iconColumn = iconColumn || cells.fields(i).iconField != 0;
        laterIconColumn = laterIconColumn || (i > 0 && cells.fields(i).iconField != 0);
    }
    // Images in columns after the first only when a later column has icons
    // (else every column would keep room for one).
    SendMessageW(c.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_SUBITEMIMAGES, laterIconColumn ? LVS_EX_SUBITEMIMAGES : 0);
    // The image list's height is the rows' height; a list without an icon
    // column keeps its images one pixel wide.
    HIMAGELIST images =
        buildIconList(view.data->iconNames, iconColumn ? 16 : 1, std::max(1, view.lineHeight - rowPadding()));
    HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
        SendMessageW(c.hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)));
    if (old && old != images) ImageList_Destroy(old);
    view.images = images;
    InvalidateRect(c.hwnd, nullptr, FALSE);
}

void Win32Window::applyNativeColumns(int32_t list) {
    const NativeControl& c = controls_[static_cast<size_t>(list - 1)];
    if (!c.hwnd) return;
    const ListData& data = *c.list->data;
    const std::vector<ListColumn>& columns = data.cells.columns();
    while (SendMessageW(c.hwnd, LVM_DELETECOLUMN, 0, 0)) {
    }
    bool headers = false;
    HWND header = headerOf(c.hwnd);
    for (size_t i = 0; i < columns.size(); ++i) {
        headers = headers || columns[i].hasHeader;
        std::wstring title = programWide(columns[i].header);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = columnFormat(columns[i].align);
        column.cx = data.columnPixels[i];
        column.pszText = title.data();
        column.iSubItem = static_cast<int>(i);
        SendMessageW(c.hwnd, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        if (!header) continue;
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt = (item.fmt & ~HDF_JUSTIFYMASK) | headerFormat(columns[i].effectiveHeaderAlign());
        SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    LONG_PTR style = GetWindowLongPtrW(c.hwnd, GWL_STYLE);
    style = headers ? style & ~LVS_NOCOLUMNHEADER : style | LVS_NOCOLUMNHEADER;
    SetWindowLongPtrW(c.hwnd, GWL_STYLE, style);
    rebuildIconList(list);
}

// A column without a width gets the list view's usual one.
int Win32Window::nativeDefaultColumnWidth(int32_t) const { return 100; }

// The list view shows its horizontal scroll bar when the columns need it.
void Win32Window::setNativeHorizontalBar(int32_t, bool) {}

WindowCore::ListWidths Win32Window::nativeListWidths(int32_t list) const {
    HWND hwnd = hwndOf(list);
    RECT window{}, client{};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    return {(window.right - window.left) - 2 * GetSystemMetrics(SM_CXEDGE), client.right, true};
}

void Win32Window::setNativeColumnWidths(int32_t list, const std::vector<int>& widths) {
    HWND hwnd = hwndOf(list);
    for (size_t i = 0; hwnd && i < widths.size(); ++i) {
        const int now = static_cast<int>(SendMessageW(hwnd, LVM_GETCOLUMNWIDTH, i, 0));
        if (now != widths[i]) SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i], 0));
    }
}

void Win32Window::setNativeRowCount(int32_t list) {
    const NativeControl& c = controls_[static_cast<size_t>(list - 1)];
    SendMessageW(c.hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(c.list->data->rows), LVSICF_NOSCROLL);
    InvalidateRect(c.hwnd, nullptr, FALSE);
}

void Win32Window::redrawNativeList(int32_t list) { InvalidateRect(hwndOf(list), nullptr, FALSE); }

int32_t Win32Window::nativeListRow(int32_t list) const {
    const NativeControl& c = controls_[static_cast<size_t>(list - 1)];
    if (!c.hwnd) return 0;
    const int item = static_cast<int>(SendMessageW(c.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return item >= 0 && item < c.list->data->rows ? item + 1 : 0;
}

void Win32Window::setNativeListRow(int32_t list, int32_t row) {
    HWND hwnd = hwndOf(list);
    if (!hwnd) return;
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    if (row < 1) return;
    LVITEMW state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&state));
    SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row - 1), FALSE);
}

int32_t Win32Window::listRowHeight(int32_t list) const {
    const NativeControl& c = controls_[static_cast<size_t>(list - 1)];
    if (c.list->data->rows > 0) {
        RECT r{};
        r.left = LVIR_BOUNDS;
        if (SendMessageW(c.hwnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)) && r.bottom > r.top)
            return r.bottom - r.top;
    }
    return std::max(1, c.list->lineHeight);
}

int32_t Win32Window::nativeListItems(int32_t list) const {
    RECT client{};
    GetClientRect(hwndOf(list), &client);
    return std::max(0, (static_cast<int>(client.bottom) - headerHeight(hwndOf(list))) / listRowHeight(list));
}

void Win32Window::setNativeListItems(int32_t list, int32_t items) {
    HWND hwnd = hwndOf(list);
    RECT window{}, client{};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    const int around = (window.bottom - window.top) - client.bottom + headerHeight(hwnd);
    SetWindowPos(hwnd, nullptr, 0, 0, window.right - window.left, around + std::max(0, items) * listRowHeight(list),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32Window::nativeLineHeight(int32_t list) const { return listRowHeight(list); }

void Win32Window::setNativeLineHeight(int32_t list, int pixels) {
    controls_[static_cast<size_t>(list - 1)].list->lineHeight = pixels;
    rebuildIconList(list);
}

void Win32Window::applyNativeIcons(int32_t list) { rebuildIconList(list); }

void Win32Window::listPress(int32_t control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    LVHITTESTINFO hit{};
    hit.pt = at;
    const int row = static_cast<int>(SendMessageW(hwnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    const bool onRow = row >= 0 && (hit.flags & LVHT_ONITEM) && row < listData(control)->rows;
    const MouseButton button = message == WM_RBUTTONDOWN ? MouseButton::Right : MouseButton::Left;
    const uint32_t modifiers = alertCode(0, wParam & MK_SHIFT, wParam & MK_CONTROL, GetKeyState(VK_MENU) < 0);
    handled = listPressed(control, button, columnAt(hwnd, at), onRow ? row + 1 : 0, modifiers);
}

LRESULT Win32Window::listNotify(int32_t control, NMHDR* header) {
    ListData& data = *listData(control);
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        const int column = item.iSubItem;
        if (!data.source || item.iItem < 0 || item.iItem >= data.rows || column < 0 || column >= data.cells.columnCount())
            return 0;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            const std::wstring text = cp1252Wide(data.row(item.iItem + 1).texts[static_cast<size_t>(column)]);
            const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
            text.copy(item.pszText, length);
            item.pszText[length] = L'\0';
        }
        if (item.mask & LVIF_IMAGE) {
            const int32_t icon = data.cellIcon(item.iItem + 1, column);
            item.iImage = icon >= 1 && static_cast<size_t>(icon) <= data.iconNames.size() ? icon - 1 : I_IMAGENONE;
        }
        return 0;
    }
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) && change->iItem >= 0 && (change->uNewState & LVIS_SELECTED) &&
            !(change->uOldState & LVIS_SELECTED))
            listRowMoved(control);
        return 0;
    }
    case NM_CUSTOMDRAW: {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYPOSTPAINT;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) drawColumnLines(control, draw);
        return CDRF_DODEFAULT;
    }
    default: return 0;
    }
}

void Win32Window::drawColumnLines(int32_t control, NMLVCUSTOMDRAW* draw) {
    // The lines on the right of the columns that have one (`|`).
    HWND list = hwndOf(control);
    HWND head = headerOf(list);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ old = SelectObject(draw->nmcd.hdc, pen);
    const std::vector<ListColumn>& columns = listData(control)->cells.columns();
    for (size_t i = 0; head && i < columns.size(); ++i) {
        if (!columns[i].rightBorder) continue;
        RECT r{};
        SendMessageW(head, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        POINT right{r.right - 1, 0};
        MapWindowPoints(head, list, &right, 1);
        MoveToEx(draw->nmcd.hdc, right.x, draw->nmcd.rc.top, nullptr);
        LineTo(draw->nmcd.hdc, right.x, draw->nmcd.rc.bottom);
    }
    SelectObject(draw->nmcd.hdc, old);
    DeleteObject(pen);
}

}  // namespace varnok::window::win32
