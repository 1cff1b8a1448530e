#include "window/win32/win32_text.h"

#include "platform/cp1252.h"
#include "platform/win32/wide_text.h"

namespace varnok::window::win32 {

namespace {
bool ascii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
std::wstring widened(std::string_view text) { return std::wstring(text.begin(), text.end()); }
}  // namespace

std::wstring programWide(std::string_view text) {
    if (ascii(text)) return widened(text);
    std::wstring wide;
    if (platform::win32::toWide(text, wide)) return wide;
    return cp1252Wide(text);
}

std::wstring cp1252Wide(std::string_view text) {
    if (ascii(text)) return widened(text);
    std::wstring wide;
    platform::win32::toWide(platform::cp1252ToUtf8(text), wide);
    return wide;
}

std::string wideProgram(std::wstring_view text) { return platform::win32::toUtf8(text); }

}  // namespace varnok::window::win32
