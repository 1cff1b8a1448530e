#include "platform/parent_console.h"

namespace varnok::platform {

// A Linux program always has the streams its starter gave it.
void attachParentConsole() {}

}  // namespace varnok::platform
