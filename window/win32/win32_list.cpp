// The list control: a virtual list view (LVS_OWNERDATA) that asks for the
// cells it draws (LVN_GETDISPINFOW); each row is read from the ListSource
// once, through the list's column format (window/list_cells.h). The row
// count the view knows changes only when the source's change stamp moved
// (followLists after every event) or the program displays the list.
#include <algorithm>

#include "window/events.h"
#include "window/list_column_properties.h"
#include "window/list_format.h"
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

int rowPadding();

HWND headerOf(HWND list) { return reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)); }

int headerHeight(HWND list) {
    if (GetWindowLongPtrW(list, GWL_STYLE) & LVS_NOCOLUMNHEADER) return 0;
    HWND header = headerOf(list);
    RECT r{};
    if (!header || !GetWindowRect(header, &r)) return 0;
    return r.bottom - r.top;
}
}  // namespace

void Win32Window::ListState::readRow(int32_t row) {
    if (cachedRow == row) return;
    const int columns = cells.columnCount();
    cachedRow = row;
    texts.assign(static_cast<size_t>(columns), std::wstring());
    icons.assign(static_cast<size_t>(columns), 0);
    if (!source) return;
    auto field = [this, row](int n) { return source->fieldText(row, n); };
    for (int c = 0; c < columns; ++c) {
        texts[static_cast<size_t>(c)] = cp1252Wide(cells.text(c, field));
        icons[static_cast<size_t>(c)] = cells.icon(c, field);
    }
}

void Win32Window::createList(Control& c) {
    const int32_t number = static_cast<int32_t>(&c - controls_.data() + 1);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_OWNERDATA |
                        LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_SHAREIMAGELISTS;
    c.hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", style, 0, 0, 0, 0, frame_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdBase + number)),
                             GetModuleHandleW(nullptr), nullptr);
    if (!c.hwnd) return;
    SendMessageW(c.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    c.list = std::make_shared<ListState>();
    c.list->cells.setColumns(parseListFormat(c.spec.format));
    c.list->lineHeight = textExtent(font_, L"Ay").cy + 4;
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    rebuildIconList(c);
}

namespace {
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
}  // namespace

void Win32Window::rebuildIconList(Control& c) {
    ListState& st = *c.list;
    bool iconColumn = false, laterIconColumn = false;
    for (int i = 0; i < st.cells.columnCount(); ++i) {
        iconColumn = iconColumn || st.cells.fields(i).iconField != 0;
        laterIconColumn = laterIconColumn || (i > 0 && st.cells.fields(i).iconField != 0);
    }
    // Images in columns after the first only when a later column has icons
    // (else every column would keep room for one).
    SendMessageW(c.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_SUBITEMIMAGES, laterIconColumn ? LVS_EX_SUBITEMIMAGES : 0);
    // The image list's height is the rows' height; a list without an icon
    // column keeps its images one pixel wide.
    HIMAGELIST images = buildIconList(st.iconNames, iconColumn ? 16 : 1, std::max(1, st.lineHeight - rowPadding()));
    HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
        SendMessageW(c.hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)));
    if (old && old != images) ImageList_Destroy(old);
    st.images = images;
    InvalidateRect(c.hwnd, nullptr, FALSE);
}

void Win32Window::applyListColumns(Control& c) {
    ListState& st = *c.list;
    const std::vector<ListColumn>& columns = st.cells.columns();
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    while (SendMessageW(c.hwnd, LVM_DELETECOLUMN, 0, 0)) {
    }
    // Column edges are converted from dialog units, not each width on its
    // own, so columns that fit the list in units fit it in pixels.
    st.columnPixels.clear();
    int32_t unitsSoFar = 0, edge = 0;
    bool headers = false;
    HWND header = headerOf(c.hwnd);
    for (size_t i = 0; i < columns.size(); ++i) {
        int width = 100;  // a column without a width gets the usual one
        if (columns[i].width > 0) {
            unitsSoFar += columns[i].width;
            width = unitsToPixelsX(unitsSoFar, base_) - edge;
        } else {
            unitsSoFar += pixelsToUnitsX(width, base_);
        }
        st.columnPixels.push_back(width);
        edge += width;
        headers = headers || columns[i].hasHeader;
        std::wstring title = programWide(columns[i].header);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = columnFormat(columns[i].align);
        column.cx = width;
        column.pszText = title.data();
        column.iSubItem = static_cast<int>(i);
        SendMessageW(c.hwnd, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        if (header) {
            HDITEMW item{};
            item.mask = HDI_FORMAT;
            SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
            item.fmt = (item.fmt & ~HDF_JUSTIFYMASK) | headerFormat(columns[i].effectiveHeaderAlign());
            SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    LONG_PTR style = GetWindowLongPtrW(c.hwnd, GWL_STYLE);
    style = headers ? style & ~LVS_NOCOLUMNHEADER : style | LVS_NOCOLUMNHEADER;
    SetWindowLongPtrW(c.hwnd, GWL_STYLE, style);
    st.cachedRow = 0;
    programmatic_ = wasProgrammatic;
    rebuildIconList(c);
    fitColumns(c);
}

void Win32Window::fitColumns(Control& c) {
    if (!c.list || !c.hwnd) return;
    const ListState& st = *c.list;
    int total = 0;
    for (int width : st.columnPixels) total += width;
    RECT window{}, client{};
    GetWindowRect(c.hwnd, &window);
    GetClientRect(c.hwnd, &client);
    const int edges = 2 * GetSystemMetrics(SM_CXEDGE);
    // Columns that fit the list show whole; when the vertical scroll bar
    // takes some of the width, the widest column gives it up.
    const bool fits = total <= (window.right - window.left) - edges;
    std::vector<int> widths = st.columnPixels;
    const int overflow = total - client.right;
    if (fits && overflow > 0 && !widths.empty()) {
        int& widest = *std::max_element(widths.begin(), widths.end());
        widest = std::max(1, widest - overflow);
    }
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    for (size_t i = 0; i < widths.size(); ++i) {
        const int now = static_cast<int>(SendMessageW(c.hwnd, LVM_GETCOLUMNWIDTH, i, 0));
        if (now != widths[i]) SendMessageW(c.hwnd, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i], 0));
    }
    programmatic_ = wasProgrammatic;
}

void Win32Window::bindList(int32_t control, ListSource* source) {
    Control* c = find(control);
    if (!c || !c->list) return;
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    ListState& st = *c->list;
    st.source = source;
    st.cachedRow = 0;
    st.rows = source ? std::max<int32_t>(0, source->rowCount()) : 0;
    st.stamp = source ? source->changeStamp() : 0;
    SendMessageW(c->hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(st.rows), 0);
    setListRow(*c, 0);
    InvalidateRect(c->hwnd, nullptr, FALSE);
    fitColumns(*c);
    programmatic_ = wasProgrammatic;
}

void Win32Window::setListRow(Control& c, int32_t row) {
    if (!c.list || !c.hwnd) return;
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(c.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    if (row >= 1 && row <= c.list->rows) {
        LVITEMW state{};
        state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(c.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&state));
        SendMessageW(c.hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row - 1), FALSE);
    }
    programmatic_ = wasProgrammatic;
}

int32_t Win32Window::highlightedRow(const Control& c) const {
    if (!c.list || !c.hwnd) return 0;
    const int item = static_cast<int>(SendMessageW(c.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return item >= 0 && item < c.list->rows ? item + 1 : 0;
}

void Win32Window::refreshList(Control& c, bool onlyWhenChanged) {
    ListState& st = *c.list;
    if (onlyWhenChanged && (!st.source || st.source->changeStamp() == st.stamp)) return;
    const int32_t row = highlightedRow(c);
    st.stamp = st.source ? st.source->changeStamp() : 0;
    const int32_t rows = st.source ? std::max<int32_t>(0, st.source->rowCount()) : 0;
    st.cachedRow = 0;
    if (rows != st.rows) {
        st.rows = rows;
        SendMessageW(c.hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), LVSICF_NOSCROLL);
        // The selection moves to the nearest row left.
        setListRow(c, std::min(row, rows));
        fitColumns(c);
    }
    InvalidateRect(c.hwnd, nullptr, FALSE);
}

int32_t Win32Window::listRowHeight(const Control& c) const {
    if (c.list->rows > 0) {
        RECT r{};
        r.left = LVIR_BOUNDS;
        if (SendMessageW(c.hwnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)) && r.bottom > r.top)
            return r.bottom - r.top;
    }
    return std::max(1, c.list->lineHeight);
}

int32_t Win32Window::listItems(const Control& c) const {
    RECT client{};
    GetClientRect(c.hwnd, &client);
    return std::max(0, (static_cast<int>(client.bottom) - headerHeight(c.hwnd)) / listRowHeight(c));
}

void Win32Window::setListItems(Control& c, int32_t items) {
    RECT window{}, client{};
    GetWindowRect(c.hwnd, &window);
    GetClientRect(c.hwnd, &client);
    const int around = (window.bottom - window.top) - client.bottom + headerHeight(c.hwnd);
    SetWindowPos(c.hwnd, nullptr, 0, 0, window.right - window.left, around + std::max(0, items) * listRowHeight(c),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Win32Window::listNotify(int32_t control, NMHDR* header) {
    Control& c = controls_[static_cast<size_t>(control - 1)];
    ListState& st = *c.list;
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        const int column = item.iSubItem;
        if (!st.source || item.iItem < 0 || item.iItem >= st.rows || column < 0 || column >= st.cells.columnCount())
            return 0;
        st.readRow(item.iItem + 1);
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            const std::wstring& text = st.texts[static_cast<size_t>(column)];
            const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
            text.copy(item.pszText, length);
            item.pszText[length] = L'\0';
        }
        if (item.mask & LVIF_IMAGE) {
            const int32_t icon = st.cells.fields(column).iconField ? st.icons[static_cast<size_t>(column)] : 0;
            item.iImage = icon >= 1 && static_cast<size_t>(icon) <= st.iconNames.size() ? icon - 1 : I_IMAGENONE;
        }
        return 0;
    }
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!programmatic_ && !refusesInput() && (change->uChanged & LVIF_STATE) && change->iItem >= 0 &&
            (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
            push({event::NewSelection, control, 0});
        return 0;
    }
    case NM_CUSTOMDRAW: {
        // The lines on the right of the columns that have one (`|`).
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYPOSTPAINT;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) {
            HWND head = headerOf(c.hwnd);
            HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
            HGDIOBJ old = SelectObject(draw->nmcd.hdc, pen);
            const std::vector<ListColumn>& columns = st.cells.columns();
            for (size_t i = 0; head && i < columns.size(); ++i) {
                if (!columns[i].rightBorder) continue;
                RECT r{};
                SendMessageW(head, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
                POINT right{r.right - 1, 0};
                MapWindowPoints(head, c.hwnd, &right, 1);
                MoveToEx(draw->nmcd.hdc, right.x, draw->nmcd.rc.top, nullptr);
                LineTo(draw->nmcd.hdc, right.x, draw->nmcd.rc.bottom);
            }
            SelectObject(draw->nmcd.hdc, old);
            DeleteObject(pen);
        }
        return CDRF_DODEFAULT;
    }
    default: return 0;
    }
}

std::string Win32Window::listProperty(const Control& c, int prop, int32_t index) const {
    const ListState& st = *c.list;
    if (std::optional<std::string> text = columnProperty(st.cells.columns(), prop, index)) return *text;
    switch (prop) {
    case prop::Items: return std::to_string(listItems(c));
    case prop::LineHeight: return std::to_string(pixelsToUnitsY(listRowHeight(c), base_));
    case prop::IconList:
        return index >= 1 && static_cast<size_t>(index) <= st.iconNames.size() ? st.iconNames[static_cast<size_t>(index - 1)]
                                                                                : "";
    case prop::Selected: return std::to_string(highlightedRow(c));
    case prop::MouseDownColumn: return std::to_string(st.mouseDownColumn);
    case prop::MouseDownRow: return std::to_string(st.mouseDownRow);
    default: return std::string();
    }
}

bool Win32Window::setListProperty(Control& c, int prop, std::string_view value, int32_t index) {
    ListState& st = *c.list;
    std::vector<ListColumn> columns = st.cells.columns();
    switch (setColumnProperty(columns, prop, value, index)) {
    case ColumnWrite::Written:
        st.cells.setColumns(std::move(columns));
        applyListColumns(c);
        return true;
    case ColumnWrite::Ignored: return true;
    case ColumnWrite::NotAColumnProperty: break;
    }
    switch (prop) {
    case prop::Items: setListItems(c, propertyTextNumber(value)); return true;
    case prop::LineHeight:
        st.lineHeight = std::max(1, unitsToPixelsY(propertyTextNumber(value), base_));
        rebuildIconList(c);
        return true;
    case prop::IconList:
        if (index >= 1 && index <= 4096) {
            if (static_cast<size_t>(index) > st.iconNames.size()) st.iconNames.resize(static_cast<size_t>(index));
            st.iconNames[static_cast<size_t>(index - 1)] = std::string(value);
            rebuildIconList(c);
        }
        return true;
    case prop::Selected: setListRow(c, propertyTextNumber(value)); return true;
    case prop::MouseDownColumn:
    case prop::MouseDownRow: return true;  // read only
    default: return false;
    }
}

}  // namespace varnok::window::win32
