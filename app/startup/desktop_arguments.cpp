#include "app/startup/desktop_arguments.h"

#include <string_view>

namespace varnok::app {

std::optional<std::string> desktopStartFile(int argc, char** argv) {
    if (argc != 2 || !argv[1]) return std::nullopt;
    const std::string_view word = argv[1];
    if (word.empty() || word.front() == '-') return std::nullopt;
    if (word.find_first_of("./") == std::string_view::npos) return std::nullopt;
    return std::string(word);
}

}  // namespace varnok::app
