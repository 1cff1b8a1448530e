// The queue viewer's window structure, labelled "P1$QWINDOW": title
// "Queue", font MS Sans Serif, resizable, a status bar of two zones (1 the
// highlighted row, 2 the column whose picture is being edited). Controls,
// with their numbers (dialog units):
//
//   1 ?HEADERREGION      region              4, 4, 385 x 9
//   2 ?LIST              list, 50 columns    4, 16, 385 x 218
//                        "60L(2)|M~Veld~@s20@" each
//   3 ?CLOSEBUTTON       button "Close"      344, 240, 45 x 14, the cancel button (Esc)
//   4 ?VIEWBUTTON        button "View"       6, 240, 45 x 14
//   5 ?EXPORTBUTTON      button "Export"     56, 240, 45 x 14
//   6 ?PICFIELD:PROMPT   prompt "Picture"    104, 242, hidden
//   7 ?PICFIELD          entry @s20          132, 242, 60 x 10, hidden
//
// The window is 393 x 258. Everything the viewer does to fit the window to
// its queue works from these sizes.
#pragma once
#include <cstdint>
#include <string_view>

namespace varnok::queueview {

// The name the structure is registered and opened under.
constexpr std::string_view ViewerWindowName = "queueview$P1$QWINDOW";

constexpr int ViewerColumns = 50;
constexpr std::string_view ViewerColumnFormat = "60L(2)|M~Veld~@s20@";
// The picture variable the entry ?PICFIELD shows: STRING(40).
constexpr size_t PictureVariableSize = 40;

// Control numbers (field equates).
enum ViewerControl : int32_t {
    HeaderRegion = 1,
    ViewerList = 2,
    CloseButton = 3,
    ViewButton = 4,
    ExportButton = 5,
    PicFieldPrompt = 6,
    PicField = 7,
};

// Status bar zones.
constexpr int32_t RowZone = 1;
constexpr int32_t RowZoneWidth = 130;  // dialog units
constexpr int32_t ColumnZone = 2;

// Registers the structure (once per process; later calls do nothing).
void registerViewerWindow();

}  // namespace varnok::queueview
