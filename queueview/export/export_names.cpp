#include "queueview/export/export_names.h"

#include "platform/trailing_spaces.h"

namespace varnok::queueview {

namespace {

constexpr std::string_view fileNameForbidden = "|><\"?*:/\\";

using platform::withoutTrailingSpaces;

}  // namespace

void CleanFileName(std::string& name) {
    for (char& c : name) {
        if (fileNameForbidden.find(c) != std::string_view::npos) c = '_';
    }
}

std::string exportBaseName(std::string_view title) {
    std::string name(withoutTrailingSpaces(title));
    if (name.empty()) return "queue";
    CleanFileName(name);
    return name;
}

std::string withoutPrefix(std::string_view name) {
    const size_t colon = name.find(':');
    if (colon != std::string_view::npos && colon + 1 < ExportNameLength) name.remove_prefix(colon + 1);
    return std::string(name);
}

std::string exportFieldName(std::string_view reflectedName) {
    const std::string name = withoutPrefix(reflectedName);
    return std::string(withoutTrailingSpaces(std::string_view(name).substr(0, ExportNameLength)));
}

}  // namespace varnok::queueview
