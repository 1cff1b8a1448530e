// Thread numbers: a small positive number per thread, handed out in the
// order the threads first ask (the first thread to ask gets 1). Tells
// threads apart in records such as the error manager's procedure names.
#pragma once
#include <cstdint>

namespace varnok::framework {

int32_t currentThreadNumber();

}  // namespace varnok::framework
