// The registry stand-in: string values under keys of a few root keys, kept
// in one text file, registryStorePath(), in the folder of the default
// profile (profile.h), in the layout of a registry export:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CLASSES_ROOT\varnok.INI\Main]
//   "Maximize"="Yes"
//   "XPos"="40"
//
// - A key is a root key name and a path of names separated by "\"; empty
//   names in a path are skipped, so "a\\b\" is the key "a\b". Key paths and
//   value names are matched without regard to (ASCII) case and keep the
//   spelling they were created with.
// - Inside the quotes of a name or a value, "\\" stands for a backslash,
//   "\"" for a double quote, "\n" and "\r" for line breaks; every other byte
//   stands for itself, so any value reads back exactly as written.
// - Lines that are neither a key header nor a value are ignored, and are not
//   kept when the file is written again.
// - Writing a value creates its key when needed; deleting the last value of
//   a key leaves the key (empty), as the registry does.
// - The file is read and written whole, through InputFile and SafeOutputFile
//   (plain_file.h), so a failed write leaves the old file whole and tests can
//   inject faults. A file that exists but cannot be read reads as empty, and
//   writes to it fail rather than replace it. All functions serialise on one
//   process-wide lock.
// - Root keys are named by their handle values (the constants below); any
//   other root is refused: reads find nothing and writes fail.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnok::platform {

inline constexpr uint32_t HkeyClassesRoot = 0x80000000u;
inline constexpr uint32_t HkeyCurrentUser = 0x80000001u;
inline constexpr uint32_t HkeyLocalMachine = 0x80000002u;
inline constexpr uint32_t HkeyUsers = 0x80000003u;
inline constexpr uint32_t HkeyCurrentConfig = 0x80000005u;

// "HKEY_CLASSES_ROOT" and the others; empty for a root that is refused.
std::string_view registryRootName(uint32_t root);

// <profileFolder()>/registry.reg, read from the environment on every call.
std::string registryStorePath();

// The value, or nothing when the root, the key or the value is missing.
std::optional<std::string> readRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name);
// Stores the value, creating the key. False when refused (unknown root, a
// key path without any name, a line break in a key name) or when the file
// could not be written; the file is then unchanged.
bool writeRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name, std::string_view value);
// Removes the value. True when it is absent afterwards.
bool deleteRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name);
// True when the key itself has been created (not only keys below it).
bool registryKeyExists(uint32_t root, std::string_view keyPath);
// The value names of a key in the order they were created; empty when the
// key is missing.
std::vector<std::string> registryValueNames(uint32_t root, std::string_view keyPath);

}  // namespace varnok::platform
