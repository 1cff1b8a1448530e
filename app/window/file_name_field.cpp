#include "app/window/file_name_field.h"

#include "platform/trailing_spaces.h"
#include "window/message_box.h"

namespace varnok::app {

bool fitsFileNameField(std::string_view name) {
    return platform::withoutTrailingSpaces(name).size() <= FileNameLimit;
}

std::string nameTooLongText(std::string_view name) {
    name = platform::withoutTrailingSpaces(name);
    return "The file name is too long: " + std::to_string(name.size()) + " characters, at most " +
           std::to_string(FileNameLimit) + " fit.|" + std::string(name);
}

void showNameTooLong(std::string_view name) {
    window::message(nameTooLongText(name), std::string(NameTooLongCaption), window::IconHand);
}

}  // namespace varnok::app
