#include "queueview/export/csv_export.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/trailing_spaces.h"
#include "queueview/export/export_names.h"
#include "runtime/pictures/numeric_text.h"
#include "runtime/records/record_reflection.h"
#include "window/message_box.h"

namespace varnok::queueview {

namespace {

struct Column {
    int field = 0;
    bool numeric = true;  // numeric in every entry read so far
};

using platform::withoutTrailingSpaces;

void dropTrailingSpaces(std::string& line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
}

}  // namespace

void appendCsvQuoted(std::string& line, std::string_view text) {
    line += '"';
    for (size_t quote; (quote = text.find('"')) != std::string_view::npos; text.remove_prefix(quote + 1)) {
        line.append(text.data(), quote + 1);
        line += '"';
    }
    line += text;
    line += '"';
}

uint8_t ExportCsv(QueueDecl* queue, std::string_view fileName, std::string_view title, bool withHeader,
                  const ExportWriter& writer) {
    if (!queue || !queue->buffer || !queue->layout || !writer.create) return 0;

    int fieldTotal = 0;
    while (!reflectFieldName(queue, fieldTotal + 1).empty()) ++fieldTotal;
    if (fieldTotal > MaxCsvFields) {
        window::message(std::to_string(fieldTotal) + " more than max " + std::to_string(MaxCsvFields), "Too many fields",
                        window::IconExclamation);
    }

    // The columns and the header.
    std::vector<Column> columns;
    std::string header;
    for (int n = 1; n <= fieldTotal && n <= MaxCsvFields; ++n) {
        if (reflectIsGroup(queue, n)) continue;
        if (!columns.empty()) header += ',';
        appendCsvQuoted(header, exportFieldName(reflectFieldName(queue, n)));
        columns.push_back(Column{n});
    }

    const uint32_t entries = RECORDS(queue);
    std::string value;
    // Type pass: a column stays numeric while every value in it is.
    std::vector<Column*> marked;
    for (Column& c : columns) marked.push_back(&c);
    uint32_t clean = queue->recordSize;  // GETPadded rewrites only what differs
    for (uint32_t i = 1; i <= entries && !marked.empty(); ++i) {
        clean = GETPadded(queue, static_cast<int32_t>(i), clean);
        if (errorCode() != NoError) continue;
        for (size_t k = 0; k < marked.size();) {
            readExportValue(writer, queue, i, marked[k]->field, value);
            if (NUMERIC(value)) {
                ++k;
                continue;
            }
            marked[k]->numeric = false;
            marked.erase(marked.begin() + static_cast<std::ptrdiff_t>(k));
        }
    }

    // Row pass: each line goes out as soon as it is made.
    const std::unique_ptr<ExportOutput> out = writer.create(fileName);
    if (!out) return 0;
    bool added = true;
    if (withHeader) {
        if (!withoutTrailingSpaces(title).empty()) added = out->add(title);
        if (added) added = out->add(header);
    }
    std::string line;
    clean = queue->recordSize;
    for (uint32_t i = 1; i <= entries && added; ++i) {
        clean = GETPadded(queue, static_cast<int32_t>(i), clean);
        if (errorCode() != NoError) continue;
        line.clear();
        for (size_t k = 0; k < columns.size(); ++k) {
            if (k > 0) {
                dropTrailingSpaces(line);
                line += ',';
            }
            readExportValue(writer, queue, i, columns[k].field, value);
            if (columns[k].numeric)
                line += value;
            else
                appendCsvQuoted(line, withoutTrailingSpaces(value));
        }
        added = out->add(line);
    }
    return out->finish();
}

}  // namespace varnok::queueview
