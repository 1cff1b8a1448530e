// The name Remove and Save writes to, formed from the loaded TXA file's name:
// "_" goes before the first "." of the file-name part (the text after the
// last path separator), searching from that part's second character, so a
// leading dot of a hidden name does not count; with no such dot, ".txa" is
// appended. Trailing spaces of the name are ignored.
//   "apps/main.txa" -> "apps/main_.txa"     "my.dir/main.txa" -> "my.dir/main_.txa"
//   "main"          -> "main.txa"           "./main.txa"      -> "./main_.txa"
#pragma once
#include <string>
#include <string_view>

namespace varnok::app {

std::string outputName(std::string_view fileNameTxa);

}  // namespace varnok::app
