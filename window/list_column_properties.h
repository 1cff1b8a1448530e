// The column properties of a list (window/properties.h: Format, ColumnFormat,
// ColumnHeader, ColumnWidth, ColumnPicture, ColumnAlign, HeaderAlign,
// ColumnCount), read and written on the list's columns the same way by every
// window layer; the layer then shows the columns it holds.
//
// Indexed properties name a column from 1; an index outside the columns
// reads "" and writes nothing. ColumnCount is read only. An alignment is
// read from the first letter of the value ("C", "R", anything else "L"); a
// picture is kept with its '@' and without trailing blanks.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "window/list_format.h"

namespace varnok::window {

// The property's text; nullopt when prop is not a column property.
std::optional<std::string> columnProperty(const std::vector<ListColumn>& columns, int prop, int32_t index);

enum class ColumnWrite {
    NotAColumnProperty,  // the layer handles prop itself
    Ignored,             // a column property, but nothing to write (read only, no such column)
    Written,             // the columns changed: the layer shows them again
};
ColumnWrite setColumnProperty(std::vector<ListColumn>& columns, int prop, std::string_view value, int32_t index);

}  // namespace varnok::window
