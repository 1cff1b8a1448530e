#include "textfile/file_driver.h"

namespace varnok::textfile {

std::array<uint8_t, 4> positionBytes(uint32_t pointer) {
    return {static_cast<uint8_t>(pointer), static_cast<uint8_t>(pointer >> 8),
            static_cast<uint8_t>(pointer >> 16), static_cast<uint8_t>(pointer >> 24)};
}

uint32_t positionPointer(const std::array<uint8_t, 4>& position) {
    return uint32_t{position[0]} | uint32_t{position[1]} << 8 | uint32_t{position[2]} << 16 |
           uint32_t{position[3]} << 24;
}

}  // namespace varnok::textfile
