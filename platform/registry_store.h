// String values under keys of a few root keys: on Windows the system's
// registry, elsewhere a stand-in kept in a text file.
//
// What every system keeps:
// - A key is a root key and a path of names separated by "\"; empty names
//   in a path are skipped, so "a\\b\" is the key "a\b". Key paths and value
//   names are matched without regard to case and keep the spelling they
//   were created with (the stand-in folds ASCII letters only; the registry
//   folds other letters as well).
// - A value is a text and reads back exactly as written; the empty name is
//   the key's unnamed value.
// - Writing a value creates its key when needed; deleting the last value of
//   a key leaves the key (empty).
// - Root keys are named by their handle values (the constants below); any
//   other root is refused: reads find nothing and writes fail. A key path
//   without any name, or with a line break, is refused too.
// - The functions may be called from any thread.
//
// Windows: values are REG_SZ values of the registry (names and texts cross
// as UTF-16, so a text that is not valid UTF-8 is refused by writes and
// found by no read); a value of another type reads as missing. The rights
// of the user decide what may be written: HKEY_CURRENT_USER always, the
// machine-wide roots usually not (the write then fails). HKEY_CLASSES_ROOT
// writes land in the user's own classes.
//
// The stand-in: one text file, registryStorePath(), in the folder of the
// default profile (profile.h), in the layout of a registry export:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CLASSES_ROOT\varnok.INI\Main]
//   "Maximize"="Yes"
//   "XPos"="40"
//
// - Inside the quotes of a name or a value, "\\" stands for a backslash,
//   "\"" for a double quote, "\n" and "\r" for line breaks; every other byte
//   stands for itself, so any value reads back exactly as written.
// - Lines that are neither a key header nor a value are ignored, and are not
//   kept when the file is written again.
// - The file is read and written whole, through InputFile and SafeOutputFile
//   (plain_file.h), so a failed write leaves the old file whole and tests can
//   inject faults. A file that exists but cannot be read reads as empty, and
//   writes to it fail rather than replace it. All functions serialise on one
//   process-wide lock.
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

// The key path as it is kept: its names joined by single backslashes.
std::string registryKeyPath(std::string_view keyPath);

// The stand-in's file: <profileFolder()>/registry.reg, read from the
// environment on every call. Empty on Windows, which has the registry.
std::string registryStorePath();

// The value, or nothing when the root, the key or the value is missing.
std::optional<std::string> readRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name);
// Stores the value, creating the key. False when refused (rules above) or
// when it could not be stored; nothing is changed then.
bool writeRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name, std::string_view value);
// Removes the value. True when it is absent afterwards.
bool deleteRegistryValue(uint32_t root, std::string_view keyPath, std::string_view name);
// True when the key itself has been created (not only keys below it).
bool registryKeyExists(uint32_t root, std::string_view keyPath);
// The names of a key's values, in the order they were created; empty when
// the key is missing. On Windows only the string values reads can see, in
// the order the registry enumerates them, which it does not promise (Wine's
// registry lists them sorted by name).
std::vector<std::string> registryValueNames(uint32_t root, std::string_view keyPath);

}  // namespace varnok::platform
