#include "platform/registry_store.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace varnok::platform {

namespace {

HKEY rootHandle(uint32_t root) {
    switch (root) {
    case HkeyClassesRoot: return HKEY_CLASSES_ROOT;
    case HkeyCurrentUser: return HKEY_CURRENT_USER;
    case HkeyLocalMachine: return HKEY_LOCAL_MACHINE;
    case HkeyUsers: return HKEY_USERS;
    case HkeyCurrentConfig: return HKEY_CURRENT_CONFIG;
    default: return nullptr;
    }
}

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// An open key, closed when it goes.
class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (handle_) ::RegCloseKey(handle_);
    }

    // Opens an existing key for the access asked.
    bool open(uint32_t root, std::string_view keyPath, REGSAM access) {
        std::wstring path;
        if (!widePathOf(root, keyPath, path)) return false;
        return ::RegOpenKeyExW(rootHandle(root), path.c_str(), 0, access, &handle_) == ERROR_SUCCESS;
    }
    // Opens the key for writing, creating it and the keys above it.
    bool create(uint32_t root, std::string_view keyPath) {
        std::wstring path;
        if (!widePathOf(root, keyPath, path)) return false;
        return ::RegCreateKeyExW(rootHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                 nullptr, &handle_, nullptr) == ERROR_SUCCESS;
    }
    HKEY handle() const { return handle_; }

private:
    static bool widePathOf(uint32_t root, std::string_view keyPath, std::wstring& path) {
        const std::string normal = registryKeyPath(keyPath);
        return rootHandle(root) && !normal.empty() && !hasLineBreak(normal) && win32::toWide(normal, path);
    }
    HKEY handle_ = nullptr;
};

}  // namespace

std::string registryStorePath() { return {}; }

std::optional<std::string> readRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name) {
    Key key;
    std::wstring wideName;
    if (!win32::toWide(name, wideName) || !key.open(root, keyPath, KEY_QUERY_VALUE)) return std::nullopt;
    std::wstring text(64, L'\0');
    for (;;) {
        DWORD type = 0;
        DWORD bytes = DWORD(text.size() * sizeof(wchar_t));
        const LSTATUS status = ::RegQueryValueExW(key.handle(), wideName.c_str(), nullptr, &type,
                                                  reinterpret_cast<BYTE*>(text.data()), &bytes);
        if (status == ERROR_MORE_DATA) {
            text.resize(bytes / sizeof(wchar_t) + 1);
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
        text.resize(bytes / sizeof(wchar_t));
        // The stored size normally counts one terminating zero.
        if (!text.empty() && text.back() == L'\0') text.pop_back();
        return win32::toUtf8(text);
    }
}

bool writeRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name, std::string_view value) {
    std::wstring wideName, text;
    if (!win32::toWide(name, wideName) || !win32::toWide(value, text)) return false;
    if (text.size() >= 0x7FFFFFFF / sizeof(wchar_t)) return false;
    Key key;
    if (!key.create(root, keyPath)) return false;
    const DWORD bytes = DWORD((text.size() + 1) * sizeof(wchar_t));  // with the terminating zero
    return ::RegSetValueExW(key.handle(), wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            bytes) == ERROR_SUCCESS;
}

bool deleteRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name) {
    std::wstring wideName;
    // A name, key or root that cannot be there has nothing to remove.
    if (!win32::toWide(name, wideName) || !rootHandle(root)) return true;
    const std::string normal = registryKeyPath(keyPath);
    if (normal.empty()) return true;
    Key key;
    if (!key.open(root, keyPath, KEY_SET_VALUE)) return !registryKeyExists(root, keyPath);
    const LSTATUS status = ::RegDeleteValueW(key.handle(), wideName.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool registryKeyExists(uint32_t root, std::string_view keyPath) {
    Key key;
    return key.open(root, keyPath, KEY_QUERY_VALUE);
}

std::vector<std::string> registryValueNames(uint32_t root, std::string_view keyPath) {
    std::vector<std::string> names;
    Key key;
    if (!key.open(root, keyPath, KEY_QUERY_VALUE)) return names;
    DWORD longest = 0;
    if (::RegQueryInfoKeyW(key.handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::wstring name(size_t(longest) + 1, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(name.size());
        DWORD type = 0;
        const LSTATUS status =
            ::RegEnumValueW(key.handle(), index, name.data(), &length, nullptr, &type, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {  // a value added meanwhile: try this index again, with room
            name.resize(name.size() * 2);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        // Only the values reads can see.
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            names.push_back(win32::toUtf8(std::wstring_view(name.data(), length)));
    }
    return names;
}

}  // namespace varnok::platform
