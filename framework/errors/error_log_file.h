// ErrorLogFile: the standard error log, the text file "KTLError.Log" in the
// current directory (the name is resolved at each open), written through the
// text line driver ("ASCII") one line per record. The record is one field
// TXT, a blank-padded STRING(1024): a longer line is cut, trailing blanks are
// not written.
//
// The file is opened read/write, deny none (open mode 0x42), so several
// processes can append to one log; the driver locks the file around each
// line, so lines never interleave. Usage counts opens not yet closed:
//  - Open(force): when Usage is 0 or force, the file is opened (made first
//    when it does not exist: created without ever truncating, so a process
//    racing to make the same log loses nothing); an error answers 5 and
//    leaves Usage alone. An open that finds the file open already only
//    counts; one found closed while Usage is not 0 (after a failed close)
//    is opened again. Then Usage goes up by one.
//  - WriteLine(line): 5 while Usage is 0 or when the append fails.
//  - Close(force): when Usage is 1 or force the file is closed (an error
//    answers 5 and leaves Usage alone) and Usage becomes 0; otherwise Usage
//    goes down by one, never below 0.
// Every operation holds the log's own lock.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/errors/critical_section.h"
#include "framework/errors/error_log.h"
#include "runtime/records/record_layout.h"
#include "textfile/file_decl.h"

namespace varnok::framework {

constexpr const char* StandardLogName = "KTLError.Log";
constexpr uint32_t LogLineSize = 1024;
constexpr uint8_t LogOpenMode = 0x42;  // read/write, deny none

class ErrorLogFile : public ErrorLogInterface {
public:
    explicit ErrorLogFile(std::string fileName = StandardLogName);
    ~ErrorLogFile() override;  // closes the file when it is still open
    ErrorLogFile(const ErrorLogFile&) = delete;
    ErrorLogFile& operator=(const ErrorLogFile&) = delete;

    uint8_t Close(bool force) override;
    uint8_t Open(bool force) override;
    uint8_t WriteLine(std::string_view line) override;

    int32_t usage();
    const std::string& fileName() const { return fileName_; }

protected:
    CriticalSection CritSect;
    int32_t Usage = 0;

private:
    int32_t openFile();
    bool isOpen() const;

    std::string fileName_;
    RecordLayout layout_;
    std::vector<uint8_t> record_;
    textfile::FileDecl file_;
};

}  // namespace varnok::framework
