// Profile files: INI-style settings read and written by section and key.
//
// Semantics every caller can rely on:
// - Sections and keys are matched without regard to (ASCII) case; the first
//   matching key of the first section that has it wins.
// - A value is read without its leading and trailing blanks and tabs; a value
//   enclosed in a matching pair of double or single quotes loses the quotes.
//   A value written is read back as written (less trailing blanks): one that
//   begins with a blank or is itself enclosed in quotes is stored inside
//   double quotes. Section and key names never count the blanks around them.
// - A line starting with ';' or '#', or without '=', is a comment and is kept
//   as it stands when the file is rewritten.
// - A write creates the file and the section when missing, replaces the
//   first matching key in place, and otherwise appends the key at the end of
//   the section. The file is rewritten through SafeOutputFile (a temporary
//   file and a rename, plain_file.h), so a failed write leaves the old file
//   whole; a file that exists but cannot be read reads as empty, and writes
//   to it fail rather than replace it. Lines keep the ends they had (CR LF or
//   LF; a new file gets LF), and values are bytes: the program's UTF-8 is
//   stored as it is, on every system.
// - Writing no value (std::nullopt) removes the key; removing a section
//   removes its header and every line up to the next section.
// - Values, keys and sections holding a line break, keys holding '=' and
//   sections holding ']' are refused (the write returns false): they would
//   change the file's structure.
//
// File names: an empty name is the default profile (see defaultProfilePath);
// '\' and '/' are both taken as the system's separator (PathSeparator,
// directory.h), and a name without any directory part (on Windows, without
// a drive either) lives in the folder of the default profile, the way bare
// profile names live in one system folder. Any other name is used as given,
// so ".\remtxa.ini" is a file of the current directory.
//
// Windows has profile functions of its own (GetPrivateProfileStringW and
// the others); they are not used, because they break several of the
// promises above that callers rely on: they write in place (no safe rewrite), store
// values in the ANSI code page (UTF-8 is lost), accept line breaks that
// break the file, drop the quotes of a value that needs them, and look for
// bare names in the Windows folder. The same reader runs on every system.
//
// All functions serialise on one process-wide lock.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnok::platform {

// win.ini in profileFolder().
std::string defaultProfilePath();
// The folder holding the default profile: $XDG_CONFIG_HOME/varnok, else
// $HOME/.config/varnok; on Windows %APPDATA%\varnok (the user's roaming
// application data, asked of the system when APPDATA is not set). Read from
// the environment on every call, so tests can point it elsewhere.
std::string profileFolder();
// The path a profile file name refers to (rules above).
std::string resolveProfilePath(std::string_view fileName);

// The value of the key, or defaultValue (without trailing blanks) when the
// file, the section or the key is missing.
std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view fileName);
// The value read as a decimal integer (optional sign, leading digits); a
// missing key gives defaultValue, a value without digits gives 0.
int getPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         std::string_view fileName);
// Stores or (with std::nullopt) removes a key. Trailing blanks of the value
// are dropped. False when the file could not be written or the input is
// refused; the file is then unchanged.
bool writePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, std::string_view fileName);
// Removes a whole section. True when the file is as asked afterwards.
bool removePrivateProfileSection(std::string_view section, std::string_view fileName);
// Names of the sections, and of the keys of one section, in file order.
std::vector<std::string> privateProfileSections(std::string_view fileName);
std::vector<std::string> privateProfileKeys(std::string_view section, std::string_view fileName);

// The same on the default profile.
std::string getProfileString(std::string_view section, std::string_view key,
                             std::string_view defaultValue);
int getProfileInt(std::string_view section, std::string_view key, int defaultValue);
bool writeProfileString(std::string_view section, std::string_view key,
                        std::optional<std::string_view> value);

}  // namespace varnok::platform
