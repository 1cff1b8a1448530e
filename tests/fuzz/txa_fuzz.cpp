// libFuzzer entry for a TXA file's load, scan, removal and save.
#include <cstddef>
#include <cstdint>

void fuzzTxa(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzTxa(data, size);
    return 0;
}
