#include "platform/environment.h"

#include <cstdlib>

namespace varnok::platform {

std::optional<std::string> environmentVariable(std::string_view name) {
    if (name.empty() || name.find('\0') != std::string_view::npos) return std::nullopt;
    const char* value = std::getenv(std::string(name).c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

bool setEnvironmentVariable(std::string_view name, std::optional<std::string_view> value) {
    if (name.empty() || name.find_first_of(std::string_view("=\0", 2)) != std::string_view::npos) return false;
    if (value && value->find('\0') != std::string_view::npos) return false;
    const std::string key(name);
    if (!value) return ::unsetenv(key.c_str()) == 0;
    return ::setenv(key.c_str(), std::string(*value).c_str(), 1) == 0;
}

}  // namespace varnok::platform
