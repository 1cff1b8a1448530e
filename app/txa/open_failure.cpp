#include "app/txa/open_failure.h"

#include <filesystem>
#include <system_error>

#include "platform/directory.h"
#include "window/message_box.h"

namespace varnok::app {

std::string openFailureText(std::string_view name, std::string_view reason) {
    if (name.empty()) return "No file name given";
    std::string text = "Cannot open " + std::string(name);
    if (!reason.empty()) text += ": " + std::string(reason);
    return text;
}

std::string openFailureText(std::string_view name, int error) {
    return openFailureText(name, error != 0 ? std::generic_category().message(error) : std::string());
}

std::string notLoadableReason(const std::string& name) {
    if (name.empty()) return std::string();
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(name, ec);
    if (ec) return ec.message();
    if (std::filesystem::is_directory(status)) return std::make_error_code(std::errc::is_a_directory).message();
    if (!std::filesystem::is_regular_file(status)) return "It is not an ordinary file";
    if (platform::isHiddenName(name)) return "It is a hidden file";
    return std::string();
}

void showOpenFailure(std::string_view name, std::string_view reason) {
    window::message(openFailureText(name, reason), std::string(OpenFailureCaption), window::IconHand);
}

void showOpenFailure(std::string_view name, int error) {
    window::message(openFailureText(name, error), std::string(OpenFailureCaption), window::IconHand);
}

}  // namespace varnok::app
