#include "framework/errors/log_line.h"

#include "runtime/calendar/dates.h"
#include "runtime/pictures/format.h"

namespace varnok::framework {

std::string errorLogLine(int32_t date, int32_t time, std::string_view text) {
    std::string line = FORMAT(date, "@d17");
    line += '@';
    line += FORMAT(time, "@t8");
    line += " --> ";
    line += text;
    return line;
}

std::string errorLogLine(std::string_view text) { return errorLogLine(Today(), Clock(), text); }

}  // namespace varnok::framework
