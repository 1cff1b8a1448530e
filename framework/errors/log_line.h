// The line the error manager appends to its log for one message:
//     <date through @d17>@<time through @t8> --> <text>
// e.g. "12/08/25@ 2:05:09PM --> Error: (File Not Found (2)) creating x."
// with the regional short date and long time layouts.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok::framework {

// The line for a standard date and time (runtime/calendar/dates.h).
std::string errorLogLine(int32_t date, int32_t time, std::string_view text);
// The line for now.
std::string errorLogLine(std::string_view text);

}  // namespace varnok::framework
