// ExportCsv: a queue as comma-separated values.
//
//   line 1  the title, unchanged            (with a header and a title only)
//   line 2  "Name1","Name2",...              (with a header)
//   then    one line per entry, in queue order: the values of the same fields
//
// Group fields are left out (their members are fields of their own). A
// field whose value is numeric (runtime/pictures/numeric_text.h) in every
// entry is written bare; any other is written between double quotes without
// trailing spaces, every double quote inside it doubled, so that a CSV
// reader gets every value back as the queue holds it. A value inside quotes
// may hold line breaks. Lines are never cut.
//
// More than MaxCsvFields fields: the message "<count> more than max 1024"
// (caption "Too many fields", exclamation icon) is shown and only the first
// 1024 fields, header included, are written.
#pragma once
#include <cstdint>
#include <string_view>

#include "queueview/export/export_writer.h"
#include "runtime/queue/queue.h"

namespace varnok::queueview {

constexpr int MaxCsvFields = 1024;

// Writes the lines through writer.create as it makes them. Returns 1 when the
// file was written, 0 when not (the failure was reported by a message).
uint8_t ExportCsv(QueueDecl* queue, std::string_view fileName, std::string_view title, bool withHeader,
                  const ExportWriter& writer);

// Appends text between double quotes, each double quote in it doubled.
void appendCsvQuoted(std::string& line, std::string_view text);

}  // namespace varnok::queueview
