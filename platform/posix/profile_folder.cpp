#include "platform/environment.h"
#include "platform/profile.h"

namespace varnok::platform {

std::string profileFolder() {
    std::string base;
    if (std::optional<std::string> xdg = environmentVariable("XDG_CONFIG_HOME"); xdg && !xdg->empty()) {
        base = *xdg;
    } else {
        std::optional<std::string> home = environmentVariable("HOME");
        base = (home && !home->empty() ? *home : std::string(".")) + "/.config";
    }
    return base + "/varnok";
}

}  // namespace varnok::platform
