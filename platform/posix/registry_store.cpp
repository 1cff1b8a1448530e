#include "platform/registry_store.h"

#include <cerrno>
#include <filesystem>
#include <mutex>

#include "platform/ascii_text.h"
#include "platform/plain_file.h"
#include "platform/profile.h"

namespace varnok::platform {

namespace {

constexpr std::string_view FirstLine = "Windows Registry Editor Version 5.00";

std::mutex& storeLock() {
    static std::mutex lock;
    return lock;
}

struct Value {
    std::string name;
    std::string text;
};

struct Key {
    uint32_t root = 0;
    std::string path;  // normalised: names joined by single backslashes
    std::vector<Value> values;
};

// The whole store, keys in file order.
struct Store {
    std::vector<Key> keys;
};

uint32_t rootOfName(std::string_view name) {
    for (uint32_t root : {HkeyClassesRoot, HkeyCurrentUser, HkeyLocalMachine, HkeyUsers, HkeyCurrentConfig})
        if (sameAsciiText(name, registryRootName(root))) return root;
    return 0;
}

std::string inQuotes(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    out += '"';
    return out;
}

// Reads a quoted text starting at line[pos] == '"'; pos ends after the
// closing quote. False when the text is not closed.
bool readQuoted(std::string_view line, size_t& pos, std::string& out) {
    out.clear();
    for (size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) {
            char e = line[++i];
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        } else {
            out += c;
        }
    }
    return false;
}

// `"name"="value"` or `@="value"` (the unnamed value).
bool parseValue(std::string_view line, Value& value) {
    size_t pos = 0;
    if (line.starts_with('@')) {
        value.name.clear();
        pos = 1;
    } else if (!line.starts_with('"') || !readQuoted(line, pos, value.name)) {
        return false;
    }
    if (pos >= line.size() || line[pos] != '=') return false;
    ++pos;
    return pos < line.size() && line[pos] == '"' && readQuoted(line, pos, value.text);
}

// The store in the file; a missing file is an empty store. False when the
// file exists but cannot be read whole: writing then would replace values
// that were never read.
bool load(const std::string& path, Store& store) {
    store.keys.clear();
    InputFile in;
    if (!in.open(path)) return in.error() == ENOENT;
    std::string bytes;
    char chunk[8192];
    for (uint64_t offset = 0;;) {
        int64_t n = in.readAt(offset, chunk, sizeof chunk);
        if (n < 0) return false;
        if (n == 0) break;
        bytes.append(chunk, size_t(n));
        offset += uint64_t(n);
    }
    Key* current = nullptr;  // nullptr also inside a key of an unknown root
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        if (line.starts_with('[') && line.ends_with(']')) {
            std::string_view inner = line.substr(1, line.size() - 2);
            size_t slash = inner.find('\\');
            uint32_t root = rootOfName(inner.substr(0, slash));
            std::string keyPath =
                slash == std::string_view::npos ? std::string() : registryKeyPath(inner.substr(slash));
            current = nullptr;
            if (root != 0 && !keyPath.empty()) current = &store.keys.emplace_back(Key{root, keyPath, {}});
            continue;
        }
        Value value;
        if (current && parseValue(line, value)) {
            bool replaced = false;
            for (Value& v : current->values)
                if (sameAsciiText(v.name, value.name)) {
                    v.text = value.text;  // a repeated name: the last one counts
                    replaced = true;
                }
            if (!replaced) current->values.push_back(std::move(value));
        }
    }
    return true;
}

bool save(const std::string& path, const Store& store) {
    std::string body(FirstLine);
    body += "\n\n";
    for (const Key& key : store.keys) {
        body += '[';
        body += registryRootName(key.root);
        body += '\\';
        body += key.path;
        body += "]\n";
        for (const Value& v : key.values) {
            body += v.name.empty() ? std::string("@") : inQuotes(v.name);
            body += '=';
            body += inQuotes(v.text);
            body += '\n';
        }
        body += '\n';
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    SafeOutputFile out;
    if (!out.create(path) || !out.write(body.data(), body.size())) return false;
    return out.commit();
}

// Every key of that root and path (a file edited by hand may repeat one);
// the first is the one values are added to.
std::vector<Key*> findKeys(Store& store, uint32_t root, const std::string& path) {
    std::vector<Key*> found;
    for (Key& key : store.keys)
        if (key.root == root && sameAsciiText(key.path, path)) found.push_back(&key);
    return found;
}

Value* findValue(Key& key, std::string_view name) {
    for (Value& v : key.values)
        if (sameAsciiText(v.name, name)) return &v;
    return nullptr;
}

}  // namespace

std::string registryStorePath() { return profileFolder() + "/registry.reg"; }

std::optional<std::string> readRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name) {
    const std::string path = registryKeyPath(keyPath);
    if (registryRootName(root).empty() || path.empty()) return std::nullopt;
    std::lock_guard guard(storeLock());
    Store store;
    load(registryStorePath(), store);  // an unreadable file reads as empty
    // A name repeated in a hand-edited file: the key read last wins, as it
    // would had the file been imported.
    std::optional<std::string> result;
    for (Key* key : findKeys(store, root, path))
        if (Value* v = findValue(*key, name)) result = v->text;
    return result;
}

bool writeRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name, std::string_view value) {
    const std::string path = registryKeyPath(keyPath);
    if (registryRootName(root).empty() || path.empty()) return false;
    if (path.find('\n') != std::string::npos || path.find('\r') != std::string::npos) return false;
    std::lock_guard guard(storeLock());
    const std::string file = registryStorePath();
    Store store;
    if (!load(file, store)) return false;
    std::vector<Key*> keys = findKeys(store, root, path);
    bool stored = false;
    for (Key* key : keys) {
        if (Value* v = findValue(*key, name)) {
            v->text = std::string(value);
            stored = true;
        }
    }
    if (!stored) {
        Key* key = keys.empty() ? &store.keys.emplace_back(Key{root, path, {}}) : keys.front();
        key->values.push_back(Value{std::string(name), std::string(value)});
    }
    return save(file, store);
}

bool deleteRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name) {
    const std::string path = registryKeyPath(keyPath);
    if (registryRootName(root).empty() || path.empty()) return true;
    std::lock_guard guard(storeLock());
    const std::string file = registryStorePath();
    Store store;
    if (!load(file, store)) return false;
    bool removed = false;
    for (Key* key : findKeys(store, root, path)) {
        for (auto it = key->values.begin(); it != key->values.end();) {
            if (sameAsciiText(it->name, name)) {
                it = key->values.erase(it);
                removed = true;
            } else {
                ++it;
            }
        }
    }
    return !removed || save(file, store);
}

bool registryKeyExists(uint32_t root, std::string_view keyPath) {
    const std::string path = registryKeyPath(keyPath);
    if (registryRootName(root).empty() || path.empty()) return false;
    std::lock_guard guard(storeLock());
    Store store;
    load(registryStorePath(), store);  // an unreadable file reads as empty
    return !findKeys(store, root, path).empty();
}

std::vector<std::string> registryValueNames(uint32_t root, std::string_view keyPath) {
    const std::string path = registryKeyPath(keyPath);
    std::vector<std::string> names;
    if (registryRootName(root).empty() || path.empty()) return names;
    std::lock_guard guard(storeLock());
    Store store;
    load(registryStorePath(), store);  // an unreadable file reads as empty
    for (Key* key : findKeys(store, root, path))
        for (const Value& v : key->values) {
            bool seen = false;
            for (const std::string& n : names) seen = seen || sameAsciiText(n, v.name);
            if (!seen) names.push_back(v.name);
        }
    return names;
}

}  // namespace varnok::platform
