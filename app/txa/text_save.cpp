#include "app/txa/text_save.h"

namespace varnok::app {

TextSave::~TextSave() {
    if (!finished_) {
        output_.reset();  // waits for writes in flight
        file_.abandon();
    }
}

bool TextSave::create(const std::string& target) {
    if (!file_.create(target)) {
        error_ = file_.error();
        finished_ = true;
        return false;
    }
    output_ = std::make_unique<platform::OutputBuffers>(file_, bufferBytes_);
    return true;
}

bool TextSave::finish(bool complete) {
    finished_ = true;
    bool ok = complete && output_->finish();
    if (output_->error() != 0) file_.setError(output_->error());
    if (ok) ok = file_.commit();
    if (!ok) {
        error_ = file_.error();
        output_.reset();
        file_.abandon();
        return false;
    }
    error_ = 0;
    return true;
}

}  // namespace varnok::app
