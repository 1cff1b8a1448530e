// The status line under the main window's list: which file is loaded, how
// many extension instances it has, how many of them are ticked, and how many
// lines it has, as "main.txa: 3 instances, 1 ticked — 12 lines" (an em dash;
// the text is UTF-8, as the program's own texts are). The file is named
// without its folder. A file without a single section header is not a TXA
// file, and the line says so: "notes.txt: no TXA sections — 4 lines". With
// nothing loaded it reads "0 instances, 0 ticked — 0 lines".
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok::app {

// The status bar zone that shows it: the window's one zone, the bar's
// whole width.
inline constexpr int32_t CountsZone = 1;

struct Counts {
    std::string_view file;  // the loaded file's name; empty before the first load
    bool sections = true;   // it has at least one section header
    uint32_t instances = 0, ticked = 0, lines = 0;
};

std::string countsLine(const Counts& counts);

// The last component of a file name ("/a/b.txa" and "C:\a\b.txa" give "b.txa").
std::string_view baseName(std::string_view file);

}  // namespace varnok::app
