// Helpers for the export tests: setting a queue's fields by number, and a
// writer that keeps what the saved file would hold (each line without
// trailing spaces, CR LF after it) in a string instead of a file.
#pragma once
#include <cstring>
#include <memory>
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
    int creates = 0;
    int lines = 0;              // lines taken
    int failFromLine = 0;       // add() fails from this line on (1-based); 0 never
    bool refuseCreate = false;  // create() answers nullptr, as after "Error Open"
    bool finished = false;
};

// Keeps each line as the saved file would hold it: without trailing spaces,
// CR LF after it. finish() answers `result`, or 0 after a failed add().
class CapturingOutput final : public queueview::ExportOutput {
public:
    CapturingOutput(CapturedFile& file, uint8_t result) : file_(file), result_(result) {}
    bool add(std::string_view line) override {
        if (failed_ || (file_.failFromLine > 0 && file_.lines + 1 >= file_.failFromLine)) {
            failed_ = true;
            return false;
        }
        ++file_.lines;
        const size_t end = line.find_last_not_of(' ');
        file_.bytes += end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
        file_.bytes += "\r\n";
        return true;
    }
    uint8_t finish() override {
        file_.finished = true;
        return failed_ ? 0 : result_;
    }

private:
    CapturedFile& file_;
    uint8_t result_;
    bool failed_ = false;
};

inline queueview::ExportWriter capturingWriter(CapturedFile& file, uint8_t result = 1) {
    queueview::ExportWriter writer;
    writer.create = [&file, result](std::string_view name) -> std::unique_ptr<queueview::ExportOutput> {
        ++file.creates;
        file.name = std::string(name);
        file.bytes.clear();
        file.lines = 0;
        file.finished = false;
        if (file.refuseCreate) return nullptr;
        return std::make_unique<CapturingOutput>(file, result);
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
