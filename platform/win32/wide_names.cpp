#include "platform/win32/wide_names.h"

#include <windows.h>

namespace varnok::platform::win32 {

namespace {

// Longest name the plain form takes everywhere: a folder's name must leave
// room for an 8.3 file name inside it.
constexpr size_t kPlainLimit = MAX_PATH - 12;

bool hasPrefix(const std::wstring& name) {
    return name.size() >= 4 && name[0] == L'\\' && name[1] == L'\\' && (name[2] == L'?' || name[2] == L'.') &&
           name[3] == L'\\';
}

}  // namespace

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), bytes.data(), n, nullptr,
                          nullptr);
    return bytes;
}

std::wstring fullPath(const std::wstring& name) {
    if (name.empty()) return name;
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return name;
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);  // n counts the terminating zero here
    }
}

std::wstring systemPath(const std::string& path) {
    std::wstring name = widen(path);
    if (hasPrefix(name)) return name;
    for (wchar_t& c : name) {
        if (c == L'/') c = L'\\';
    }
    if (name.size() < kPlainLimit) return name;
    name = fullPath(name);
    if (hasPrefix(name)) return name;
    if (name.size() >= 2 && name[0] == L'\\' && name[1] == L'\\') return L"\\\\?\\UNC\\" + name.substr(2);
    return L"\\\\?\\" + name;
}

}  // namespace varnok::platform::win32
