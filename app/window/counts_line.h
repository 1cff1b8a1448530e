// The status line under the main window's list: how many extension
// instances the loaded file has, how many of them are ticked, and how many
// lines it has, as "3 instances, 1 ticked — 12 lines" (an em dash; the text
// is UTF-8, as the program's own texts are). With nothing loaded it reads
// "0 instances, 0 ticked — 0 lines".
#pragma once
#include <cstdint>
#include <string>

namespace varnok::app {

// The status bar zone that shows it: the window's one zone, the bar's
// whole width.
inline constexpr int32_t CountsZone = 1;

std::string countsLine(uint32_t instances, uint32_t ticked, uint32_t lines);

}  // namespace varnok::app
