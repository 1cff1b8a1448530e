// The window's font and its dialog base units. The structure's font
// ("MS Sans Serif" 8 unless it names another) when the system has that
// face or substitutes another for it (as it does for a dialog in that
// font), else the desktop's dialog font (the message font of the non-client
// metrics) at the structure's size. The base units are computed from the
// font exactly as the desktop maps a dialog's units: the average width of
// the 52 letters and the font's height (window/dialog_units.h).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "window/dialog_units.h"

namespace varnok::window::win32 {

// A font the caller owns (DeleteObject); never nullptr.
HFONT createWindowFont(const std::string& face, int32_t pointSize);
DialogBase dialogBase(HFONT font);
// The pixel width and height of a text drawn in the font.
SIZE textExtent(HFONT font, const std::wstring& text);
// True when the system has a font family of that face, or substitutes
// another for it (the registry's FontSubstitutes).
bool fontFaceExists(const std::wstring& face);

}  // namespace varnok::window::win32
