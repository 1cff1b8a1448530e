#include "app/window/remembered_file_name.h"

#include "platform/profile.h"
#include "platform/trailing_spaces.h"

namespace varnok::app {

namespace {
constexpr size_t FileNameSize = 256;       // FileNameTXA, STRING(256)

using platform::withoutTrailingSpaces;

}  // namespace

std::string readRememberedFileName() {
    std::string value =
        platform::getPrivateProfileString(RememberedNameSection, RememberedNameKey, "", RememberedNameFile);
    if (value.size() > FileNameSize) value.resize(FileNameSize);
    return value;
}

void writeRememberedFileName(std::string_view name) {
    platform::writePrivateProfileString(RememberedNameSection, RememberedNameKey, withoutTrailingSpaces(name),
                                        RememberedNameFile);
}

}  // namespace varnok::app
