#include "queueview/viewer/column_typing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "platform/trailing_spaces.h"
#include "queueview/viewer/field_text.h"
#include "runtime/calendar/dates.h"
#include "runtime/locale/locale.h"
#include "runtime/pictures/numeric_text.h"
#include "runtime/records/record_reflection.h"

namespace varnok::queueview {

int32_t firstViewerDate() {
    static const int32_t date = DATE(1, 1, 1950);
    return date;
}

int32_t lastViewerDate() {
    static const int32_t date = DATE(12, 31, 2049);
    return date;
}

double numericValue(std::string_view numericText) {
    size_t from = 0;
    while (from < numericText.size() && numericText[from] == ' ') ++from;
    // from_chars reads a '-' but not a '+'.
    if (from < numericText.size() && numericText[from] == '+') ++from;
    const char* last = numericText.data() + numericText.size();
    double value = 0;
    const std::errc error = std::from_chars(numericText.data() + from, last, value).ec;
    return error == std::errc() ? value : std::nan("");
}

bool inViewerDateRange(double number) {
    return number >= firstViewerDate() && number <= lastViewerDate();
}

namespace {

int32_t textLength(std::string_view text) {
    return static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
}

}  // namespace

bool describeColumns(QueueDecl* queue, std::vector<ColumnEntry>& columns, DimensionedField& dimensioned) {
    columns.clear();
    for (int n = 1;; ++n) {
        std::string name = reflectFieldName(queue, n);
        if (name.empty()) break;
        name[0] = static_cast<char>(upperCase(static_cast<uint8_t>(name[0])));
        ColumnEntry column;
        column.MaxLen = static_cast<int32_t>(platform::trimmedLength(name.data(), name.size()));
        column.DimNo = static_cast<int32_t>(reflectElementCount(queue, n));
        column.PFieldName = std::move(name);
        if (column.DimNo > 1) {
            dimensioned.name = column.PFieldName;
            dimensioned.dimensions = column.DimNo;
            return false;
        }
        columns.push_back(std::move(column));
    }
    return true;
}

void takeColumnValue(ColumnEntry& column, std::string_view value, bool first) {
    const int32_t len = textLength(value);
    // Once a column holds a text, its numbers no longer matter: the numeric
    // test is skipped from then on.
    if (column.Numeric) {
        if (NUMERIC(value)) {
            // The point's position p counts from 1; it must not be the last
            // character, and a point in front (".125") counts like any other.
            const size_t dot = value.find('.');
            if (dot != std::string_view::npos && dot + 1 < value.size()) {
                const int32_t p = int32_t(dot) + 1;
                column.Decimals = static_cast<int16_t>(std::clamp<int32_t>(len - p, column.Decimals, INT16_MAX));
            }
            if (column.DateField && !inViewerDateRange(numericValue(value))) column.DateField = 0;
        } else {
            column.Numeric = 0;
            column.DateField = 0;
        }
    }
    column.MaxLen = std::max(column.MaxLen, len);
    if (first) {
        column.MaxFieldLen = len;
        column.SameLen = 1;
    } else if (len != column.MaxFieldLen) {
        column.SameLen = 0;
        column.MaxFieldLen = std::max(column.MaxFieldLen, len);
    }
}

void typeColumns(QueueDecl* queue, std::vector<ColumnEntry>& columns) {
    if (!queue || !queue->layout || columns.empty()) return;
    const RecordLayout& layout = *queue->layout;
    const uint32_t count = RECORDS(queue);
    FieldTextReader reader;
    const int fields = static_cast<int>(columns.size());
    for (uint32_t row = 1; row <= count; ++row) {
        if (readForDisplay(queue, static_cast<int32_t>(row)) != 0) break;
        const uint8_t* record = secondView(queue);
        if (!record) break;
        for (int n = 1; n <= fields; ++n)
            takeColumnValue(columns[static_cast<size_t>(n - 1)], reader.text(layout, record, n), row == 1);
    }
}

std::string dimensionedFieldMessage(const DimensionedField& field) {
    return "Column: " + field.name + " has " + std::to_string(field.dimensions) + " dimensions" +
           "|Cannot view a queue wih dimensioned fields";
}

ColumnLook columnLook(const ColumnEntry& column) {
    ColumnLook look;
    look.width = 4 * column.MaxLen + 10;
    if (column.Numeric && column.DateField) {
        look.picture = "@d06";
        look.align = look.headerAlign = 'C';
        look.width = 50;
    } else if (column.Numeric) {
        look.align = look.headerAlign = 'R';
        if (column.Decimals == 0) look.picture = "@n-15";
        else if (column.Decimals == 1) look.picture = "@n-15.2";
        else look.picture = "@n-15." + std::to_string(column.Decimals);
    } else if (column.MaxLen > 255) {
        look.picture = "@s255";
    } else if (column.MaxLen > 20) {
        look.picture = "@s" + std::to_string(column.MaxLen);
    } else {
        look.picture = "@s20";
    }
    return look;
}

char alignmentForPicture(std::string_view picture) {
    if (picture.size() < 2 || picture[0] != '@') return 0;
    switch (picture[1]) {
    case 's': case 'S': return 'L';
    case 'n': case 'N': return 'R';
    case 'd': case 'D': case 't': case 'T': return 'C';
    default: return 0;
    }
}

}  // namespace varnok::queueview
