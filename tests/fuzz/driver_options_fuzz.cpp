// libFuzzer entry for the text line driver's option strings.
#include <cstddef>
#include <cstdint>

void fuzzDriverOptions(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzDriverOptions(data, size);
    return 0;
}
