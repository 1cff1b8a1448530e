// ErrorLogInterface: where the error manager's log lines go. Open and Close
// nest (an object may count its opens); every operation answers 0 for
// success and 5 for failure. The manager never reports a failure of its log:
// the message goes on and the next one tries again.
#pragma once
#include <cstdint>
#include <string_view>

namespace varnok::framework {

class ErrorLogInterface {
public:
    virtual ~ErrorLogInterface() = default;
    virtual uint8_t Close(bool force) = 0;
    virtual uint8_t Open(bool force) = 0;
    virtual uint8_t WriteLine(std::string_view line) = 0;
};

}  // namespace varnok::framework
