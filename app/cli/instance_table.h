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
// list of rows, no whole text in memory). False when writing failed.
bool writeInstanceJson(QueueDecl* extensionQ, std::FILE* to);

// Appends text as a JSON string literal (quotes included).
void appendJsonString(std::string& out, std::string_view utf8);

}  // namespace varnok::app
