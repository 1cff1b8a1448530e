// varnok format VALUE PICTURE: prints the value through the picture and one
// newline, so leading and trailing blanks stay visible. VALUE is taken as it
// stands (a "-5" is a value, not an option); a "--" before it is skipped.
#include <cstdio>
#include <string>

#include "app/cli/command_line.h"
#include "runtime/pictures/decimal_number.h"
#include "runtime/pictures/format.h"
#include "runtime/pictures/picture.h"

namespace varnok::app {

int formatCommand(const Args& given) {
    Args args = given;
    if (!args.empty() && args[0] == "--") args.erase(args.begin());
    if (args.size() != 2) {
        std::fputs("usage: varnok format VALUE PICTURE\n", stderr);
        return ExitUsage;
    }
    const std::string& value = args[0];
    const CompiledPicture picture = compilePicture(args[1]);
    std::string text;
    if (picture.valid()) {
        // Strings, key-in templates and patterns take any text; the other
        // kinds need a number.
        const bool textValue = picture.kind == PicString || picture.kind == PicKeyIn || picture.kind == PicPattern;
        DecimalNumber number;
        if (!textValue && !DecimalNumber::parse(value, number)) {
            std::fprintf(stderr, "varnok: format: '%s' is not a number\n", value.c_str());
            return ExitUsage;
        }
        text = formatText(value, picture);
    }
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stdout);
    return ExitOk;
}

}  // namespace varnok::app
