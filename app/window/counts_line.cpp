#include "app/window/counts_line.h"

#include "app/txa/extension_remover.h"

namespace varnok::app {

std::string_view baseName(std::string_view file) {
    const size_t slash = file.find_last_of("/\\");
    return slash == std::string_view::npos ? file : file.substr(slash + 1);
}

std::string countsLine(const Counts& c) {
    std::string line;
    if (!c.file.empty()) line.append(baseName(c.file)).append(": ");
    if (!c.file.empty() && !c.sections) {
        line.append(NoSectionsHint);
    } else {
        line += std::to_string(c.instances) + " instances, " + std::to_string(c.ticked) + " ticked";
    }
    return line + " \u2014 " + std::to_string(c.lines) + " lines";
}

}  // namespace varnok::app
