#include "app/txa/output_name.h"

namespace varnok::app {

namespace {

#ifdef _WIN32
constexpr std::string_view separators = "/\\:";
#else
constexpr std::string_view separators = "/";
#endif

}  // namespace

std::string outputName(std::string_view name) {
    size_t end = name.find_last_not_of(' ');
    name = end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
    size_t sep = name.find_last_of(separators);
    size_t part = sep == std::string_view::npos ? 0 : sep + 1;
    size_t dot = part + 1 < name.size() ? name.find('.', part + 1) : std::string_view::npos;
    std::string out(name);
    if (dot == std::string_view::npos)
        out += ".txa";
    else
        out.insert(dot, "_");
    return out;
}

}  // namespace varnok::app
