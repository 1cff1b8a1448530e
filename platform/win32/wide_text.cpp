#include "platform/win32/wide_text.h"

#include <windows.h>

namespace varnok::platform::win32 {

namespace {

// Shorter than MAX_PATH by the room CreateDirectoryW keeps for an 8.3 name,
// so that a folder path that passes here also passes there.
constexpr size_t ClassicLimit = MAX_PATH - 12;

bool hasPrefix(std::wstring_view path, std::wstring_view prefix) {
    return path.size() >= prefix.size() && path.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool toWide(std::string_view utf8, std::wstring& out) {
    out.clear();
    if (utf8.empty()) return true;
    if (utf8.size() > 0x7FFFFFFF) return false;
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0) return false;
    out.resize(size_t(n));
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, out.data(), n) != n) {
        out.clear();
        return false;
    }
    return true;
}

std::string toUtf8(std::wstring_view wide) {
    std::string out;
    if (wide.empty() || wide.size() > 0x7FFFFFFF) return out;
    const int size = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return out;
    out.resize(size_t(n));
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring widePath(std::string_view utf8) {
    std::wstring path;
    if (utf8.empty() || utf8.find('\0') != std::string_view::npos || !toWide(utf8, path)) return {};
    // Already in the prefixed forms: passed on as they are.
    if (hasPrefix(path, L"\\\\?\\") || hasPrefix(path, L"\\\\.\\")) return path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    if (path.size() < ClassicLimit) return path;
    // The full path resolves "." and "..", which the prefixed form would
    // take literally.
    const std::wstring full = fullPath(path);
    if (hasPrefix(full, L"\\\\?\\")) return full;
    if (hasPrefix(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring fullPath(const std::wstring& path) {
    if (path.empty()) return path;
    // GetFullPathNameW has no length limit: asked with no room, it answers
    // the room it needs (with the terminating zero).
    const DWORD need = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (need == 0) return path;
    std::wstring full(need, L'\0');
    const DWORD got = ::GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
    if (got == 0 || got >= need) return path;
    full.resize(got);
    return full;
}

std::string pathFromWide(std::wstring_view wide) {
    if (hasPrefix(wide, L"\\\\?\\UNC\\")) return "\\\\" + toUtf8(wide.substr(8));
    if (hasPrefix(wide, L"\\\\?\\")) return toUtf8(wide.substr(4));
    return toUtf8(wide);
}

}  // namespace varnok::platform::win32
