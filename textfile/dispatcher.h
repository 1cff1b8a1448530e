// The operation dispatcher: every file operation of a program goes through
// dispatch(), which finds the driver the file is declared with, traces the
// operation (textfile/trace_log.h), hands it the operation code, the file and
// the arguments, and posts the driver's answer in the calling thread's error
// state: 0 clears the error, anything else is posted as the error code.
//
// The text line driver ("ASCII") is always known; other drivers register
// themselves. Driver names match without regard to case.
#pragma once
#include <cstdint>
#include <string_view>

#include "textfile/file_decl.h"
#include "textfile/file_driver.h"

namespace varnok::textfile {

// Registers a driver (not owned) under its name; it replaces one of the same
// name. The driver must outlive every file that uses it.
void registerDriver(FileDriver& driver);
// The driver of that name, or nullptr.
FileDriver* findDriver(std::string_view name);

// Runs one operation; answers the error code it posted (47 when the file's
// driver is not known).
int32_t dispatch(int operation, FileDecl& file, FileArgs& args);
int32_t dispatch(int operation, FileDecl& file);

}  // namespace varnok::textfile
