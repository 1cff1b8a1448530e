// The TXA file name's field: the entry's variable FileNameTXA, STRING(256),
// shown with the picture @s255. A name that does not fit is never cut to
// fit (a cut name would then be opened, reported as missing, and kept in
// remtxa.ini, though the user never gave it): wherever the window takes a
// name (the command line, a dropped file, the file dialog, the entry at
// Load, remtxa.ini) one that is too long is refused and the entry keeps
// what it held. The user is told, with the stop icon:
//
//   The file name is too long: 300 characters, at most 255 fit.|/deep/...
//   (caption "Name too long")
//
// Lengths count the bytes of the UTF-8 name, so a letter outside ASCII
// counts as two or three.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace varnok::app {

inline constexpr size_t FileNameLimit = 255;
inline constexpr std::string_view NameTooLongCaption = "Name too long";

bool fitsFileNameField(std::string_view name);
std::string nameTooLongText(std::string_view name);
// Shows the message.
void showNameTooLong(std::string_view name);

}  // namespace varnok::app
