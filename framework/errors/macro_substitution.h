// %-macros of error messages and their replacement.
//
// A message may name parts of the error state with macros. They are replaced
// in this order, each everywhere in the text, matching without regard to
// case (a longer macro before the shorter one that is its prefix, so
// "%FileErrorCode" never becomes a file name followed by "ErrorCode"):
//
//     %FileErrorCode  %FileError  %File  %Key  %ErrorCode  %ErrorText
//     %Error  %Message  %Field  %Procedure  %Category  %Previous
//
// %ErrorText is the file error text and the file error code in parentheses
// after runtime error 90 or 100, else the error text and the numeric code in
// parentheses. %Previous is replaced only when the text holds "%Previous"
// spelled exactly so; "%previous" alone stays.
//
// Replacing one macro: when the macro and its value are equal ignoring case
// the text stays; otherwise each occurrence is replaced and the search goes
// on behind the inserted value, so a value is never searched again for the
// macro that brought it in. The text never grows beyond `MacroTextLimit`
// characters (a zero-terminated buffer of 2000 bytes): whatever would pass
// that point is cut after each replacement.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace varnok::framework {

constexpr size_t MacroTextLimit = 1999;

// The values the macros stand for.
struct MacroValues {
    std::string_view fileErrorCode;
    std::string_view fileError;
    std::string_view fileName;
    std::string_view keyName;
    int32_t errorCode = 0;
    std::string_view error;
    std::string_view messageText;
    std::string_view fieldName;
    std::string_view procedure;
    std::string_view category;
    // The text of the previous message; asked for only when "%Previous" is there.
    std::function<std::string()> previous;
};

// Replaces one macro everywhere in text as described above.
void replaceMacro(std::string& text, std::string_view macro, std::string_view value,
                  size_t limit = MacroTextLimit);

// The message with every macro replaced.
std::string substituteMacros(std::string_view message, const MacroValues& values);

}  // namespace varnok::framework
