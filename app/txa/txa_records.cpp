#include "app/txa/txa_records.h"

#include <algorithm>

namespace varnok::app {

RecordLayout lineLayout() { return RecordLayoutBuilder().string("Lyn", LineSize).build(); }

RecordLayout extensionLayout() {
    return RecordLayoutBuilder()
        .byte("RemoveThis")
        .longField("REM:Icon")
        .string("ExtensionName", ExtNameSize)
        .string("ProcName", ExtProcSize)
        .string("Template", ExtTemplateSize)
        .longField("FromLineNo")
        .longField("ToLineNo")
        .build();
}

ExtensionRecord::ExtensionRecord() {
    std::memset(extensionName, ' ', sizeof extensionName);
    std::memset(procName, ' ', sizeof procName);
    std::memset(templateName, ' ', sizeof templateName);
}

void ExtensionRecord::read(const uint8_t* r) {
    removeThis = r[ExtRemoveThisOffset];
    icon = loadLong(r + ExtIconOffset);
    std::memcpy(extensionName, r + ExtNameOffset, ExtNameSize);
    std::memcpy(procName, r + ExtProcOffset, ExtProcSize);
    std::memcpy(templateName, r + ExtTemplateOffset, ExtTemplateSize);
    fromLineNo = loadLong(r + ExtFromOffset);
    toLineNo = loadLong(r + ExtToOffset);
}

void ExtensionRecord::write(uint8_t* r) const {
    r[ExtRemoveThisOffset] = removeThis;
    storeLong(r + ExtIconOffset, icon);
    std::memcpy(r + ExtNameOffset, extensionName, ExtNameSize);
    std::memcpy(r + ExtProcOffset, procName, ExtProcSize);
    std::memcpy(r + ExtTemplateOffset, templateName, ExtTemplateSize);
    storeLong(r + ExtFromOffset, fromLineNo);
    storeLong(r + ExtToOffset, toLineNo);
}

void setFixed(char* field, size_t size, std::string_view text) {
    size_t n = std::min(size, text.size());
    std::memcpy(field, text.data(), n);
    std::memset(field + n, ' ', size - n);
}

std::string_view trimmed(const char* field, size_t size) {
    return std::string_view(field, trimmedLength(reinterpret_cast<const uint8_t*>(field), size));
}

}  // namespace varnok::app
