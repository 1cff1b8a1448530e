#include "app/window/counts_line.h"

namespace varnok::app {

std::string countsLine(uint32_t instances, uint32_t ticked, uint32_t lines) {
    return std::to_string(instances) + " instances, " + std::to_string(ticked) + " ticked \u2014 " +
           std::to_string(lines) + " lines";
}

}  // namespace varnok::app
