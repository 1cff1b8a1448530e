// libFuzzer entry for the environment-file reader.
#include <cstddef>
#include <cstdint>

void fuzzEnvironmentFile(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzEnvironmentFile(data, size);
    return 0;
}
