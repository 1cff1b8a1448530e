// ListCells: what each cell of a list shows, from its columns (window/
// list_format.h) and the row's field texts (window/list_source.h).
//
// Columns take the row's fields in record order: column 1 shows field 1,
// column 2 field 2, and so on, except that an icon column (`I`) also takes
// the field after its own, which holds the icon's number in the list's icon
// list; the next column continues after that. So the main window's six
// columns show fields 1 (icon number in 2), 3, 4, 5, 6 and 7.
//
// A cell's text is the field's text through the column's picture (FORMAT:
// number, date and time pictures read the text as a number), without the
// blanks that pad it to the picture's width; a column without a picture
// shows the text as it is; an invalid picture shows nothing. The pattern
// "@p p" has no digit positions, so its cells are blank.
//
// Pictures are compiled once, when the columns are set.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/pictures/picture.h"
#include "window/list_format.h"

namespace varnok::window {

struct ColumnFields {
    int field = 0;      // the field the column shows (1-based)
    int iconField = 0;  // the field holding the icon number; 0 for a plain column
};

// The fields of each column, in column order.
std::vector<ColumnFields> columnFields(const std::vector<ListColumn>& columns);

// A field's text through a compiled picture, without its padding blanks.
std::string cellText(std::string_view fieldText, const CompiledPicture& picture);
// An icon number from a field's text; 0 when it is not a positive number.
int32_t iconNumber(std::string_view fieldText);

class ListCells {
public:
    ListCells() = default;
    explicit ListCells(std::vector<ListColumn> columns) { setColumns(std::move(columns)); }

    void setColumns(std::vector<ListColumn> columns);
    const std::vector<ListColumn>& columns() const { return columns_; }
    int columnCount() const { return static_cast<int>(columns_.size()); }
    const ColumnFields& fields(int column) const { return fields_[static_cast<size_t>(column)]; }

    // `field(n)` gives the row's field n as text. Column numbers here are
    // 0-based.
    using FieldReader = std::function<std::string(int field)>;
    std::string text(int column, const FieldReader& field) const;
    int32_t icon(int column, const FieldReader& field) const;

private:
    std::vector<ListColumn> columns_;
    std::vector<ColumnFields> fields_;
    // One compiled picture per column; nullptr for a column without one.
    std::vector<std::shared_ptr<const CompiledPicture>> pictures_;
};

}  // namespace varnok::window
