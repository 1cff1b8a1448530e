// varnok deformat TEXT [PICTURE]: prints the value read back from the text
// and one newline. Without a picture the number is extracted from the text.
// TEXT is taken as it stands ("-5" is a text); a "--" before it is dropped.
// Arguments are read as UTF-8 and converted to Windows-1252 before they are
// read back, so a month name such as "März" is recognised.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/command_line.h"
#include "app/cli/commands.h"
#include "platform/cp1252.h"
#include "runtime/pictures/format.h"

namespace varnok::app {

namespace {

int runDeformat(const std::vector<std::string>& words) {
    if (words.empty() || words.size() > 2)
        return usageError("deformat", "expects TEXT and an optional PICTURE, not " + std::to_string(words.size()) +
                                          " arguments");
    std::string text, picture;
    if (!argumentAsCp1252("deformat", words[0], text)) return ExitUsage;
    if (words.size() == 2 && !argumentAsCp1252("deformat", words[1], picture)) return ExitUsage;
    std::string value = platform::cp1252ToUtf8(words.size() == 1 ? DEFORMAT(text) : DEFORMAT(text, picture));
    value += '\n';
    std::fwrite(value.data(), 1, value.size(), stdout);
    return ExitOk;
}

}  // namespace

Command addDeformatCommand(CLI::App& program) {
    CLI::App* deformat = program.add_subcommand("deformat", "read a value back from its text");
    deformat->footer(
        "Through PICTURE when given (dates and times come back as day and time\n"
        "numbers), else the number the text holds. TEXT is read as UTF-8.");
    deformat->prefix_command();
    nameWordsInUsage(*deformat, "TEXT [PICTURE]");
    return Command{deformat, [deformat] { return runDeformat(deformat->remaining()); }, true};
}

}  // namespace varnok::app
