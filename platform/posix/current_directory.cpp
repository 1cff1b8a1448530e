#include "platform/current_directory.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace varnok::platform {

std::string currentDirectory() {
    // Most paths fit the stack buffer; the text driver asks at every open.
    char here[4096];
    if (::getcwd(here, sizeof here)) return here;
    if (errno != ERANGE) return {};
    std::vector<char> buffer(2 * sizeof here);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
        buffer.resize(buffer.size() * 2);
    }
}

bool setCurrentDirectory(std::string_view path) {
    // A zero byte would cut the name short and name another folder.
    if (path.empty() || path.find('\0') != std::string_view::npos) return false;
    std::string native(path);
    for (char& c : native)
        if (c == '\\') c = '/';
    return ::chdir(native.c_str()) == 0;
}

}  // namespace varnok::platform
