// libFuzzer entry for the picture compiler with FORMAT and DEFORMAT.
#include <cstddef>
#include <cstdint>

void fuzzPicture(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzPicture(data, size);
    return 0;
}
