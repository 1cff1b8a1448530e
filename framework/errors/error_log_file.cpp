#include "framework/errors/error_log_file.h"

#include <algorithm>
#include <cstring>

#include "platform/os_file.h"
#include "runtime/errors/error_codes.h"
#include "textfile/dispatcher.h"
#include "textfile/operations.h"

namespace varnok::framework {

ErrorLogFile::ErrorLogFile(std::string fileName)
    : fileName_(std::move(fileName)),
      layout_(RecordLayoutBuilder().string("TXT", LogLineSize).build()),
      record_(LogLineSize, ' ') {
    file_.label = "ErrorLog";
    file_.driverName = "ASCII";
    file_.name = fileName_;
    file_.create = true;
    file_.record = &layout_;
    file_.buffer = record_.data();
}

ErrorLogFile::~ErrorLogFile() {
    if (isOpen()) textfile::dispatch(textfile::op::CLOSE, file_);
}

bool ErrorLogFile::isOpen() const { return file_.driverState != nullptr; }

int32_t ErrorLogFile::openFile() {
    textfile::FileArgs args;
    args.access = LogOpenMode;
    int32_t code = textfile::dispatch(textfile::op::OPEN, file_, args);
    if (code == FileNotFoundErr) {
        // Made without truncating: another process may have made it meanwhile.
        platform::OsFile made;
        code = made.open(fileName_, platform::FileAccess::ReadWrite, platform::FileSharing::DenyNone, true);
        if (code == 0) code = made.close();
        if (code == 0) code = textfile::dispatch(textfile::op::OPEN, file_, args);
    }
    return code;
}

uint8_t ErrorLogFile::Open(bool /*force*/) {
    CriticalSection::Hold hold(CritSect);
    // Usage 0 or force opens the file unless it is open already; a file
    // found closed while opens are counted (its close failed) is opened
    // again too, so one failed close does not end the log for good.
    if (!isOpen() && openFile() != 0) return 5;
    ++Usage;
    return 0;
}

uint8_t ErrorLogFile::WriteLine(std::string_view line) {
    CriticalSection::Hold hold(CritSect);
    if (Usage == 0 || !isOpen()) return 5;
    const size_t n = std::min<size_t>(line.size(), LogLineSize);
    std::memcpy(record_.data(), line.data(), n);
    std::memset(record_.data() + n, ' ', LogLineSize - n);
    // The padding after the line is never written (the driver clips trailing
    // blanks), so the append names the line's length and spares the driver a
    // search through the blanks. An empty line still goes out as a line.
    textfile::FileArgs args;
    args.length = static_cast<uint32_t>(n);
    const int operation = n > 0 ? textfile::op::ADDfilelen : textfile::op::ADD;
    return textfile::dispatch(operation, file_, args) == 0 ? 0 : 5;
}

uint8_t ErrorLogFile::Close(bool force) {
    CriticalSection::Hold hold(CritSect);
    if (Usage == 1 || force) {
        // The driver lets the file go even when closing it fails.
        if (isOpen() && textfile::dispatch(textfile::op::CLOSE, file_) != 0) return 5;
        Usage = 0;
    } else if (Usage > 0) {
        --Usage;
    }
    return 0;
}

int32_t ErrorLogFile::usage() {
    CriticalSection::Hold hold(CritSect);
    return Usage;
}

}  // namespace varnok::framework
