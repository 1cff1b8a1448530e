#include "platform/file_arguments.h"

#include <windows.h>

#include <algorithm>

#include "platform/directory.h"
#include "platform/win32/wide_text.h"

namespace varnok::platform {

namespace {

// Where the last component starts: after the last "\", "/" or the ":" of a
// drive ("C:*.txa").
size_t nameStart(const std::string& path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? 0 : cut + 1;
}

bool lessCaseBlind(const std::string& a, const std::string& b) {
    std::wstring wa, wb;
    win32::toWide(a, wa);
    win32::toWide(b, wb);
    const int order = ::CompareStringOrdinal(wa.c_str(), int(wa.size()), wb.c_str(), int(wb.size()), TRUE);
    return order == CSTR_LESS_THAN || (order == CSTR_EQUAL && a < b);
}

}  // namespace

std::vector<std::string> expandFileArguments(const std::vector<std::string>& words) {
    std::vector<std::string> expanded;
    std::vector<DirectoryEntry> found;
    for (const std::string& word : words) {
        const size_t start = nameStart(word);
        if (word.find_first_of("*?", start) == std::string::npos || listDirectory(word, found) == 0) {
            expanded.push_back(word);
            continue;
        }
        std::vector<std::string> names;
        for (const DirectoryEntry& e : found) names.push_back(word.substr(0, start) + e.name);
        std::sort(names.begin(), names.end(), lessCaseBlind);
        expanded.insert(expanded.end(), names.begin(), names.end());
    }
    return expanded;
}

}  // namespace varnok::platform
