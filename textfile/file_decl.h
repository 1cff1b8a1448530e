// FileDecl: the program's declaration of one file, as the drivers, the
// operation dispatcher, the trace log and the structure dump see it.
// The record buffer belongs to the program; a driver keeps its own control
// block in driverState while the file is open.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/records/record_layout.h"

namespace varnok::textfile {

struct KeyDecl {
    std::string label;
    std::string name;                 // external name; the label is used when empty
    bool isIndex = false;             // INDEX rather than KEY
    bool dup = false, opt = false, nocase = false, primary = false;
    std::vector<int32_t> components;  // signed field numbers; negative = descending
};

struct BlobDecl {
    std::string label;
    std::string name;
    bool isMemo = false;              // MEMO(size) rather than BLOB
    uint32_t size = 0;
    bool binary = false;
};

struct FileDecl {
    std::string label;                // the file's label in the program
    std::string driverName;           // e.g. "ASCII"
    std::string driverString;         // the driver's option string; may be empty
    std::string name;                 // the file name as declared
    std::string owner;                // a password; never written anywhere
    bool create = false;              // may be created by CREATE
    bool encrypt = false, reclaim = false, thread = false;
    bool oem = false;                 // the file's text is in the OEM code page
    std::vector<KeyDecl> keys;
    std::vector<BlobDecl> blobs;
    const RecordLayout* record = nullptr;
    uint8_t* buffer = nullptr;        // record buffer, record->size() bytes
    void* driverState = nullptr;      // the driver's control block while open
    void* stateOwner = nullptr;       // the driver that set driverState (kept by the dispatcher)
    uint32_t instance = 0;            // instance number shown by the trace
};

}  // namespace varnok::textfile
