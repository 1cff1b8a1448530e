// varnok deformat TEXT [PICTURE]: prints the value read back from the text
// and one newline. Without a picture the number is extracted from the text.
#include <cstdio>
#include <string>

#include "app/cli/command_line.h"
#include "runtime/pictures/format.h"

namespace varnok::app {

int deformatCommand(const Args& given) {
    Args args = given;
    if (!args.empty() && args[0] == "--") args.erase(args.begin());
    if (args.empty() || args.size() > 2) {
        std::fputs("usage: varnok deformat TEXT [PICTURE]\n", stderr);
        return ExitUsage;
    }
    std::string value = args.size() == 1 ? DEFORMAT(args[0]) : DEFORMAT(args[0], args[1]);
    value += '\n';
    std::fwrite(value.data(), 1, value.size(), stdout);
    return ExitOk;
}

}  // namespace varnok::app
