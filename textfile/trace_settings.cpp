#include "textfile/trace_settings.h"

#include <cctype>

#include "platform/ascii_text.h"
#include "platform/profile.h"

namespace varnok::textfile {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

constexpr auto sameText = platform::sameAsciiText;

}  // namespace

bool traceFlag(std::string_view value, bool absentValue) {
    value = trimmed(value);
    if (value.empty()) return absentValue;
    char first = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
    if ((first >= '0' && first <= '9') || first == '-' || first == '+') {
        for (char c : value) {
            if (c >= '1' && c <= '9') return true;
            if (c != '0' && c != '-' && c != '+') break;
        }
        return false;
    }
    if (first == 'Y' || first == 'T') return true;
    return value.size() >= 2 && first == 'O' &&
           std::toupper(static_cast<unsigned char>(value[1])) == 'N';
}

void splitLogFileValue(std::string_view value, std::string& name, std::vector<std::string>& labels) {
    labels.clear();
    value = trimmed(value);
    size_t open = value.find('[');
    name = std::string(trimmed(value.substr(0, open)));
    if (open == std::string_view::npos) return;
    std::string_view inside = value.substr(open + 1);
    inside = inside.substr(0, inside.find(']'));
    while (!inside.empty()) {
        size_t comma = inside.find(',');
        std::string_view label = trimmed(inside.substr(0, comma));
        if (!label.empty()) labels.emplace_back(label);
        if (comma == std::string_view::npos) break;
        inside.remove_prefix(comma + 1);
    }
}

TraceSettings TraceSettings::load(const std::string& program) {
    auto read = [&](const char* key) { return platform::getProfileString(program, key, ""); };
    TraceSettings s;
    s.trace = traceFlag(read("Trace"), false);
    s.traceFile = read("TraceFile");
    s.profile = traceFlag(read("Profile"), false);
    s.details = traceFlag(read("Details"), false);
    s.flush = traceFlag(read("Flush"), false);
    s.allowDetails = traceFlag(read("ALLOWDETAILS"), true);
    splitLogFileValue(read("LOGFILE"), s.logFile, s.onlyLabels);
    return s;
}

std::string TraceSettings::logFileName(const std::string& program) const {
    if (!logFile.empty()) return logFile;
    if (!traceFile.empty()) return traceFile;
    return program + ".LOG";
}

bool TraceSettings::traces(std::string_view fileLabel) const {
    if (!trace) return false;
    if (onlyLabels.empty()) return true;
    for (const std::string& label : onlyLabels) {
        if (sameText(label, fileLabel)) return true;
    }
    return false;
}

}  // namespace varnok::textfile
