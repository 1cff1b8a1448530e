#include "app/window/main_window_structure.h"

namespace varnok::app {

namespace {

using window::ControlKind;
using window::ControlStructure;
using window::NoValue;

ControlStructure control(ControlKind kind, std::string_view useName, std::string_view text, int32_t x, int32_t y,
                         int32_t width = NoValue, int32_t height = NoValue) {
    ControlStructure c;
    c.kind = kind;
    c.useName = useName;
    c.text = text;
    c.x = x;
    c.y = y;
    c.width = width;
    c.height = height;
    return c;
}

}  // namespace

window::WindowStructure mainWindowStructure() {
    window::WindowStructure w;
    w.resourceName = MainWindowResource;
    w.label = "P1$WINDOW";
    w.title = "Remove Extensions";
    w.icon = "~varnok.ico";
    w.fontName = "MS Sans Serif";
    w.fontSize = 8;
    w.x = NoValue;
    w.y = NoValue;
    w.width = 420;
    w.height = 273;
    w.resizable = true;

    w.controls.push_back(control(ControlKind::Group, use::Group1, "", 5, 6, 411, 45));
    w.controls.push_back(control(ControlKind::Prompt, use::FileNamePrompt, "Txa File Name:", 9, 16));
    ControlStructure entry = control(ControlKind::Entry, use::FileName, "", 61, 16, 327, 10);
    entry.picture = "@s255";
    w.controls.push_back(entry);
    w.controls.push_back(control(ControlKind::Button, use::LookupFile, "...", 392, 15, 12, 12));
    w.controls.push_back(control(ControlKind::Button, use::LoadButton, "Load", 115, 32, 89, 14));
    w.controls.push_back(control(ControlKind::Button, use::ViewButton, "View", 215, 32, 89, 14));
    w.controls.push_back(control(ControlKind::Group, use::Group2, "", 5, 54, 411, 214));
    ControlStructure list = control(ControlKind::List, use::List, "", 9, 62, 401, 182);
    list.format = MainListFormat;
    w.controls.push_back(list);
    w.controls.push_back(control(ControlKind::Button, use::SelectButton, "Select for removal", 9, 248, 139, 14));
    w.controls.push_back(control(ControlKind::Button, use::RemoveButton, "Remove and Save", 271, 248, 139, 14));
    return w;
}

void registerMainWindow() { window::registerWindowStructure(mainWindowStructure()); }

}  // namespace varnok::app
