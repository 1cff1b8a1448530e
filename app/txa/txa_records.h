// The two lists of the extension remover and their record layouts.
//
// LineQ: one entry per line of the loaded TXA file, in file order.
//     Lyn            STRING(1024)   the line without its line end
// ExtensionQ: one entry per extension instance, in file order (181 bytes).
//     RemoveThis     BYTE           1 = ticked for removal
//     REM:Icon       LONG           1 = empty box, 2 = ticked box; always 1 + RemoveThis
//     ExtensionName  STRING(64)
//     ProcName       STRING(64)     blank before the first procedure
//     Template       STRING(40)
//     FromLineNo     LONG           the instance's [ADDITION] line
//     ToLineNo       LONG           its last line; 0 while never closed
//
// ExtensionRecord is a decoded copy of one ExtensionQ record; the fixed
// texts keep their space padding.
#pragma once
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/trailing_spaces.h"
#include "runtime/records/record_layout.h"

namespace varnok::app {

constexpr uint32_t LineSize = 1024;

constexpr uint32_t ExtRemoveThisOffset = 0;
constexpr uint32_t ExtIconOffset = 1;
constexpr uint32_t ExtNameOffset = 5;
constexpr uint32_t ExtNameSize = 64;
constexpr uint32_t ExtProcOffset = ExtNameOffset + ExtNameSize;  // 69
constexpr uint32_t ExtProcSize = 64;
constexpr uint32_t ExtTemplateOffset = ExtProcOffset + ExtProcSize;  // 133
constexpr uint32_t ExtTemplateSize = 40;
constexpr uint32_t ExtFromOffset = ExtTemplateOffset + ExtTemplateSize;  // 173
constexpr uint32_t ExtToOffset = ExtFromOffset + 4;                      // 177
constexpr uint32_t ExtensionRecordSize = ExtToOffset + 4;                // 181
static_assert(ExtensionRecordSize == 181);

RecordLayout lineLayout();
RecordLayout extensionLayout();

struct ExtensionRecord {
    uint8_t removeThis = 0;
    int32_t icon = 1;
    char extensionName[ExtNameSize];
    char procName[ExtProcSize];
    char templateName[ExtTemplateSize];
    int32_t fromLineNo = 0;
    int32_t toLineNo = 0;

    ExtensionRecord();  // blank texts, not ticked
    void read(const uint8_t* record);
    void write(uint8_t* record) const;
};

// Copies text into a fixed field: cut to its size, padded with spaces.
void setFixed(char* field, size_t size, std::string_view text);
// A fixed field without its trailing spaces.
std::string_view trimmed(const char* field, size_t size);
using platform::trimmedLength;

inline int32_t loadLong(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void storeLong(uint8_t* p, int32_t v) { std::memcpy(p, &v, 4); }

}  // namespace varnok::app
