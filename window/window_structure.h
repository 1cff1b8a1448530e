// Window structures: windows declared as data, registered under a resource
// name ("varnok$varnok001") and opened by that name through the window layer
// (window/window_layer.h). A structure lists the window's controls in tab
// order; the control numbers the program uses (field equates) are 1, 2, ...
// in that order. Positions and sizes are in dialog units; NoValue in a width
// or height means the control's natural size, in Xpos/Ypos of the window
// that the desktop places it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "window/properties.h"

namespace varnok::window {

// Control kinds; the number is what prop::Type reads.
enum class ControlKind : int32_t {
    Group = 1,      // a frame, with an optional caption
    Prompt = 2,     // a label
    Entry = 3,      // one line of text, limited by its picture
    Button = 4,
    List = 5,       // rows from a ListSource, columns from a format text
    Region = 6,     // an invisible area that can be clicked
    Image = 7,      // shows an icon
    Sheet = 37,     // tab sheet (a new selection on it refreshes the window)
};

struct ControlStructure {
    ControlKind kind = ControlKind::Prompt;
    std::string useName;   // "?TXAFILENAME", "?TXAFILENAME:PROMPT"
    std::string text;      // caption of a prompt, button or group
    std::string picture;   // an entry's picture, "@s255"
    std::string format;    // a list's column format text
    int32_t x = 0, y = 0;
    int32_t width = NoValue, height = NoValue;
    bool hidden = false;
    bool disabled = false;
    bool isDefault = false;  // the window's default button (Enter presses it)
    bool isCancel = false;   // the window's cancel button (Esc presses it)
};

// A control of the given kind, caption and rectangle; the other members
// keep their defaults for the caller to set.
ControlStructure makeControl(ControlKind kind, std::string_view useName, std::string_view text, int32_t x,
                             int32_t y, int32_t width = NoValue, int32_t height = NoValue);

struct WindowStructure {
    std::string resourceName;  // the name it is registered and opened under
    std::string label;         // "P1$WINDOW"
    std::string title;
    std::string icon;          // "~varnok.ico" or a stock icon code
    std::string fontName = "MS Sans Serif";
    int32_t fontSize = 8;      // points
    int32_t x = NoValue, y = NoValue;
    int32_t width = 0, height = 0;
    bool resizable = false;
    bool modal = false;        // blocks the windows below while open
    // Widths of the status bar's zones in dialog units (-1: the rest of the
    // bar); empty: no status bar.
    std::vector<int32_t> statusZones;
    std::vector<ControlStructure> controls;

    // The control number of a use name (1-based), 0 when there is none.
    int32_t controlNumber(std::string_view useName) const;
};

// The program's resource table of window structures. Registering a name
// again replaces the structure.
void registerWindowStructure(WindowStructure structure);
// nullptr when no structure has the name.
const WindowStructure* findWindowStructure(std::string_view resourceName);

}  // namespace varnok::window
