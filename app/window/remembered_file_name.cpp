#include "app/window/remembered_file_name.h"

#include "platform/profile.h"
#include "platform/trailing_spaces.h"

namespace varnok::app {

namespace {

using platform::withoutTrailingSpaces;

}  // namespace

std::string readRememberedFileName() {
    return platform::getPrivateProfileString(RememberedNameSection, RememberedNameKey, "", RememberedNameFile);
}

void writeRememberedFileName(std::string_view name) {
    platform::writePrivateProfileString(RememberedNameSection, RememberedNameKey, withoutTrailingSpaces(name),
                                        RememberedNameFile);
}

}  // namespace varnok::app
