// Values of fixed-layout records read and written at any byte offset: record
// images have no alignment, so every access goes through memcpy (which the
// compiler turns into one plain load or store).
#pragma once
#include <cstdint>
#include <cstring>

namespace varnok {

template <class T>
T loadRaw(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T>
void storeRaw(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

}  // namespace varnok
