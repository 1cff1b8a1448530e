#include "platform/registry_store.h"

namespace varnok::platform {

std::string_view registryRootName(uint32_t root) {
    switch (root) {
    case HkeyClassesRoot: return "HKEY_CLASSES_ROOT";
    case HkeyCurrentUser: return "HKEY_CURRENT_USER";
    case HkeyLocalMachine: return "HKEY_LOCAL_MACHINE";
    case HkeyUsers: return "HKEY_USERS";
    case HkeyCurrentConfig: return "HKEY_CURRENT_CONFIG";
    default: return {};
    }
}

// "a\\b\" -> "a\b"; the names between separators are kept as they are.
std::string registryKeyPath(std::string_view path) {
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) {
            if (!out.empty()) out += '\\';
            out.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

}  // namespace varnok::platform
