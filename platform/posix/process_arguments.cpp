#include "platform/process_arguments.h"

namespace varnok::platform {

std::vector<std::string> processArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc && argv && argv[i]; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

// The terminal takes the bytes as they are written.
void prepareConsoleOutput() {}

}  // namespace varnok::platform
