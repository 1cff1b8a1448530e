// The main window "Remove Extensions" as a window structure, registered
// among the program's resources as "varnok$varnok001" (label "P1$WINDOW").
//
// 420 x 273 dialog units in "MS Sans Serif" 8, resizable, no position of its
// own (the place saved in the program's INI file is restored when it
// opens). Controls in tab order, so their numbers are 1 to 10:
//
//   ?GROUP1               group, no caption         5,  6, 411,  45
//   ?TXAFILENAME:PROMPT   "Txa File Name:"          9, 16, natural size
//   ?TXAFILENAME          entry, @s255             61, 16, 327,  10
//   ?LOOKUPFILE           "..."                   392, 15,  12,  12
//   ?IMPORTTXABUTTON      "Load"                  115, 32,  89,  14
//   ?VIEWTXABUTTON        "View"                  215, 32,  89,  14
//   ?GROUP2               group, no caption         5, 54, 411, 214
//   ?EXTENSIONQ           list (MainListFormat)     9, 62, 401, 182
//   ?SELECTBUTTON         "Select for removal"      9, 248, 139, 14
//   ?REMOVEBUTTON         "Remove and Save"       271, 248, 139, 14
//
// Below them a status bar of one zone shows the counts line
// (counts_line.h); the 420 x 273 units are the client area above it.
//
// The list shows ExtensionQ: a tick column (icon number from REM:Icon, no
// text), then Extension, Procedure, Template, From and To.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "window/window_structure.h"

namespace varnok::app {

inline constexpr std::string_view MainWindowResource = "varnok$varnok001";
inline constexpr std::string_view MainProcedureName = "Main";

// Use names of the main window's controls.
namespace use {
inline constexpr std::string_view Group1 = "?GROUP1";
inline constexpr std::string_view FileNamePrompt = "?TXAFILENAME:PROMPT";
inline constexpr std::string_view FileName = "?TXAFILENAME";
inline constexpr std::string_view LookupFile = "?LOOKUPFILE";
inline constexpr std::string_view LoadButton = "?IMPORTTXABUTTON";
inline constexpr std::string_view ViewButton = "?VIEWTXABUTTON";
inline constexpr std::string_view Group2 = "?GROUP2";
inline constexpr std::string_view List = "?EXTENSIONQ";
inline constexpr std::string_view SelectButton = "?SELECTBUTTON";
inline constexpr std::string_view RemoveButton = "?REMOVEBUTTON";
}  // namespace use

inline constexpr std::string_view MainListFormat =
    "12L(2)I@p p@130L(2)|M~Extension~@s64@110L(2)|M~Procedure~@s64@80L(2)|M~Template~@s40@"
    "30C(2)|M~From~@s6@30C(2)|M~To~@s6@";

// The From and To columns (list columns 5 and 6) show line numbers through
// "@s6" in 30 dialog units: enough up to 999999. For a file of more lines
// the picture takes as many digits as its largest line number and the
// column one average character (4 units) more per digit, so every number
// shows whole.
inline constexpr int32_t FromColumn = 5;
inline constexpr int32_t ToColumn = 6;
struct LineNumberLook {
    std::string picture;
    int32_t width = 0;  // dialog units
    bool operator==(const LineNumberLook&) const = default;
};
LineNumberLook lineNumberLook(uint32_t largestLineNumber);

// The main list's six column widths (dialog units) in a list `listWidth`
// units wide, for line numbers up to `largestLineNumber`: the tick column
// keeps its width, From and To take what their numbers need, and the three
// text columns share the rest in their first proportions (130 : 110 : 80),
// none narrower than MinTextColumn. The columns fill the list inside its
// frame, so no horizontal scroll bar is needed until the text columns are
// at their least; a larger window widens the text columns.
inline constexpr int32_t MainListFrame = 4;   // the list's frame, both sides
inline constexpr int32_t MinTextColumn = 24;
std::array<int32_t, 6> mainListColumnWidths(int32_t listWidth, uint32_t largestLineNumber);

// The list's icon list and line height, set when the window opens.
inline constexpr std::string_view UntickedIcon = "~boxoff.ico";  // icon 1
inline constexpr std::string_view TickedIcon = "~boxon.ico";     // icon 2
inline constexpr int MainListLineHeight = 10;

window::WindowStructure mainWindowStructure();
// Registers the structure under MainWindowResource (again: replaces it).
void registerMainWindow();

}  // namespace varnok::app
