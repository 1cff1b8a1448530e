#include "framework/errors/macro_substitution.h"

#include "platform/ascii_text.h"

namespace varnok::framework {

namespace {

using platform::lowerAscii;
using platform::sameAsciiText;

size_t findIgnoringCase(std::string_view text, std::string_view macro, size_t from) {
    if (macro.empty() || text.size() < macro.size()) return std::string_view::npos;
    const char first = lowerAscii(macro[0]);
    for (size_t i = from; i + macro.size() <= text.size(); ++i)
        if (lowerAscii(text[i]) == first && sameAsciiText(text.substr(i, macro.size()), macro)) return i;
    return std::string_view::npos;
}

}  // namespace

void replaceMacro(std::string& text, std::string_view macro, std::string_view value, size_t limit) {
    if (sameAsciiText(macro, value)) return;
    size_t from = 0;
    for (;;) {
        const size_t at = findIgnoringCase(text, macro, from);
        if (at == std::string::npos) return;
        text.replace(at, macro.size(), value);
        if (text.size() > limit) text.resize(limit);
        from = at + value.size();
    }
}

std::string substituteMacros(std::string_view message, const MacroValues& v) {
    std::string text(message.substr(0, MacroTextLimit));
    replaceMacro(text, "%FileErrorCode", v.fileErrorCode);
    replaceMacro(text, "%FileError", v.fileError);
    replaceMacro(text, "%File", v.fileName);
    replaceMacro(text, "%Key", v.keyName);
    const std::string code = std::to_string(v.errorCode);
    replaceMacro(text, "%ErrorCode", code);
    std::string errorText;
    if (v.errorCode == 90 || v.errorCode == 100) {
        errorText.append(v.fileError).append(" (").append(v.fileErrorCode).append(")");
    } else {
        errorText.append(v.error).append(" (").append(code).append(")");
    }
    replaceMacro(text, "%ErrorText", errorText);
    replaceMacro(text, "%Error", v.error);
    replaceMacro(text, "%Message", v.messageText);
    replaceMacro(text, "%Field", v.fieldName);
    replaceMacro(text, "%Procedure", v.procedure);
    replaceMacro(text, "%Category", v.category);
    if (text.find("%Previous") != std::string::npos) replaceMacro(text, "%Previous", v.previous ? v.previous() : "");
    return text;
}

}  // namespace varnok::framework
