#include "platform/environment.h"

#include <windows.h>

#include <cstdlib>

#include "platform/win32/wide_text.h"

namespace varnok::platform {

std::optional<std::string> environmentVariable(std::string_view name) {
    std::wstring key;
    if (name.empty() || name.find('\0') != std::string_view::npos || !win32::toWide(name, key)) return std::nullopt;
    std::wstring value(64, L'\0');
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD n = ::GetEnvironmentVariableW(key.c_str(), value.data(), DWORD(value.size()));
        if (n == 0) {
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (n < value.size()) {
            value.resize(n);
            return win32::toUtf8(value);
        }
        value.resize(n);  // n counts the terminating zero when the value did not fit
    }
}

bool setEnvironmentVariable(std::string_view name, std::optional<std::string_view> value) {
    if (name.empty() || name.find_first_of(std::string_view("=\0", 2)) != std::string_view::npos) return false;
    if (value && value->find('\0') != std::string_view::npos) return false;
    std::wstring key, text;
    if (!win32::toWide(name, key) || (value && !win32::toWide(*value, text))) return false;
    // The C runtime's copy and the process's own block both change, so
    // getenv and GetEnvironmentVariableW agree.
    return ::_wputenv_s(key.c_str(), value ? text.c_str() : L"") == 0;
}

}  // namespace varnok::platform
