// libFuzzer entry for the profile (INI file) reader and writer.
#include <cstddef>
#include <cstdint>

void fuzzProfile(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzProfile(data, size);
    return 0;
}
