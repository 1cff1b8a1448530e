// The "Error Open" message: which file could not be opened and why, with the
// stop icon, the title "Error Open" and an OK button.
//
//   Cannot open main.txa: No such file or directory
//   Cannot open folder.txa: Is a directory
//   No file name given                      (for an empty name)
//
// The reason is the system's text for the error number the platform layer
// reported (errno values); without one the text ends after the name.
#pragma once
#include <string>
#include <string_view>

namespace varnok::app {

inline constexpr std::string_view OpenFailureCaption = "Error Open";

// The message's text for a name and an error number (0: no reason known).
std::string openFailureText(std::string_view name, int error);
// The text for a reason already put in words.
std::string openFailureText(std::string_view name, std::string_view reason);
// Why a name gives no ordinary file to load: the system's text for a name
// that does not exist or cannot be reached, "Is a directory", "It is a
// hidden file", "It is not an ordinary file"; empty when it is one.
std::string notLoadableReason(const std::string& name);

// Shows the message.
void showOpenFailure(std::string_view name, int error);
void showOpenFailure(std::string_view name, std::string_view reason);

}  // namespace varnok::app
