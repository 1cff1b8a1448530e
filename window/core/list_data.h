// ListData: what the window core keeps for one list control, whatever
// toolkit draws it: the source it reads on demand, its columns (which field
// each shows, through which picture), its icon names, the row count the
// native view was last told with the source's change stamp then, the
// columns' pixel widths, and where the last mouse press fell.
//
// Invariants: `rows` and `stamp` change only when the view is told (the core
// calls its adapter's setNativeRowCount right after); `columnPixels` has one
// width per column once the columns are laid out. A row's cells are read
// from the source once: the view asks for them one at a time.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "window/dialog_units.h"
#include "window/list_cells.h"
#include "window/list_source.h"

namespace varnok::window {

class ListData {
public:
    ListSource* source = nullptr;
    ListCells cells;
    std::vector<std::string> iconNames;  // icon n is iconNames[n - 1]
    int32_t rows = 0;                    // the row count the view was last told
    uint32_t stamp = 0;                  // the source's change stamp then
    std::vector<int> columnPixels;       // each column's width from its units
    int32_t mouseDownColumn = 0;         // at the last press; 0 outside
    int32_t mouseDownRow = 0;

    // One row's cells, in program text (Windows-1252), and icon numbers.
    struct Row {
        std::vector<std::string> texts;
        std::vector<int32_t> icons;
    };
    // The cells of row `row` (1-based, within `rows`), read once per row.
    const Row& row(int32_t row);
    // The icon to draw in a cell: its number in the icon list, 0 none.
    int32_t cellIcon(int32_t row, int column);
    // The next read goes to the source (its rows or the columns changed).
    void forgetRow() { cachedRow_ = 0; }
    // The source's row count and stamp now (0 rows without a source); the
    // cached row is forgotten. Returns the row count.
    int32_t reread();
    // Sets the columns and forgets the cached row.
    void setColumns(std::vector<ListColumn> columns);
    // Sets icon n (1..4096) of the icon list; false for another number.
    bool setIconName(int32_t number, std::string name);
    std::string iconName(int32_t number) const;

private:
    int32_t cachedRow_ = 0;
    Row cache_;
};

// The columns' pixel widths from their widths in dialog units. Edges are
// converted, not each width on its own: the columns end where their units
// end, however each rounds, so columns that fit a list in units fit it in
// pixels. A column without a width gets `defaultPixels`.
std::vector<int> columnPixels(const std::vector<ListColumn>& columns, const DialogBase& base, int defaultPixels);

// The widths to give a list's columns. `listWidth` is the list inside its
// frame, `viewWidth` the part left to the rows beside the vertical scroll
// bar. Columns that fit the list show without a horizontal scroll bar; when
// the vertical bar takes some of that width, the widest column gives it up
// (only where `mayShrink`), so every column stays whole in view.
struct FittedColumns {
    std::vector<int> widths;
    bool fits = true;  // no horizontal scroll bar is needed
};
FittedColumns fitColumns(const std::vector<int>& pixels, int listWidth, int viewWidth, bool mayShrink);

}  // namespace varnok::window
