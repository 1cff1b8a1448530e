#include "app/cli/instance_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <unordered_map>

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

std::string alignedTable(const std::vector<TableColumn>& columns, const std::vector<TableCells>& rows) {
    const size_t n = columns.size();
    std::vector<size_t> width(n);
    for (size_t k = 0; k < n; ++k) width[k] = columns[k].header.size();
    for (const TableCells& r : rows)
        for (size_t k = 0; k < n && k < r.size(); ++k) width[k] = std::max(width[k], r[k].shown);
    std::string out;
    auto line = [&](auto textOf, auto shownOf) {
        std::string row;
        for (size_t k = 0; k < n; ++k) {
            const size_t pad = width[k] - shownOf(k);
            if (k > 0) row += "  ";
            if (columns[k].rightAligned) row.append(pad, ' ');
            row += textOf(k);
            if (!columns[k].rightAligned) row.append(pad, ' ');
        }
        row.erase(row.find_last_not_of(' ') + 1);
        out += row;
        out += '\n';
    };
    line([&](size_t k) -> const std::string& { return columns[k].header; },
         [&](size_t k) { return columns[k].header.size(); });
    for (const TableCells& r : rows)
        line([&](size_t k) -> const std::string& { return r[k].text; }, [&](size_t k) { return r[k].shown; });
    return out;
}

std::string instanceTable(const std::vector<InstanceRow>& rows) {
    static const std::vector<TableColumn> columns = {{"Row", true},      {"Extension", false}, {"Procedure", false},
                                                     {"Template", false}, {"From", true},       {"To", true}};
    std::vector<TableCells> cells;
    cells.reserve(rows.size());
    for (const InstanceRow& r : rows) {
        const Cells c = cellsOf(r);
        TableCells row(6);
        for (int k = 0; k < 6; ++k) row[k] = {c.text[k], c.width[k]};
        cells.push_back(std::move(row));
    }
    return alignedTable(columns, cells);
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

void appendInstanceJson(std::string& out, const InstanceRow& row, bool last, std::string& scratch,
                        std::string_view indent) {
    const ExtensionRecord& r = row.record;
    auto text = [&](const char* field, size_t size) {
        scratch.clear();
        platform::appendCp1252AsUtf8(trimmed(field, size), scratch);
        appendJsonString(out, scratch);
    };
    out += indent;
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
    for (size_t i = 0; i < rows.size(); ++i) appendInstanceJson(out, rows[i], i + 1 == rows.size(), scratch, {});
    out += "]\n";
    return out;
}

bool writeInstanceJson(QueueDecl* extensionQ, std::FILE* to, std::string_view indent, std::string_view closing) {
    const uint32_t count = RECORDS(extensionQ);
    std::string out = count == 0 ? "[]" : "[\n";
    std::string scratch;
    constexpr size_t kFlushAt = 64 * 1024;
    bool ok = true;
    InstanceRow row;
    for (uint32_t i = 1; i <= count && ok; ++i) {
        GET(extensionQ, static_cast<int32_t>(i));
        if (errorCode() != NoError) continue;
        row.row = i;
        row.record.read(extensionQ->buffer);
        appendInstanceJson(out, row, i == count, scratch, indent);
        if (out.size() >= kFlushAt) {
            ok = std::fwrite(out.data(), 1, out.size(), to) == out.size();
            out.clear();
        }
    }
    if (count > 0) {
        out += indent;
        out += "]";
    }
    out += closing;
    return ok && std::fwrite(out.data(), 1, out.size(), to) == out.size();
}

std::vector<ExtensionSummary> summarize(const std::vector<InstanceRow>& rows) {
    std::vector<ExtensionSummary> summary;
    std::unordered_map<std::string_view, size_t> at;  // name -> index in summary
    for (const InstanceRow& r : rows) {
        const std::string_view name = trimmed(r.record.extensionName, ExtNameSize);
        auto [it, isNew] = at.try_emplace(name, summary.size());
        if (isNew) summary.push_back({std::string(name), 0, 0});
        ExtensionSummary& s = summary[it->second];
        ++s.instances;
        // From..To inclusive; a record whose range is empty spans no line.
        s.lines += std::max<int64_t>(0, int64_t{r.record.toLineNo} - r.record.fromLineNo + 1);
    }
    return summary;
}

std::string summaryTable(const std::vector<ExtensionSummary>& summary) {
    static const std::vector<TableColumn> columns = {{"Extension", false}, {"Instances", true}, {"Lines", true}};
    std::vector<TableCells> cells;
    cells.reserve(summary.size());
    for (const ExtensionSummary& s : summary) {
        TableCells row(3);
        row[0] = {platform::cp1252ToUtf8(s.extension), s.extension.size()};  // one character per byte
        row[1].text = std::to_string(s.instances);
        row[2].text = std::to_string(s.lines);
        row[1].shown = row[1].text.size();
        row[2].shown = row[2].text.size();
        cells.push_back(std::move(row));
    }
    return alignedTable(columns, cells);
}

std::string summaryJson(const std::vector<ExtensionSummary>& summary, std::string_view indent, std::string_view closing) {
    std::string out = summary.empty() ? "[]" : "[\n";
    for (size_t i = 0; i < summary.size(); ++i) {
        const ExtensionSummary& s = summary[i];
        out += indent;
        out += "  {\"extension\": ";
        appendJsonString(out, platform::cp1252ToUtf8(s.extension));
        out += ", \"instances\": ";
        appendNumber(out, s.instances);
        out += ", \"lines\": ";
        appendNumber(out, s.lines);
        out += i + 1 == summary.size() ? "}\n" : "},\n";
    }
    if (!summary.empty()) {
        out += indent;
        out += "]";
    }
    out += closing;
    return out;
}

}  // namespace varnok::app
