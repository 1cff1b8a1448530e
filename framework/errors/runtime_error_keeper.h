// RuntimeErrorKeeper: keeps the calling thread's runtime error state (code,
// file error code and text) across a scope. The error manager looks entries
// up in queues and writes its log through the file driver, and both post
// their own results; a caller that raised an error after a failure still
// finds that failure's code when the manager is done.
#pragma once
#include <cstdint>
#include <string>

namespace varnok::framework {

class RuntimeErrorKeeper {
public:
    RuntimeErrorKeeper();
    ~RuntimeErrorKeeper();
    RuntimeErrorKeeper(const RuntimeErrorKeeper&) = delete;
    RuntimeErrorKeeper& operator=(const RuntimeErrorKeeper&) = delete;

private:
    bool clean_;  // code 0 and blank texts: restoring is clearing
    int32_t code_ = 0;
    std::string fileCode_;
    std::string fileText_;
};

}  // namespace varnok::framework
