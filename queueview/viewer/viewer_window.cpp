#include "queueview/viewer/viewer_window.h"

#include <mutex>
#include <string>

#include "window/window_structure.h"

namespace varnok::queueview {

namespace {

using window::makeControl;

window::WindowStructure viewerStructure() {
    using window::ControlKind;
    window::WindowStructure s;
    s.resourceName = std::string(ViewerWindowName);
    s.label = "P1$QWINDOW";
    s.title = "Queue";
    s.fontName = "MS Sans Serif";
    s.fontSize = 8;
    s.width = 393;
    s.height = 258;
    s.resizable = true;
    // Zone 1 holds the position, whole up to "Row 99999999 / 99999999"
    // (23 characters; digits are a character's average width, four dialog
    // units, or wider in some fonts), the picture editor's zone the rest.
    s.statusZones = {RowZoneWidth, -1};

    s.controls.push_back(makeControl(ControlKind::Region, "?HEADERREGION", "", 4, 4, 385, 9));
    window::ControlStructure list = makeControl(ControlKind::List, "?LIST", "", 4, 16, 385, 218);
    for (int i = 0; i < ViewerColumns; ++i) list.format += ViewerColumnFormat;
    s.controls.push_back(std::move(list));
    window::ControlStructure close = makeControl(ControlKind::Button, "?CLOSEBUTTON", "Close", 344, 240, 45, 14);
    close.isCancel = true;  // Esc presses it
    s.controls.push_back(std::move(close));
    s.controls.push_back(makeControl(ControlKind::Button, "?VIEWBUTTON", "View", 6, 240, 45, 14));
    s.controls.push_back(makeControl(ControlKind::Button, "?EXPORTBUTTON", "Export", 56, 240, 45, 14));
    window::ControlStructure prompt =
        makeControl(ControlKind::Prompt, "?PICFIELD:PROMPT", "Picture", 104, 242, window::NoValue, window::NoValue);
    prompt.hidden = true;
    s.controls.push_back(std::move(prompt));
    window::ControlStructure entry = makeControl(ControlKind::Entry, "?PICFIELD", "", 132, 242, 60, 10);
    entry.picture = "@s20";
    entry.hidden = true;
    s.controls.push_back(std::move(entry));
    return s;
}

}  // namespace

void registerViewerWindow() {
    static std::once_flag once;
    std::call_once(once, [] { window::registerWindowStructure(viewerStructure()); });
}

}  // namespace varnok::queueview
