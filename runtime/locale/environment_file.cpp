#include "runtime/locale/environment_file.h"

#include <fstream>
#include <istream>

#include "runtime/locale/locale.h"

namespace varnok {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One "key=value" line; lines without '=' are skipped.
void applyLine(std::string_view line) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    std::string key;
    for (char c : line.substr(0, eq))
        if (!isBlank(c) && key.size() < MaxEnvironmentKeyLength) key.push_back(c);
    if (key.empty()) return;
    std::string_view value = line.substr(eq + 1, MaxEnvironmentValueLength);
    while (!value.empty() && isBlank(value.back())) value.remove_suffix(1);
    applySetting(key, expandEscapes(value));
}

}  // namespace

std::string environmentFilePath(std::string_view programPath) {
    // The extension is searched for in the file name only.
    size_t start = programPath.find_last_of("\\:/");
    start = start == std::string_view::npos ? 0 : start + 1;
    size_t dot = programPath.rfind('.');
    std::string path(programPath);
    if (programPath.empty()) return path;
    if (dot != std::string_view::npos && dot >= start) path.resize(dot);
    return path + ".ENV";
}

std::string expandEscapes(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    size_t i = 0;
    while (i < value.size()) {
        const char c = value[i];
        if (c != '<' || i + 1 >= value.size()) {
            out.push_back(c);
            ++i;
            continue;
        }
        const char next = value[i + 1];
        if (next == '<') {
            out.push_back('<');
            i += 2;
            continue;
        }
        if (!isDigit(next)) {
            out.push_back('<');  // the next character is read as usual
            ++i;
            continue;
        }
        size_t end = i + 1;
        unsigned code = 0;
        while (end < value.size() && isDigit(value[end])) {
            if (code <= 255) code = code * 10 + unsigned(value[end] - '0');
            ++end;
        }
        if (code == 0 || code > 255) {
            // Not a character: the text stays as written.
            out.append(value.substr(i, end - i));
            i = end;
            continue;
        }
        out.push_back(char(code));
        i = end < value.size() ? end + 1 : end;  // drops the closing '>'
    }
    return out;
}

std::vector<std::string> splitListItems(std::string_view value) {
    std::vector<std::string> items;
    if (value.empty()) return items;
    if (value.front() != '"') {
        size_t start = 0;
        for (;;) {
            size_t comma = value.find(',', start);
            items.emplace_back(value.substr(start, comma == std::string_view::npos ? comma : comma - start));
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
        return items;
    }
    size_t i = 0;
    const size_t n = value.size();
    while (i < n) {
        while (i < n && isBlank(value[i])) ++i;
        if (i >= n) break;
        std::string item;
        if (value[i] == '"') {
            ++i;
            while (i < n) {
                if (value[i] == '"') {
                    if (i + 1 < n && value[i + 1] == '"') {
                        item.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item.push_back(value[i++]);
            }
        } else {
            while (i < n && value[i] != ',' && !isBlank(value[i])) item.push_back(value[i++]);
        }
        items.push_back(std::move(item));
        while (i < n && isBlank(value[i])) ++i;
        if (i < n && value[i] == ',') ++i;
    }
    return items;
}

namespace {

// Applies every line of the text up to a character 26.
void applyText(std::string_view text) {
    const size_t end = text.find('\x1A');
    if (end != std::string_view::npos) text = text.substr(0, end);
    size_t start = 0;
    while (start < text.size()) {
        size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) stop = text.size();
        if (stop > start) applyLine(text.substr(start, stop - start));
        start = stop + 1;
    }
}

void restoreOemFlag(bool wasOem) {
    if (oemCharacterSet() != wasOem) applySetting("ORVCHARSET", wasOem ? "OEM" : "");
}

}  // namespace

void readEnvironmentText(std::string_view text) {
    const bool wasOem = oemCharacterSet();
    applyText(text);
    restoreOemFlag(wasOem);
}

void readEnvironmentStream(std::istream& in) {
    // Read in pieces; a line may span two pieces, so only whole lines go on.
    std::string pending;
    char piece[2048];
    const bool wasOem = oemCharacterSet();
    bool ended = false;
    while (!ended) {
        in.read(piece, sizeof piece);
        if (in.gcount() <= 0) break;
        std::string_view chunk(piece, size_t(in.gcount()));
        size_t stop = chunk.find('\x1A');
        if (stop != std::string_view::npos) {
            chunk = chunk.substr(0, stop);
            ended = true;
        }
        pending.append(chunk);
        size_t last = pending.find_last_of("\r\n");
        if (last == std::string::npos) {
            // Inside one long line only the key and the first 1024
            // characters of the value matter.
            size_t eq = pending.find('=');
            if (eq != std::string::npos && pending.size() > eq + 1 + MaxEnvironmentValueLength) {
                pending.resize(eq + 1 + MaxEnvironmentValueLength);
            } else if (eq == std::string::npos && pending.size() > 2 * MaxEnvironmentValueLength) {
                // Still in the key: its first 31 non-blank characters are all
                // that can count.
                std::string key;
                for (char c : pending)
                    if (!isBlank(c) && key.size() < MaxEnvironmentKeyLength) key.push_back(c);
                pending = std::move(key);
            }
            continue;
        }
        applyText(std::string_view(pending).substr(0, last + 1));
        pending.erase(0, last + 1);
    }
    applyText(pending);
    restoreOemFlag(wasOem);
}

bool readEnvironmentFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    readEnvironmentStream(in);
    return true;
}

}  // namespace varnok
