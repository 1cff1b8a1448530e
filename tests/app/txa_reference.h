// A small, independent model of the TXA rules for the tests: splitting a
// file into lines, finding the extension instances, removing ticked ones and
// writing the rest back. Deliberately plain string code.
#pragma once
#include <algorithm>
#include <cctype>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "app/txa/txa_records.h"
#include "runtime/errors/error_codes.h"
#include "runtime/queue/queue.h"

namespace varnok::testing {

struct RefInstance {
    std::string ext, proc, tpl;  // without trailing spaces
    int from = 0, to = 0;
    bool operator==(const RefInstance&) const = default;
};

inline std::string rstrip(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

inline bool refHasLfEnds(const std::string& bytes) {
    return bytes.find("\r\n") == std::string::npos && bytes.find('\n') != std::string::npos;
}

// Whole lines, as the file holds them.
inline std::vector<std::string> refSplit(const std::string& bytes) {
    std::string end = refHasLfEnds(bytes) ? "\n" : "\r\n";
    std::vector<std::string> lines;
    size_t start = 0, e;
    while ((e = bytes.find(end, start)) != std::string::npos) {
        lines.push_back(bytes.substr(start, e - start));
        start = e + end.size();
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

inline std::vector<RefInstance> refScan(const std::vector<std::string>& whole) {
    std::vector<std::string> l;
    for (const auto& w : whole) {
        std::string s = w.substr(0, 1024);
        s.resize(1024, ' ');
        l.push_back(s);
    }
    std::vector<RefInstance> out;
    std::string proc;
    bool open = false;
    int n = static_cast<int>(l.size());
    for (int i = 0; i < n; ++i) {
        auto close = [&] {
            out.back().to = i;  // the line before this one, 1-based
            open = false;
        };
        bool nameNext = i + 1 < n && l[i + 1].compare(0, 5, "NAME ") == 0;
        if (l[i].compare(0, 11, "[PROCEDURE]") == 0) {
            if (nameNext) proc = rstrip(l[i + 1].substr(5, 64));
            if (open) close();
        } else if (l[i].compare(0, 10, "[ADDITION]") == 0) {
            if (open) close();
            if (!nameNext) continue;
            size_t sp = l[i + 1].find(' ', 5);
            if (sp == std::string::npos) continue;
            RefInstance r;
            r.tpl = rstrip(l[i + 1].substr(5, std::min<size_t>(sp - 5, 40)));
            r.ext = rstrip(l[i + 1].substr(sp + 1, 64));
            r.proc = proc;
            r.from = i + 1;
            out.push_back(r);
            open = true;
        } else if (l[i][0] == '[') {
            std::string h = rstrip(l[i]);
            for (char& c : h) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (h != "[PROMPTS]" && h != "[INSTANCE]" && h != "[FIELDPROMPT]" && open) close();
        }
    }
    return out;
}

// The lines left after removing the ticked instances (closed ones only).
inline std::vector<std::string> refRemove(const std::vector<std::string>& lines, const std::vector<RefInstance>& list,
                                          const std::vector<bool>& ticked) {
    std::vector<bool> gone(lines.size(), false);
    for (size_t k = 0; k < list.size(); ++k)
        if (ticked[k])
            for (int ln = list[k].from; ln <= list[k].to; ++ln) gone[ln - 1] = true;
    std::vector<std::string> kept;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!gone[i]) kept.push_back(lines[i]);
    return kept;
}

// Lines without trailing spaces, each followed by the line end. With LF ends,
// a line whose kept text ends in CR keeps one space after it, so the copy
// does not gain a CR LF (which would make it read back as a CR LF file).
inline std::string refWrite(const std::vector<std::string>& lines, const std::string& end) {
    std::string out;
    for (const auto& l : lines) {
        std::string kept = rstrip(l);
        if (end == "\n" && !kept.empty() && kept.back() == '\r') kept += ' ';
        out += kept + end;
    }
    return out;
}

// The extension list as the program holds it.
inline std::vector<RefInstance> listOf(QueueDecl* extensionQ) {
    std::vector<RefInstance> out;
    for (uint32_t i = 1; i <= RECORDS(extensionQ); ++i) {
        GET(extensionQ, static_cast<int32_t>(i));
        app::ExtensionRecord r;
        r.read(extensionQ->buffer);
        out.push_back({std::string(app::trimmed(r.extensionName, app::ExtNameSize)),
                       std::string(app::trimmed(r.procName, app::ExtProcSize)),
                       std::string(app::trimmed(r.templateName, app::ExtTemplateSize)), r.fromLineNo, r.toLineNo});
    }
    return out;
}

inline void fillLines(QueueDecl* lineQ, const std::vector<std::string>& lines) {
    FREE(lineQ);
    for (const auto& l : lines) {
        std::memset(lineQ->buffer, ' ', lineQ->recordSize);
        std::memcpy(lineQ->buffer, l.data(), std::min<size_t>(l.size(), lineQ->recordSize));
        ADD(lineQ);
    }
}

inline std::vector<std::string> linesOf(QueueDecl* lineQ) {
    std::vector<std::string> out;
    for (uint32_t i = 1; i <= RECORDS(lineQ); ++i) {
        GET(lineQ, static_cast<int32_t>(i));
        out.push_back(rstrip(std::string(reinterpret_cast<const char*>(lineQ->buffer), lineQ->recordSize)));
    }
    return out;
}

inline std::ostream& operator<<(std::ostream& os, const RefInstance& r) {
    return os << "{" << r.ext << "|" << r.proc << "|" << r.tpl << "|" << r.from << "-" << r.to << "}";
}

}  // namespace varnok::testing
