// The part of OsFile that is the same on every system.
#include "platform/os_file.h"

#include <vector>

namespace varnok::platform {

namespace {
OsFaultHook gFaultHook = nullptr;
}  // namespace

OsFaultHook setOsFaultHook(OsFaultHook hook) {
    const OsFaultHook previous = gFaultHook;
    gFaultHook = hook;
    return previous;
}

bool osFaultHookFails(OsCall call) { return gFaultHook && gFaultHook(call); }

int32_t OsFile::copyContents(OsFile& source, OsFile& target) {
    std::vector<char> chunk(64 * 1024);
    for (uint64_t offset = 0;;) {
        size_t got = 0;
        if (const int32_t code = source.readAt(offset, chunk.data(), chunk.size(), got); code != 0) return code;
        if (got == 0) return 0;
        size_t written = 0;
        if (const int32_t code = target.writeAt(offset, chunk.data(), got, written); code != 0) return code;
        offset += got;
    }
}

}  // namespace varnok::platform
