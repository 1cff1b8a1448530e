#include "app/window/remembered_file_name.h"

#include "platform/profile.h"

namespace varnok::app {

namespace {
constexpr size_t ProfileReadLimit = 1023;  // a 1024-byte read buffer
constexpr size_t FileNameSize = 256;       // FileNameTXA, STRING(256)

std::string_view withoutTrailingSpaces(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}
}  // namespace

std::string readRememberedFileName() {
    std::string value =
        platform::getPrivateProfileString(RememberedNameSection, RememberedNameKey, "", RememberedNameFile);
    if (value.size() > ProfileReadLimit) value.resize(ProfileReadLimit);
    if (value.size() > FileNameSize) value.resize(FileNameSize);
    return value;
}

void writeRememberedFileName(std::string_view name) {
    platform::writePrivateProfileString(RememberedNameSection, RememberedNameKey, withoutTrailingSpaces(name),
                                        RememberedNameFile);
}

}  // namespace varnok::app
