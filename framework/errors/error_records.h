// The records of the error manager's three queues and their layouts.
//
// ErrorEntry (queue Errors), 101 bytes:
//     ID         LONG
//     Message    reference to a text: address (8 bytes) and length (8 bytes);
//                the text itself is not copied and must outlive the entry
//     Title      reference to a text, the same way
//     Fatality   BYTE
//     Category   STRING(64)   blank: the manager's DefaultCategory applies
// HistoryEntry (queue History), 1090 bytes:
//     Category   STRING(64)
//     Txt        CSTRING(1024)  at most 1023 characters
//     ID         SHORT
// ProcNameEntry (queue ProcNames), 132 bytes:
//     Thread     LONG         thread number (framework/errors/thread_number.h)
//     Name       STRING(128)
//
// The *Record structs are decoded copies; write() cuts texts to their fields.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/records/record_layout.h"

namespace varnok::framework {

constexpr uint32_t CategorySize = 64;
constexpr uint32_t HistoryTextSize = 1024;
constexpr uint32_t ProcNameSize = 128;

RecordLayout errorEntryLayout();
RecordLayout historyEntryLayout();
RecordLayout procNameEntryLayout();

struct ErrorEntryRecord {
    int32_t ID = 0;
    std::string_view Message;  // refers to the caller's text
    std::string_view Title;
    uint8_t Fatality = 0;
    std::string Category;      // without trailing blanks

    void read(const uint8_t* record);
    void write(uint8_t* record) const;
};
// Only the ID of an ErrorEntry record, without decoding the rest.
int32_t errorEntryId(const uint8_t* record);
// Replaces only the Category of an ErrorEntry record.
void setErrorEntryCategory(uint8_t* record, std::string_view category);

struct HistoryRecord {
    std::string Category;  // without trailing blanks
    std::string Txt;
    int16_t ID = 0;

    void read(const uint8_t* record);
    void write(uint8_t* record) const;
};

struct ProcNameRecord {
    int32_t Thread = 0;
    std::string Name;  // without trailing blanks

    void read(const uint8_t* record);
    void write(uint8_t* record) const;
};

}  // namespace varnok::framework
