#include "framework/errors/runtime_error_keeper.h"

#include "runtime/errors/error_codes.h"

namespace varnok::framework {

RuntimeErrorKeeper::RuntimeErrorKeeper() : clean_(tErrorStateClean) {
    if (clean_) return;
    code_ = errorCode();
    fileCode_ = fileErrorCode();
    fileText_ = fileErrorText();
}

RuntimeErrorKeeper::~RuntimeErrorKeeper() {
    if (clean_) {
        clearError();
        return;
    }
    if (errorCode() == code_ && fileErrorCode() == fileCode_ && fileErrorText() == fileText_) return;
    clearError();
    if (!fileCode_.empty() || !fileText_.empty()) postFileError(fileCode_.c_str(), fileText_.c_str());
    postError(code_);
}

}  // namespace varnok::framework
