#include "platform/local_time.h"

namespace varnok::platform {

int32_t clockHundredths() {
    LocalTime t = localTime();
    return ((t.hour * 60 + t.minute) * 60 + t.second) * 100 + t.hundredths + 1;
}

}  // namespace varnok::platform
