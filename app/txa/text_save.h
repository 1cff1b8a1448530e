// TextSave: one text file being saved the safe way, with the messages the
// user sees when it fails.
//
// create() makes a temporary file beside the target ("Error Open", naming
// the target and why, when it cannot: open_failure.h); the bytes go through output(); finish(true) flushes the file and
// renames it over the target, finish(false) or a failure of either throws
// the temporary file away ("Error WriteFile"). Until finish succeeds the
// target is untouched. error() is the errno of the failure, 0 when none.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "platform/output_buffers.h"
#include "platform/plain_file.h"

namespace varnok::app {

class TextSave {
public:
    explicit TextSave(size_t bufferBytes) : bufferBytes_(bufferBytes) {}
    ~TextSave();
    TextSave(const TextSave&) = delete;
    TextSave& operator=(const TextSave&) = delete;

    // False after showing "Error Open".
    bool create(const std::string& target);
    platform::OutputBuffers& output() { return *output_; }
    // False after showing "Error WriteFile"; true when the target now holds
    // every byte written. `complete` false means the caller gave up.
    bool finish(bool complete);
    int error() const { return error_; }

private:
    size_t bufferBytes_;
    platform::SafeOutputFile file_;
    std::unique_ptr<platform::OutputBuffers> output_;
    bool finished_ = false;
    int error_ = 0;
};

}  // namespace varnok::app
