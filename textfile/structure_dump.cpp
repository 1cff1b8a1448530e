#include "textfile/structure_dump.h"

#include <cstdio>
#include <cstdint>

namespace varnok::textfile {

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string fileLine(const FileDecl& file) {
    std::string line = "FILE,DRIVER(" + quoted(file.driverName) + "," + quoted(file.driverString) + ")";
    if (!file.owner.empty()) line += ",OWNER(******)";
    if (!file.name.empty()) line += ",NAME(" + quoted(file.name) + ")";
    if (file.create) line += ",CREATE";
    if (file.encrypt) line += ",ENCRYPT";
    if (file.reclaim) line += ",RECLAIM";
    if (file.thread) line += ",THREAD";
    return line;
}

std::string blobLine(const BlobDecl& blob) {
    std::string line = blob.isMemo ? "MEMO(" + std::to_string(blob.size) + ")" : "BLOB";
    if (!blob.name.empty()) line += ",NAME(" + quoted(blob.name) + ")";
    if (blob.binary) line += ",BINARY";
    return line;
}

std::string joined(const std::vector<uint32_t>& numbers) {
    std::string text;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i) text += ",";
        text += std::to_string(numbers[i]);
    }
    return text;
}

// Type name with its size, digits or picture.
std::string typeText(const FieldDesc& f) {
    std::string text = fieldTypeName(static_cast<int>(f.type));
    char buf[64];
    if (f.type == FieldType::Decimal || f.type == FieldType::PDecimal) {
        unsigned digits = f.size == 0 ? 0u : 2u * f.size - 1u;
        std::snprintf(buf, sizeof buf, "(%u,%u)", digits, static_cast<unsigned>(f.places));
        text += buf;
    } else if (isTextType(f.type)) {
        if (!f.picture.empty()) {
            // Pictures are kept with their "@"; the dump writes one "@".
            text += "(@" + (f.picture[0] == '@' ? f.picture.substr(1) : f.picture) + ")";
        } else {
            std::snprintf(buf, sizeof buf, "(%u)", static_cast<unsigned>(f.size));
            text += buf;
        }
    }
    return text;
}

// One nesting level of the record: its fields so far, to find OVER targets.
struct Level {
    uint32_t remaining;           // member fields still to come (all levels below)
    uint32_t end;                 // first byte after the fields seen so far
    std::vector<const FieldDesc*> fields;
};

const FieldDesc* overTarget(const Level& level, const FieldDesc& f) {
    if (f.offset >= level.end) return nullptr;
    for (const FieldDesc* earlier : level.fields) {
        if (f.offset >= earlier->offset && f.offset < earlier->offset + earlier->totalSize())
            return earlier;
    }
    return nullptr;
}

void recordLines(const RecordLayout& layout, std::vector<std::string>& lines) {
    lines.push_back("RECORD");
    std::vector<Level> levels;
    levels.push_back({static_cast<uint32_t>(layout.fields().size()), 0, {}});
    for (const FieldDesc& f : layout.fields()) {
        // Close the groups whose members have all been written.
        while (levels.size() > 1 && levels.back().remaining == 0) {
            levels.pop_back();
            lines.push_back(std::string(2 * levels.size(), ' ') + "END");
        }
        Level& level = levels.back();
        std::string line = std::string(2 * levels.size(), ' ') + f.name + " " + typeText(f);
        if (!f.dims.empty()) line += ", DIM(" + joined(f.dims) + ")";
        if (const FieldDesc* over = overTarget(level, f)) line += ", OVER(" + over->name + ")";
        lines.push_back(line);
        for (Level& outer : levels) --outer.remaining;
        level.fields.push_back(&f);
        if (f.offset + f.totalSize() > level.end) level.end = f.offset + f.totalSize();
        if (f.type == FieldType::Group) levels.push_back({f.groupFieldCount, f.offset, {}});
    }
    while (levels.size() > 1) {
        levels.pop_back();
        lines.push_back(std::string(2 * levels.size(), ' ') + "END");
    }
    lines.push_back("END");
}

}  // namespace

std::string keyDeclarationText(const FileDecl& file, const KeyDecl& key) {
    std::string line = key.isIndex ? "INDEX(" : "KEY(";
    for (size_t i = 0; i < key.components.size(); ++i) {
        if (i) line += ",";
        int64_t c = key.components[i];
        int64_t number = c < 0 ? -c : c;
        const FieldDesc* f = file.record && number <= INT32_MAX
                                 ? file.record->field(static_cast<int>(number))
                                 : nullptr;
        if (c < 0) line += "-";
        line += f ? f->name : "#" + std::to_string(number);
    }
    line += ")";
    if (key.dup) line += ",DUP";
    if (key.opt) line += ",OPT";
    if (key.nocase) line += ",NOCASE";
    if (key.primary) line += ",PRIMARY";
    if (!key.name.empty()) line += ",NAME(" + quoted(key.name) + ")";
    return line;
}

std::vector<std::string> structureDumpLines(const FileDecl& file) {
    std::vector<std::string> lines;
    lines.push_back(fileLine(file));
    for (const KeyDecl& key : file.keys) lines.push_back(keyDeclarationText(file, key));
    for (const BlobDecl& blob : file.blobs) lines.push_back(blobLine(blob));
    if (file.record) {
        recordLines(*file.record, lines);
    } else {
        lines.push_back("RECORD");
        lines.push_back("END");
    }
    lines.push_back("END");
    return lines;
}

}  // namespace varnok::textfile
