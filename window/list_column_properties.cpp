#include "window/list_column_properties.h"

#include <algorithm>

#include "window/properties.h"
#include "window/window_layer.h"

namespace varnok::window {

namespace {

char alignOf(std::string_view value) {
    const char c = value.empty() ? 'L' : static_cast<char>(value.front() & ~0x20);
    return c == 'C' || c == 'R' ? c : 'L';
}

std::string columnPicture(std::string_view value) {
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    if (value.empty()) return std::string();
    return value.front() == '@' ? std::string(value) : "@" + std::string(value);
}

template <class Columns>
auto* columnAt(Columns& columns, int32_t index) {
    return index >= 1 && static_cast<size_t>(index) <= columns.size() ? &columns[static_cast<size_t>(index - 1)]
                                                                       : nullptr;
}

}  // namespace

std::optional<std::string> columnProperty(const std::vector<ListColumn>& columns, int prop, int32_t index) {
    const ListColumn* column = columnAt(columns, index);
    switch (prop) {
    case prop::Format: return formatListColumns(columns);
    case prop::ColumnFormat: return column ? formatListColumn(*column) : "";
    case prop::ColumnHeader: return column ? column->header : "";
    case prop::ColumnWidth: return column ? std::to_string(column->width) : "";
    case prop::ColumnPicture: return column ? column->picture : "";
    case prop::ColumnAlign: return column ? std::string(1, column->align) : "";
    case prop::HeaderAlign: return column ? std::string(1, column->effectiveHeaderAlign()) : "";
    case prop::ColumnCount: return std::to_string(columns.size());
    default: return std::nullopt;
    }
}

ColumnWrite setColumnProperty(std::vector<ListColumn>& columns, int prop, std::string_view value, int32_t index) {
    if (prop == prop::Format) {
        columns = parseListFormat(value);
        return ColumnWrite::Written;
    }
    ListColumn* column = columnAt(columns, index);
    switch (prop) {
    case prop::ColumnFormat:
        if (column) *column = parseListColumn(value);
        break;
    case prop::ColumnHeader:
        if (column) {
            column->header = std::string(value);
            column->hasHeader = true;
        }
        break;
    case prop::ColumnWidth:
        if (column) column->width = std::max(0, propertyTextNumber(value));
        break;
    case prop::ColumnPicture:
        if (column) column->picture = columnPicture(value);
        break;
    case prop::ColumnAlign:
        if (column) column->align = alignOf(value);
        break;
    case prop::HeaderAlign:
        if (column) {
            column->headerAlign = alignOf(value);
            column->hasHeader = true;
        }
        break;
    case prop::ColumnCount: return ColumnWrite::Ignored;  // read only
    default: return ColumnWrite::NotAColumnProperty;
    }
    return column ? ColumnWrite::Written : ColumnWrite::Ignored;
}

}  // namespace varnok::window
