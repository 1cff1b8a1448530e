// Properties of windows and controls, read and written by number through
// Window::property and Window::setProperty. Control 0 is the window itself.
// Every value travels as text; numbers as signed decimal text. Positions and
// sizes are in dialog units (see window/dialog_units.h). Properties marked
// "indexed" take a second number: the list column (1-based), the icon number
// or the status zone.
//
//   window.setProperty(0, prop::Xpos, 40);          // move the window
//   window.setProperty(list, prop::ColumnPicture, "@n-15.2", 3);
//   bool resizable = !window.property(0, prop::Resize).empty();
#pragma once
#include <cstdint>

namespace varnok::window {

// The no-value marker of positions and sizes: written to Xpos or Ypos it
// leaves the window where the desktop places it; read back it means "not
// known".
inline constexpr int32_t NoValue = INT32_MIN;

namespace prop {
// Placement, in dialog units (window and controls). A window's Xpos and Ypos
// are its frame's top-left corner on the screen (title bar and borders
// included), read and written alike; its Width and Height are the client
// area's.
inline constexpr int Xpos = 0x7C00;
inline constexpr int Ypos = 0x7C01;
inline constexpr int Width = 0x7C02;
inline constexpr int Height = 0x7C03;
// Window state. Flags read "1" when set and "" when not; on writing, an
// empty text or "0" clears a flag and anything else sets it.
inline constexpr int Maximize = 0x7C04;
inline constexpr int Iconize = 0x7C05;
// Non-empty when the user can resize the window (read only).
inline constexpr int Resize = 0x7C06;
// The control's kind as a number (ControlKind in window/window_structure.h).
inline constexpr int Type = 0x7C07;
// Window title, prompt and button caption, entry contents, group caption.
inline constexpr int Text = 0x7C08;
inline constexpr int Hide = 0x7C09;     // flag: hidden
inline constexpr int Disable = 0x7C0A;  // flag: disabled
// The window's icon or an image control's icon: a four-byte stock icon code
// or a "~name" of the program's resources.
inline constexpr int Icon = 0x7C0B;
// Flag: the button is the window's default button (pressed by Enter).
inline constexpr int Default = 0x7C0C;
// Smallest size the user can give the window, dialog units.
inline constexpr int MinWidth = 0x7C0D;
inline constexpr int MinHeight = 0x7C0E;
// Flag: an entry whose contents are accepted even when unchanged.
inline constexpr int Touched = 0x7C0F;
// An entry's picture, e.g. "@s255" (limits the length of what is typed).
inline constexpr int Picture = 0x7C10;

// Lists.
inline constexpr int Format = 0x7C20;          // the whole column format text
inline constexpr int ColumnFormat = 0x7C21;    // indexed: one column's format text
inline constexpr int ColumnHeader = 0x7C22;    // indexed
inline constexpr int ColumnWidth = 0x7C23;     // indexed, dialog units
inline constexpr int ColumnPicture = 0x7C24;   // indexed
inline constexpr int ColumnAlign = 0x7C25;     // indexed: "L", "C" or "R" (data)
inline constexpr int HeaderAlign = 0x7C26;     // indexed: "L", "C" or "R" (header)
inline constexpr int ColumnCount = 0x7C27;     // read only
inline constexpr int Items = 0x7C28;           // rows the list shows without scrolling
inline constexpr int LineHeight = 0x7C29;      // dialog units
inline constexpr int IconList = 0x7C2A;        // indexed by icon number (1-based)
inline constexpr int Selected = 0x7C2B;        // the highlighted row, 0 none
// The column and row under the mouse at the list's last mouse press (0 when
// the press was outside every column or row). Read only.
inline constexpr int MouseDownColumn = 0x7C2C;
inline constexpr int MouseDownRow = 0x7C2D;

// Status bar zones (window): indexed by zone number.
inline constexpr int StatusText = 0x7C40;
// A progress bar in the zone, in place of its text: the percentage done,
// 0..100 (larger values show as 100); "" (or a negative number) takes the
// bar away and shows the text again.
inline constexpr int StatusProgress = 0x7C41;
}  // namespace prop

}  // namespace varnok::window
