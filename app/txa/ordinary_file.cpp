#include "app/txa/ordinary_file.h"

#include <vector>

#include "platform/directory.h"
#include "platform/plain_file.h"

namespace varnok::app {

FileCheck checkOrdinaryFile(const std::string& name) {
    std::vector<platform::DirectoryEntry> listing;
    if (platform::listDirectory(name, listing) > 0) return {FileKind::Ordinary, listing.front().size};
    if (!platform::pathExists(name)) return {FileKind::Missing};
    if (platform::isDirectory(name)) return {FileKind::Folder};
    if (platform::isHiddenName(name)) return {FileKind::Hidden};
    return {FileKind::NotOrdinary};
}

}  // namespace varnok::app
