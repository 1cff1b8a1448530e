#include "window/list_cells.h"

#include "platform/trailing_spaces.h"
#include "runtime/pictures/format.h"

namespace varnok::window {

std::vector<ColumnFields> columnFields(const std::vector<ListColumn>& columns) {
    std::vector<ColumnFields> fields;
    fields.reserve(columns.size());
    int next = 1;
    for (const ListColumn& c : columns) {
        ColumnFields f;
        f.field = next++;
        if (c.icon) f.iconField = next++;
        fields.push_back(f);
    }
    return fields;
}

std::string cellText(std::string_view fieldText, const CompiledPicture& picture) {
    std::string text = formatText(fieldText, picture);
    size_t end = text.find_last_not_of(' ');
    if (end == std::string::npos) return std::string();
    size_t begin = text.find_first_not_of(' ');
    return text.substr(begin, end + 1 - begin);
}

int32_t iconNumber(std::string_view fieldText) {
    size_t i = 0;
    while (i < fieldText.size() && fieldText[i] == ' ') ++i;
    int64_t value = 0;
    bool digits = false;
    for (; i < fieldText.size() && fieldText[i] >= '0' && fieldText[i] <= '9'; ++i) {
        value = value * 10 + (fieldText[i] - '0');
        if (value > INT32_MAX) return 0;
        digits = true;
    }
    return digits ? static_cast<int32_t>(value) : 0;
}

void ListCells::setColumns(std::vector<ListColumn> columns) {
    columns_ = std::move(columns);
    fields_ = columnFields(columns_);
    pictures_.clear();
    pictures_.reserve(columns_.size());
    for (const ListColumn& c : columns_) {
        pictures_.push_back(c.picture.empty() ? nullptr
                                              : std::make_shared<const CompiledPicture>(compilePicture(c.picture)));
    }
}

std::string ListCells::text(int column, const FieldReader& field) const {
    if (column < 0 || column >= columnCount()) return std::string();
    std::string value = field(fields_[static_cast<size_t>(column)].field);
    const auto& picture = pictures_[static_cast<size_t>(column)];
    if (!picture) {
        value.resize(platform::trimmedLength(value.data(), value.size()));
        return value;
    }
    return cellText(value, *picture);
}

int32_t ListCells::icon(int column, const FieldReader& field) const {
    if (column < 0 || column >= columnCount()) return 0;
    const ColumnFields& f = fields_[static_cast<size_t>(column)];
    return f.iconField ? iconNumber(field(f.iconField)) : 0;
}

}  // namespace varnok::window
