#include "window/events.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace varnok::window {

namespace {

struct Named {
    uint32_t number;
    const char* name;
};

// Sorted by number.
constexpr Named kEventNames[] = {
    {0x001, "EVENT:Accepted"},
    {0x002, "EVENT:NewSelection"},
    {0x003, "EVENT:ScrollUp"},
    {0x004, "EVENT:ScrollDown"},
    {0x005, "EVENT:PageUp"},
    {0x006, "EVENT:PageDown"},
    {0x007, "EVENT:ScrollTop"},
    {0x008, "EVENT:ScrollBottom"},
    {0x009, "EVENT:Locate"},
    {0x00A, "EVENT:MouseUp"},
    {0x00B, "EVENT:MouseIn"},
    {0x00C, "EVENT:MouseOut"},
    {0x00D, "EVENT:MouseMove"},
    {0x00E, "EVENT:VBXevent"},
    {0x00F, "EVENT:AlertKey"},
    {0x010, "EVENT:PreAlert"},
    {0x011, "EVENT:Dragging"},
    {0x012, "EVENT:Drag"},
    {0x013, "EVENT:Drop"},
    {0x014, "EVENT:ScrollDrag"},
    {0x015, "EVENT:TabChanging"},
    {0x016, "EVENT:Expanding"},
    {0x017, "EVENT:Contracting"},
    {0x018, "EVENT:Expanded"},
    {0x019, "EVENT:Contracted"},
    {0x01A, "EVENT:Rejected"},
    {0x01B, "EVENT:DroppingDown"},
    {0x01C, "EVENT:DroppedDown"},
    {0x01D, "EVENT:ScrollTrack"},
    {0x01E, "EVENT:ColumnResize"},
    {0x101, "EVENT:Selected"},
    {0x102, "EVENT:Selecting"},
    {0x201, "EVENT:CloseWindow"},
    {0x202, "EVENT:CloseDown"},
    {0x203, "EVENT:OpenWindow"},
    {0x204, "EVENT:OpenFailed"},
    {0x205, "EVENT:LoseFocus"},
    {0x206, "EVENT:GainFocus"},
    {0x208, "EVENT:Suspend"},
    {0x209, "EVENT:Resume"},
    {0x20A, "EVENT:Notify"},
    {0x20B, "EVENT:Timer"},
    {0x20C, "EVENT:DDErequest"},
    {0x20D, "EVENT:DDEadvise"},
    {0x20E, "EVENT:DDEdata"},
    {0x20F, "EVENT:DDEexecute"},
    {0x210, "EVENT:DDEpoke"},
    {0x211, "EVENT:DDEclosed"},
    {0x220, "EVENT:Move"},
    {0x221, "EVENT:Size"},
    {0x222, "EVENT:Restore"},
    {0x223, "EVENT:Maximize"},
    {0x224, "EVENT:Iconize"},
    {0x225, "EVENT:Completed"},
    {0x230, "EVENT:Moved"},
    {0x231, "EVENT:Sized"},
    {0x232, "EVENT:Restored"},
    {0x233, "EVENT:Maximized"},
    {0x234, "EVENT:Iconized"},
    {0x235, "EVENT:Docked"},
    {0x236, "EVENT:UnDocked"},
    {0x240, "EVENT:BuildFile"},
    {0x241, "EVENT:BuildKey"},
    {0x242, "EVENT:BuildDone"},
};

// The layer's internal requests, numbered from 0xB000 in this sequence.
constexpr const char* kQueryNames[] = {
    "QUERY_SHUTDOWN",
    "QUERY_SETUSE",
    "QUERY_SELECTED",
    "QUERY_COMMAND",
    "QUERY_HOTCHANGE",
    "QUERY_HELP",
    "QUERY_QUIT",
    "QUERY_REPLY",
    "QUERY_LOSEFOCUS",
    "QUERY_DOCKQUERY",
    "QUERY_COLOR",
    "QUERY_LOCATE",
    "QUERY_CONTINUETHREAD",
    "QUERY_NOTIFY",
    "QUERY_HSCROLL",
    "QUERY_EDITDONE",
    "QUERY_SETBARS",
    "QUERY_DIRTYBARS",
    "QUERY_MERGE",
    "QUERY_SAFEMAXIMIZE",
    "QUERY_SAFERESTORE",
    "QUERY_MDIMAXIMIZE",
    "QUERY_MDIRESTORE",
    "QUERY_HOT",
    "QUERY_SIZEMOVE",
};

// Standard window messages, sorted by number.
constexpr Named kWindowMessageNames[] = {
    {0x0000, "WM_NULL"},
    {0x0001, "WM_CREATE"},
    {0x0002, "WM_DESTROY"},
    {0x0003, "WM_MOVE"},
    {0x0005, "WM_SIZE"},
    {0x0006, "WM_ACTIVATE"},
    {0x0007, "WM_SETFOCUS"},
    {0x0008, "WM_KILLFOCUS"},
    {0x000A, "WM_ENABLE"},
    {0x000B, "WM_SETREDRAW"},
    {0x000C, "WM_SETTEXT"},
    {0x000D, "WM_GETTEXT"},
    {0x000E, "WM_GETTEXTLENGTH"},
    {0x000F, "WM_PAINT"},
    {0x0010, "WM_CLOSE"},
    {0x0011, "WM_QUERYENDSESSION"},
    {0x0012, "WM_QUIT"},
    {0x0014, "WM_ERASEBKGND"},
    {0x0015, "WM_SYSCOLORCHANGE"},
    {0x0016, "WM_ENDSESSION"},
    {0x0018, "WM_SHOWWINDOW"},
    {0x001C, "WM_ACTIVATEAPP"},
    {0x0020, "WM_SETCURSOR"},
    {0x0021, "WM_MOUSEACTIVATE"},
    {0x0024, "WM_GETMINMAXINFO"},
    {0x002B, "WM_DRAWITEM"},
    {0x002C, "WM_MEASUREITEM"},
    {0x0030, "WM_SETFONT"},
    {0x0031, "WM_GETFONT"},
    {0x0046, "WM_WINDOWPOSCHANGING"},
    {0x0047, "WM_WINDOWPOSCHANGED"},
    {0x004E, "WM_NOTIFY"},
    {0x0053, "WM_HELP"},
    {0x007B, "WM_CONTEXTMENU"},
    {0x0080, "WM_SETICON"},
    {0x0081, "WM_NCCREATE"},
    {0x0082, "WM_NCDESTROY"},
    {0x0083, "WM_NCCALCSIZE"},
    {0x0084, "WM_NCHITTEST"},
    {0x0085, "WM_NCPAINT"},
    {0x0086, "WM_NCACTIVATE"},
    {0x0087, "WM_GETDLGCODE"},
    {0x00A0, "WM_NCMOUSEMOVE"},
    {0x00A1, "WM_NCLBUTTONDOWN"},
    {0x0100, "WM_KEYDOWN"},
    {0x0101, "WM_KEYUP"},
    {0x0102, "WM_CHAR"},
    {0x0104, "WM_SYSKEYDOWN"},
    {0x0105, "WM_SYSKEYUP"},
    {0x0106, "WM_SYSCHAR"},
    {0x0110, "WM_INITDIALOG"},
    {0x0111, "WM_COMMAND"},
    {0x0112, "WM_SYSCOMMAND"},
    {0x0113, "WM_TIMER"},
    {0x0114, "WM_HSCROLL"},
    {0x0115, "WM_VSCROLL"},
    {0x0116, "WM_INITMENU"},
    {0x0117, "WM_INITMENUPOPUP"},
    {0x011F, "WM_MENUSELECT"},
    {0x0121, "WM_ENTERIDLE"},
    {0x0133, "WM_CTLCOLOREDIT"},
    {0x0134, "WM_CTLCOLORLISTBOX"},
    {0x0135, "WM_CTLCOLORBTN"},
    {0x0136, "WM_CTLCOLORDLG"},
    {0x0138, "WM_CTLCOLORSTATIC"},
    {0x0200, "WM_MOUSEMOVE"},
    {0x0201, "WM_LBUTTONDOWN"},
    {0x0202, "WM_LBUTTONUP"},
    {0x0203, "WM_LBUTTONDBLCLK"},
    {0x0204, "WM_RBUTTONDOWN"},
    {0x0205, "WM_RBUTTONUP"},
    {0x0206, "WM_RBUTTONDBLCLK"},
    {0x0207, "WM_MBUTTONDOWN"},
    {0x0208, "WM_MBUTTONUP"},
    {0x020A, "WM_MOUSEWHEEL"},
    {0x0210, "WM_PARENTNOTIFY"},
    {0x0211, "WM_ENTERMENULOOP"},
    {0x0212, "WM_EXITMENULOOP"},
    {0x0214, "WM_SIZING"},
    {0x0215, "WM_CAPTURECHANGED"},
    {0x0216, "WM_MOVING"},
    {0x0220, "WM_MDICREATE"},
    {0x0221, "WM_MDIDESTROY"},
    {0x0222, "WM_MDIACTIVATE"},
    {0x0231, "WM_ENTERSIZEMOVE"},
    {0x0232, "WM_EXITSIZEMOVE"},
    {0x0233, "WM_DROPFILES"},
    {0x0300, "WM_CUT"},
    {0x0301, "WM_COPY"},
    {0x0302, "WM_PASTE"},
    {0x0303, "WM_CLEAR"},
    {0x0304, "WM_UNDO"},
    {0x0400, "WM_USER"},
};

template <size_t N>
const char* lookup(const Named (&table)[N], uint32_t number) {
    auto it = std::lower_bound(std::begin(table), std::end(table), number,
                               [](const Named& n, uint32_t v) { return n.number < v; });
    return it != std::end(table) && it->number == number ? it->name : nullptr;
}

}  // namespace

const char* eventName(uint16_t e) { return lookup(kEventNames, e); }

std::string messageName(uint32_t message) {
    if (message >= EventMessageBase && message < EventMessageBase + 0x1000) {
        if (const char* name = eventName(static_cast<uint16_t>(message - EventMessageBase))) return name;
    } else if (message >= QueryMessageBase && message - QueryMessageBase < std::size(kQueryNames)) {
        return kQueryNames[message - QueryMessageBase];
    } else if (const char* name = lookup(kWindowMessageNames, message)) {
        return name;
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(message));
    return hex;
}

}  // namespace varnok::window
