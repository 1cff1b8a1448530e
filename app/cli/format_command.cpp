// varnok format VALUE PICTURE: prints the value through the picture and one
// newline, so leading and trailing blanks stay visible. VALUE is taken as it
// stands (a "-5" is a value, not an option); a "--" before it is dropped.
// Arguments are read as UTF-8 and the result printed as UTF-8; the runtime
// formats in Windows-1252, so month names from the environment file and
// accented strings print as the terminal expects.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command_line.h"
#include "app/cli/commands.h"
#include "platform/cp1252.h"
#include "runtime/pictures/decimal_number.h"
#include "runtime/pictures/format.h"
#include "runtime/pictures/picture.h"

namespace varnok::app {

namespace {

int runFormat(const std::vector<std::string>& words) {
    if (words.size() != 2)
        return usageError("format", "expects VALUE and PICTURE, not " + std::to_string(words.size()) + " argument" +
                                        (words.size() == 1 ? "" : "s"));
    std::string value, pictureText;
    if (!argumentAsCp1252("format", words[0], value) || !argumentAsCp1252("format", words[1], pictureText))
        return ExitUsage;
    const CompiledPicture picture = compilePicture(pictureText);
    std::string text;
    if (picture.valid()) {
        // Strings, key-in templates and patterns take any text; the other
        // kinds need a number.
        const bool textValue = picture.kind == PicString || picture.kind == PicKeyIn || picture.kind == PicPattern;
        DecimalNumber number;
        if (!textValue && !DecimalNumber::parse(value, number))
            return usageError("format", "'" + words[0] + "' is not a number");
        text = platform::cp1252ToUtf8(formatText(value, picture));
    }
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stdout);
    return ExitOk;
}

}  // namespace

Command addFormatCommand(CLI::App& program) {
    CLI::App* format = program.add_subcommand("format", "show a value through a picture");
    format->footer(
        "PICTURE: @n numbers (varnok format -1234.5 @n-15.2), @e scientific, @p and @k\n"
        "patterns, @s strings, @d dates and @t times given as day and time numbers.\n"
        "Prints the text and one newline; an invalid picture prints an empty line.\n"
        "Texts are read and printed as UTF-8.");
    format->prefix_command();
    nameWordsInUsage(*format, "VALUE PICTURE");
    return Command{format, [format] { return runFormat(format->remaining()); }, true};
}

}  // namespace varnok::app
