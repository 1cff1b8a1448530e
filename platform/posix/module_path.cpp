#include "platform/module_path.h"

#include <climits>
#include <unistd.h>
#include <vector>

namespace varnok::platform {

std::string modulePath() {
    // readlink does not say whether it cut the name, so grow until it fits.
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (size_t(n) < buffer.size()) return std::string(buffer.data(), size_t(n));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace varnok::platform
