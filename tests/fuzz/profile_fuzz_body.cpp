// Fuzz body for the profile (INI file) reader and writer, shared by the
// libFuzzer target and the corpus replay test; a broken invariant aborts
// with a message.
//
// Input: pieces separated by 0 bytes. The first piece is the file's bytes;
// then come up to eight operations of three pieces each: section, key and
// value. A value starting with byte 1 removes the key; a section starting
// with byte 2 removes the section named by the rest.
//
// Before each operation every entry the file lists is read. Checked: every
// listed entry can be read; after a write that succeeds, reading the entry
// gives the value written (less trailing blanks), the key is listed in its
// section, and every other entry reads as before; a removed key reads as
// missing and a removed section is no longer listed; a refused write leaves
// the file's bytes as they were; plain names and values are never refused;
// and no temporary file is left beside the file.
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace varnok;

void require(bool condition, const char* what, std::string_view detail = {}) {
    if (!condition) fuzzing::fail("profile", what, detail);
}

const std::string kMissing = "\x7F(missing)";

std::string lowerTrimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string withoutTrailingBlanks(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

using Entries = std::map<std::pair<std::string, std::string>, std::string>;

// Every entry of every section the file lists, as read.
Entries readEverything(const std::string& path) {
    Entries all;
    for (const std::string& section : platform::privateProfileSections(path)) {
        for (const std::string& key : platform::privateProfileKeys(section, path)) {
            const std::string value = platform::getPrivateProfileString(section, key, kMissing, path);
            if (!key.empty()) require(value != kMissing, "a listed entry can be read", section + "/" + key);
            all.emplace(std::make_pair(lowerTrimmed(section), lowerTrimmed(key)), value);
        }
    }
    return all;
}

// Every entry of `before` except the ones `touched` says, as it was.
template <class Touched>
void requireOthersKept(const Entries& before, const Entries& after, Touched touched, const char* what) {
    for (const auto& [name, value] : before) {
        if (touched(name)) continue;
        auto it = after.find(name);
        require(it != after.end() && it->second == value, what, name.first + "/" + name.second);
    }
}

bool plainName(std::string_view s) {
    bool any = false;
    for (char c : s) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != ' ' && c != '.' && c != '-') return false;
        any = any || c != ' ';
    }
    return any;
}

bool listed(const std::vector<std::string>& names, std::string_view name) {
    for (const std::string& n : names)
        if (lowerTrimmed(n) == lowerTrimmed(name)) return true;
    return false;
}

void checkNoTemporaryFile(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        require(entry.path().filename() == "settings.ini", "no temporary file is left", entry.path().string());
}

}  // namespace

void fuzzProfile(const uint8_t* data, size_t size) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            pieces.emplace_back();
        else
            pieces.back().push_back(static_cast<char>(data[i]));
    }
    const std::string folder = fuzzing::scratchFile("profile");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/settings.ini";
    fuzzing::writeWholeFile(path, pieces[0]);

    for (size_t p = 1, ops = 0; p + 2 < pieces.size() && ops < 8; p += 3, ++ops) {
        const std::string& section = pieces[p];
        const std::string& key = pieces[p + 1];
        const std::string& value = pieces[p + 2];
        const Entries before = readEverything(path);
        const std::string bytesBefore = fuzzing::readWholeFile(path);
        // Reads of anything never fail; a number read of a missing key is the default.
        const std::string text = platform::getPrivateProfileString(section, key, kMissing, path);
        const int number = platform::getPrivateProfileInt(section, key, -12345, path);
        if (text == kMissing) require(number == -12345, "a missing key reads as the default number");

        if (!section.empty() && section[0] == 2) {
            const std::string name = section.substr(1);
            const bool done = platform::removePrivateProfileSection(name, path);
            if (!done) {
                require(fuzzing::readWholeFile(path) == bytesBefore, "a failed removal leaves the file");
                continue;
            }
            require(!listed(platform::privateProfileSections(path), name), "a removed section is gone", name);
            requireOthersKept(before, readEverything(path),
                              [&](const auto& n) { return n.first == lowerTrimmed(name); },
                              "removing a section keeps the others");
        } else if (!value.empty() && value[0] == 1) {
            const bool done = platform::writePrivateProfileString(section, key, std::nullopt, path);
            if (!done) {
                require(fuzzing::readWholeFile(path) == bytesBefore, "a refused removal leaves the file");
                continue;
            }
            require(platform::getPrivateProfileString(section, key, kMissing, path) == kMissing,
                    "a removed key reads as missing", key);
            const auto id = std::make_pair(lowerTrimmed(section), lowerTrimmed(key));
            requireOthersKept(before, readEverything(path), [&](const auto& n) { return n == id; },
                              "removing a key keeps the other entries");
        } else {
            const bool done = platform::writePrivateProfileString(section, key, value, path);
            if (plainName(section) && plainName(key) && value.find_first_of("\r\n") == std::string::npos)
                require(done, "plain names and values are written", section + "/" + key);
            if (!done) {
                require(fuzzing::readWholeFile(path) == bytesBefore, "a refused write leaves the file");
                continue;
            }
            require(platform::getPrivateProfileString(section, key, kMissing, path) == withoutTrailingBlanks(value),
                    "a write followed by a read gives back the value written", section + "/" + key + "=" + value);
            require(listed(platform::privateProfileKeys(section, path), key), "the key written is listed", key);
            const auto id = std::make_pair(lowerTrimmed(section), lowerTrimmed(key));
            requireOthersKept(before, readEverything(path), [&](const auto& n) { return n == id; },
                              "a write keeps the other entries");
        }
        checkNoTemporaryFile(folder);
    }
}
