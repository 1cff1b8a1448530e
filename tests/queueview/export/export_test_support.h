// Helpers for the export tests: setting a queue's fields by number, and a
// writer that keeps what SaveText would write (each line without trailing
// spaces, CR LF after it) in a string instead of a file.
#pragma once
#include <cstring>
#include <string>
#include <string_view>

#include "queueview/export/export_writer.h"
#include "runtime/queue/queue.h"
#include "runtime/records/record_reflection.h"

namespace varnok::testing {

template <class T>
void setNumber(Queue& q, int field, T value) {
    std::memcpy(q.buffer() + q.layout().field(field)->offset, &value, sizeof value);
}

// A STRING field: the text cut and padded with spaces; a CSTRING: the text
// and a zero.
inline void setText(Queue& q, int field, std::string_view text) {
    const FieldDesc* f = q.layout().field(field);
    uint8_t* p = q.buffer() + f->offset;
    if (f->type == FieldType::CString) {
        const size_t n = std::min<size_t>(text.size(), f->size - 1);
        std::memcpy(p, text.data(), n);
        p[n] = 0;
        return;
    }
    std::memset(p, ' ', f->size);
    std::memcpy(p, text.data(), std::min<size_t>(text.size(), f->size));
}

struct CapturedFile {
    std::string name;
    std::string bytes;
    int saves = 0;
    uint32_t longestRecord = 0;  // record size of the line queue handed over
};

inline queueview::ExportWriter capturingWriter(CapturedFile& file, uint8_t result = 1) {
    queueview::ExportWriter writer;
    writer.saveText = [&file, result](QueueDecl* lines, std::string_view name) -> uint8_t {
        ++file.saves;
        file.name = std::string(name);
        file.longestRecord = lines->recordSize;
        file.bytes.clear();
        const uint32_t n = RECORDS(lines);
        for (uint32_t i = 1; i <= n; ++i) {
            GET(lines, static_cast<int32_t>(i));
            std::string_view record(reinterpret_cast<const char*>(lines->buffer), lines->recordSize);
            const size_t end = record.find_last_not_of(' ');
            file.bytes += end == std::string_view::npos ? std::string_view() : record.substr(0, end + 1);
            file.bytes += "\r\n";
        }
        return result;
    };
    return writer;
}

// The file's lines, split at CR LF.
inline std::vector<std::string> linesOf(std::string_view bytes) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find("\r\n", at);
        if (end == std::string_view::npos) end = bytes.size();
        lines.emplace_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

}  // namespace varnok::testing
