// The fuzz targets built into the corpus replay test: each target's name
// (its corpus folder, corpus/<name>/) and its body.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnok::testing {

struct FuzzTarget {
    const char* name;
    void (*body)(const uint8_t* data, size_t size);
};

const std::vector<FuzzTarget>& fuzzTargets();

}  // namespace varnok::testing
