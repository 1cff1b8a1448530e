// ResizerStore: where a WindowResizer keeps its values between runs of the
// program, as texts under short keys ("Width", "Height"). The main window
// backs it with the IniManager under the window's procedure name; tests
// keep it in memory.
#pragma once
#include <string>
#include <string_view>

namespace varnok::framework {

class ResizerStore {
public:
    virtual ~ResizerStore() = default;
    // True with the stored value; false when the key has none.
    virtual bool Fetch(std::string_view key, std::string& value) = 0;
    virtual void Update(std::string_view key, std::string_view value) = 0;
};

}  // namespace varnok::framework
