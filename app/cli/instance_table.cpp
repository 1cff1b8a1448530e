#include "app/cli/instance_table.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/cp1252.h"
#include "runtime/errors/error_codes.h"

namespace varnok::app {

namespace {

struct Cells {
    std::array<std::string, 6> text;   // UTF-8
    std::array<size_t, 6> width{};     // characters shown
};

Cells cellsOf(const InstanceRow& r) {
    Cells c;
    std::string_view fields[3] = {trimmed(r.record.extensionName, ExtNameSize), trimmed(r.record.procName, ExtProcSize),
                                  trimmed(r.record.templateName, ExtTemplateSize)};
    c.text[0] = std::to_string(r.row);
    c.width[0] = c.text[0].size();
    for (int i = 0; i < 3; ++i) {
        c.text[1 + i] = platform::cp1252ToUtf8(fields[i]);
        c.width[1 + i] = fields[i].size();  // one character per Windows-1252 byte
    }
    c.text[4] = std::to_string(r.record.fromLineNo);
    c.text[5] = std::to_string(r.record.toLineNo);
    c.width[4] = c.text[4].size();
    c.width[5] = c.text[5].size();
    return c;
}

}  // namespace

std::vector<InstanceRow> readInstances(QueueDecl* extensionQ) {
    std::vector<InstanceRow> rows;
    uint32_t count = RECORDS(extensionQ);
    rows.reserve(count);
    for (uint32_t i = 1; i <= count; ++i) {
        GET(extensionQ, static_cast<int32_t>(i));
        if (errorCode() != NoError) continue;
        InstanceRow r;
        r.row = i;
        r.record.read(extensionQ->buffer);
        rows.push_back(r);
    }
    return rows;
}

std::string instanceTable(const std::vector<InstanceRow>& rows) {
    static const char* const headers[6] = {"Row", "Extension", "Procedure", "Template", "From", "To"};
    static const bool rightAligned[6] = {true, false, false, false, true, true};
    std::vector<Cells> cells;
    cells.reserve(rows.size());
    std::array<size_t, 6> width{};
    for (int k = 0; k < 6; ++k) width[k] = std::char_traits<char>::length(headers[k]);
    for (const InstanceRow& r : rows) {
        cells.push_back(cellsOf(r));
        for (int k = 0; k < 6; ++k) width[k] = std::max(width[k], cells.back().width[k]);
    }
    std::string out;
    auto line = [&](const std::array<std::string, 6>& text, const std::array<size_t, 6>& shown) {
        std::string row;
        for (int k = 0; k < 6; ++k) {
            size_t pad = width[k] - shown[k];
            if (k > 0) row += "  ";
            if (rightAligned[k]) row.append(pad, ' ');
            row += text[k];
            if (!rightAligned[k]) row.append(pad, ' ');
        }
        row.erase(row.find_last_not_of(' ') + 1);
        out += row;
        out += '\n';
    };
    Cells head;
    for (int k = 0; k < 6; ++k) {
        head.text[k] = headers[k];
        head.width[k] = head.text[k].size();
    }
    line(head.text, head.width);
    for (const Cells& c : cells) line(c.text, c.width);
    return out;
}

void appendJsonString(std::string& out, std::string_view utf8) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    // Bytes that need no escape are copied in runs.
    size_t run = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(utf8[i]);
        if (ch >= 0x20 && ch != 0x7F && ch != '"' && ch != '\\') continue;
        out.append(utf8.data() + run, i - run);
        run = i + 1;
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            out += "\\u00";
            out += hex[ch >> 4];
            out += hex[ch & 15];
        }
    }
    out.append(utf8.data() + run, utf8.size() - run);
    out += '"';
}

namespace {

void appendNumber(std::string& out, int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<size_t>(end - digits));
}

void appendInstanceJson(std::string& out, const InstanceRow& row, bool last, std::string& scratch) {
    const ExtensionRecord& r = row.record;
    auto text = [&](const char* field, size_t size) {
        scratch.clear();
        platform::appendCp1252AsUtf8(trimmed(field, size), scratch);
        appendJsonString(out, scratch);
    };
    out += "  {\"row\": ";
    appendNumber(out, row.row);
    out += ", \"extension\": ";
    text(r.extensionName, ExtNameSize);
    out += ", \"procedure\": ";
    text(r.procName, ExtProcSize);
    out += ", \"template\": ";
    text(r.templateName, ExtTemplateSize);
    out += ", \"from\": ";
    appendNumber(out, r.fromLineNo);
    out += ", \"to\": ";
    appendNumber(out, r.toLineNo);
    out += last ? "}\n" : "},\n";
}

}  // namespace

std::string instanceJson(const std::vector<InstanceRow>& rows) {
    if (rows.empty()) return "[]\n";
    std::string out = "[\n";
    std::string scratch;
    for (size_t i = 0; i < rows.size(); ++i) appendInstanceJson(out, rows[i], i + 1 == rows.size(), scratch);
    out += "]\n";
    return out;
}

bool writeInstanceJson(QueueDecl* extensionQ, std::FILE* to) {
    const uint32_t count = RECORDS(extensionQ);
    std::string out = count == 0 ? "[]\n" : "[\n";
    std::string scratch;
    constexpr size_t kFlushAt = 64 * 1024;
    bool ok = true;
    InstanceRow row;
    for (uint32_t i = 1; i <= count && ok; ++i) {
        GET(extensionQ, static_cast<int32_t>(i));
        if (errorCode() != NoError) continue;
        row.row = i;
        row.record.read(extensionQ->buffer);
        appendInstanceJson(out, row, i == count, scratch);
        if (out.size() >= kFlushAt) {
            ok = std::fwrite(out.data(), 1, out.size(), to) == out.size();
            out.clear();
        }
    }
    if (count > 0) out += "]\n";
    return ok && std::fwrite(out.data(), 1, out.size(), to) == out.size();
}

}  // namespace varnok::app
