// TextSave: one text file being saved the safe way.
//
// create() makes a temporary file beside the target; the bytes go through
// output(); finish(true) flushes the file and renames it over the target,
// finish(false) or a failure of either throws the temporary file away. Until
// finish succeeds the target is untouched. Neither shows anything: the
// caller turns a failure into its message (create: "Error Open", finish:
// "Error WriteFile"). error() is the errno of the failure, 0 when none.
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

    // False when the temporary file cannot be made.
    bool create(const std::string& target);
    platform::OutputBuffers& output() { return *output_; }
    // True when the target now holds every byte written; false when writing
    // failed or `complete` was false (the caller gave up).
    bool finish(bool complete);
    int error() const { return error_; }
    // Why create() failed: a read-only file in the way, or another error.
    bool targetReadOnly() const { return file_.targetReadOnly(); }

private:
    size_t bufferBytes_;
    platform::SafeOutputFile file_;
    std::unique_ptr<platform::OutputBuffers> output_;
    bool finished_ = false;
    int error_ = 0;
};

}  // namespace varnok::app
