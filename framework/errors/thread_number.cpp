#include "framework/errors/thread_number.h"

#include <atomic>

namespace varnok::framework {

int32_t currentThreadNumber() {
    static std::atomic<int32_t> lastNumber{0};
    thread_local int32_t number = 0;
    if (number == 0) number = ++lastNumber;
    return number;
}

}  // namespace varnok::framework
