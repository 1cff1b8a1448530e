// libFuzzer entry for reading a text file through the text line driver.
#include <cstddef>
#include <cstdint>

void fuzzTextDriver(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzTextDriver(data, size);
    return 0;
}
