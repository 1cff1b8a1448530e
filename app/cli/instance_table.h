// Printing the extension list for the command line: an aligned table or a
// JSON array. Texts are shown without trailing spaces, converted from
// Windows-1252 to UTF-8.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/txa/txa_records.h"
#include "runtime/queue/queue.h"

namespace varnok::app {

struct InstanceRow {
    uint32_t row = 0;
    ExtensionRecord record;
};

// The entries of ExtensionQ in list order.
std::vector<InstanceRow> readInstances(QueueDecl* extensionQ);

// Columns Row, Extension, Procedure, Template, From, To; one line each.
std::string instanceTable(const std::vector<InstanceRow>& rows);
// [{"row": 1, "extension": "...", "procedure": "...", "template": "...",
//   "from": 3, "to": 8}, ...]
std::string instanceJson(const std::vector<InstanceRow>& rows);
// The same JSON for every entry of ExtensionQ, written as it is made (no
// list of rows, no whole text in memory). Every line after the first starts
// with indent (the array nested in another), and closing follows the final
// "]". False when writing failed.
bool writeInstanceJson(QueueDecl* extensionQ, std::FILE* to, std::string_view indent = {},
                       std::string_view closing = "\n");

// One extension's instances: how many, and the lines they span (From..To
// inclusive, summed over the instances).
struct ExtensionSummary {
    std::string extension;  // Windows-1252, without trailing spaces
    uint32_t instances = 0;
    int64_t lines = 0;
};
// One entry per extension name, in the order the names first appear.
std::vector<ExtensionSummary> summarize(const std::vector<InstanceRow>& rows);
// Columns Extension, Instances, Lines; one line each.
std::string summaryTable(const std::vector<ExtensionSummary>& summary);
// [{"extension": "...", "instances": 2, "lines": 9}, ...], laid out as
// writeInstanceJson lays out its array.
std::string summaryJson(const std::vector<ExtensionSummary>& summary, std::string_view indent = {},
                        std::string_view closing = "\n");

// A column of alignedTable: its header and its side.
struct TableColumn {
    std::string header;
    bool rightAligned = false;
};
// A cell: its UTF-8 text and the characters it shows.
struct TableCell {
    std::string text;
    size_t shown = 0;
};
using TableCells = std::vector<TableCell>;
// The header line and one line per row, columns two spaces apart and padded
// to their widest cell, each line without trailing spaces.
std::string alignedTable(const std::vector<TableColumn>& columns, const std::vector<TableCells>& rows);

// Appends text as a JSON string literal (quotes included).
void appendJsonString(std::string& out, std::string_view utf8);

}  // namespace varnok::app
