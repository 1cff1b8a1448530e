// Environment variables of the process, as UTF-8 texts. Settings folders
// are found through them (profile.h), and tests point those elsewhere by
// changing them; every read asks the process's environment afresh.
//
// On Windows the environment is kept as UTF-16 and read and changed with
// the wide functions, so values hold any character. The system's runtime
// cannot hold an empty value there: setting one removes the variable.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace varnok::platform {

// The value, or nothing when the variable is not set.
std::optional<std::string> environmentVariable(std::string_view name);
// Sets the variable, or with std::nullopt removes it. False (and nothing
// changes) when the name is empty or holds '=', or a text holds a zero byte
// (or, on Windows, is not valid UTF-8).
bool setEnvironmentVariable(std::string_view name, std::optional<std::string_view> value);

}  // namespace varnok::platform
