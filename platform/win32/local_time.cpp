#include "platform/local_time.h"

#include <windows.h>

namespace varnok::platform {

LocalTime localTime() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    LocalTime t;
    t.year = now.wYear;
    t.month = now.wMonth;
    t.day = now.wDay;
    t.dayOfWeek = now.wDayOfWeek;
    t.hour = now.wHour;
    t.minute = now.wMinute;
    t.second = now.wSecond > 59 ? 59 : now.wSecond;
    t.hundredths = now.wMilliseconds / 10;
    return t;
}

}  // namespace varnok::platform
