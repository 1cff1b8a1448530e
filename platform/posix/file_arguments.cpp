#include "platform/file_arguments.h"

namespace varnok::platform {

// The shell has expanded what there was to expand.
std::vector<std::string> expandFileArguments(const std::vector<std::string>& words) { return words; }

}  // namespace varnok::platform
