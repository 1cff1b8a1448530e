#include "window/core/list_data.h"

#include <algorithm>

namespace varnok::window {

const ListData::Row& ListData::row(int32_t row) {
    if (cachedRow_ == row) return cache_;
    const int columns = cells.columnCount();
    cachedRow_ = row;
    cache_.texts.assign(static_cast<size_t>(columns), std::string());
    cache_.icons.assign(static_cast<size_t>(columns), 0);
    if (!source) return cache_;
    auto field = [this, row](int n) { return source->fieldText(row, n); };
    for (int c = 0; c < columns; ++c) {
        cache_.texts[static_cast<size_t>(c)] = cells.text(c, field);
        cache_.icons[static_cast<size_t>(c)] = cells.icon(c, field);
    }
    return cache_;
}

int32_t ListData::cellIcon(int32_t rowNumber, int column) {
    if (column < 0 || column >= cells.columnCount() || !cells.fields(column).iconField) return 0;
    return row(rowNumber).icons[static_cast<size_t>(column)];
}

int32_t ListData::reread() {
    forgetRow();
    if (!source) return 0;
    stamp = source->changeStamp();
    return std::max<int32_t>(0, source->rowCount());
}

void ListData::setColumns(std::vector<ListColumn> columns) {
    cells.setColumns(std::move(columns));
    forgetRow();
}

bool ListData::setIconName(int32_t number, std::string name) {
    if (number < 1 || number > 4096) return false;
    if (static_cast<size_t>(number) > iconNames.size()) iconNames.resize(static_cast<size_t>(number));
    iconNames[static_cast<size_t>(number - 1)] = std::move(name);
    return true;
}

std::string ListData::iconName(int32_t number) const {
    return number >= 1 && static_cast<size_t>(number) <= iconNames.size() ? iconNames[static_cast<size_t>(number - 1)]
                                                                           : std::string();
}

std::vector<int> columnPixels(const std::vector<ListColumn>& columns, const DialogBase& base, int defaultPixels) {
    std::vector<int> pixels;
    int32_t unitsSoFar = 0, edge = 0;
    for (const ListColumn& column : columns) {
        int width = defaultPixels;
        if (column.width > 0) {
            unitsSoFar += column.width;
            width = unitsToPixelsX(unitsSoFar, base) - edge;
        } else {
            unitsSoFar += pixelsToUnitsX(width, base);
        }
        pixels.push_back(width);
        edge += width;
    }
    return pixels;
}

FittedColumns fitColumns(const std::vector<int>& pixels, int listWidth, int viewWidth, bool mayShrink) {
    FittedColumns fitted{pixels, true};
    int total = 0;
    for (int width : pixels) total += width;
    fitted.fits = total <= listWidth;
    const int overflow = total - viewWidth;
    if (fitted.fits && overflow > 0 && mayShrink && !fitted.widths.empty()) {
        int& widest = *std::max_element(fitted.widths.begin(), fitted.widths.end());
        widest = std::max(1, widest - overflow);
    }
    return fitted;
}

}  // namespace varnok::window
