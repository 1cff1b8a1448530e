// The viewer's typing pass: what every column of a queue holds, learnt from
// the field names and every value, and the picture, width and alignment
// each column is then shown with.
//
// ColumnQ has one ColumnEntry per field of the viewed queue, in field order
// (a group counts as a field). It is kept in a vector: the viewer only ever
// walks it in order and reads entries by column number.
//
// describeColumns reads the names: each name gets its first letter in upper
// case and MaxLen its length; a field with more than one element stops the
// description (the viewer cannot show it). typeColumns then reads every
// value of every entry, through read-for-display, so the queue's buffer,
// cursor and change counter stay as they were:
//   - Numeric stays 1 while every value is a number (runtime NUMERIC);
//   - Decimals is the most characters after a '.' that is not the last
//     character, among the values read while the column was numeric: ".125"
//     and "1.125" count 3, "5." counts none;
//   - DateField stays 1 while every value is a number inside the date range
//     (1 January 1950 to 31 December 2049, standard dates 54425 to 90949),
//     by the number's value: "6e4" and "0060000" are dates as "60000" is;
//   - MaxLen is the longest name or value, MaxFieldLen the longest value,
//     SameLen 1 while every value has the same length (0 with no entries).
// Values are texts without trailing spaces (the record reflection's).
//
// columnLook turns an entry into what its column shows:
//     numeric, date      "@d06"            centred, width 50
//     numeric            "@n-15", "@n-15.2" (1 or 2 decimals), "@n-15.3" ...
//                                          right, width 4 * MaxLen + 10
//     text, MaxLen > 255 "@s255"           left, width 4 * MaxLen + 10
//     text, 21..255      "@s" MaxLen       left, width 4 * MaxLen + 10
//     text, up to 20     "@s20"            left, width 4 * MaxLen + 10
// An empty queue leaves every column numeric and date-like: date pictures.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/queue/queue.h"

namespace varnok::queueview {

// The date range that marks a column of dates.
int32_t firstViewerDate();  // DATE(1, 1, 1950) = 54425
int32_t lastViewerDate();   // DATE(12, 31, 2049) = 90949

// The value of a text that NUMERIC accepts, as a double: leading spaces, a
// '+', leading zeros and an exponent are all read ("+6e4" and "0060000" are
// 60000). NaN, which lies in no range, when a double cannot hold the value.
double numericValue(std::string_view numericText);

// Whether a number lies in the date range, ends included. The typing pass
// and the record view both decide with this.
bool inViewerDateRange(double number);

// One entry of ColumnQ. The lengths are 32-bit, so that fields longer than
// a SHORT can count still get their true width.
struct ColumnEntry {
    std::string PFieldName;  // first character in upper case
    uint8_t Numeric = 1;
    int16_t Decimals = 0;
    std::string Picture;     // the picture the column ends up with
    int32_t MaxLen = 0;
    int32_t MaxFieldLen = 0;
    uint8_t SameLen = 0;
    uint8_t DateField = 1;
    uint8_t QueueField = 0;  // reserved; never set
    int32_t DimNo = 1;
};

// The first field with more than one element, when describeColumns met one.
struct DimensionedField {
    std::string name;      // as the header would show it
    int32_t dimensions = 0;
};

// Clears columns and describes the fields of the queue; false (with the
// field in `dimensioned`) at a field of more than one element.
bool describeColumns(QueueDecl* queue, std::vector<ColumnEntry>& columns, DimensionedField& dimensioned);

// Reads every entry of the queue into the columns' statistics.
void typeColumns(QueueDecl* queue, std::vector<ColumnEntry>& columns);

// Takes one value into a column's statistics; `first` for the first entry.
void takeColumnValue(ColumnEntry& column, std::string_view value, bool first);

// The message shown for a dimensioned field (the "|" starts a new line).
std::string dimensionedFieldMessage(const DimensionedField& field);

struct ColumnLook {
    std::string picture;
    int32_t width = 0;     // dialog units
    char align = 'L';      // data
    char headerAlign = 'L';
};
ColumnLook columnLook(const ColumnEntry& column);

// The alignment a picture typed into the picture editor gives its column:
// 'L' for "@s", 'R' for "@n", 'C' for "@d" and "@t" (either case); 0 for
// anything else (the alignment stays).
char alignmentForPicture(std::string_view picture);

}  // namespace varnok::queueview
