#include "framework/errors/error_records.h"

#include <cstring>

#include "runtime/records/raw_field.h"

namespace varnok::framework {

namespace {

// Offsets of the fields, in declaration order.
constexpr uint32_t EntryId = 0;
constexpr uint32_t EntryMessage = 4;
constexpr uint32_t EntryTitle = 20;
constexpr uint32_t EntryFatality = 36;
constexpr uint32_t EntryCategory = 37;
constexpr uint32_t ReferenceSize = 16;

constexpr uint32_t HistCategory = 0;
constexpr uint32_t HistTxt = CategorySize;
constexpr uint32_t HistId = HistTxt + HistoryTextSize;

constexpr uint32_t ProcThread = 0;
constexpr uint32_t ProcName = 4;

void writeFixed(uint8_t* field, uint32_t size, std::string_view text) {
    const size_t n = text.size() < size ? text.size() : size;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, ' ', size - n);
}

std::string readFixed(const uint8_t* field, uint32_t size) {
    uint32_t n = size;
    while (n > 0 && field[n - 1] == ' ') --n;
    return std::string(reinterpret_cast<const char*>(field), n);
}

void writeReference(uint8_t* field, std::string_view text) {
    storeRaw<uint64_t>(field, reinterpret_cast<uintptr_t>(text.data()));
    storeRaw<uint64_t>(field + 8, text.size());
}

std::string_view readReference(const uint8_t* field) {
    const auto* data = reinterpret_cast<const char*>(static_cast<uintptr_t>(loadRaw<uint64_t>(field)));
    const auto size = static_cast<size_t>(loadRaw<uint64_t>(field + 8));
    return data ? std::string_view(data, size) : std::string_view();
}

}  // namespace

RecordLayout errorEntryLayout() {
    return RecordLayoutBuilder()
        .longField("ID")
        .field(FieldType::Any, "Message", ReferenceSize)
        .field(FieldType::Any, "Title", ReferenceSize)
        .byte("Fatality")
        .string("Category", CategorySize)
        .build();
}

RecordLayout historyEntryLayout() {
    return RecordLayoutBuilder()
        .string("Category", CategorySize)
        .cstring("Txt", HistoryTextSize)
        .shortField("ID")
        .build();
}

RecordLayout procNameEntryLayout() {
    return RecordLayoutBuilder().longField("Thread").string("Name", ProcNameSize).build();
}

void ErrorEntryRecord::read(const uint8_t* r) {
    ID = loadRaw<int32_t>(r + EntryId);
    Message = readReference(r + EntryMessage);
    Title = readReference(r + EntryTitle);
    Fatality = r[EntryFatality];
    Category = readFixed(r + EntryCategory, CategorySize);
}

void ErrorEntryRecord::write(uint8_t* r) const {
    storeRaw<int32_t>(r + EntryId, ID);
    writeReference(r + EntryMessage, Message);
    writeReference(r + EntryTitle, Title);
    r[EntryFatality] = Fatality;
    writeFixed(r + EntryCategory, CategorySize, Category);
}

int32_t errorEntryId(const uint8_t* record) { return loadRaw<int32_t>(record + EntryId); }

void setErrorEntryCategory(uint8_t* record, std::string_view category) {
    writeFixed(record + EntryCategory, CategorySize, category);
}

void HistoryRecord::read(const uint8_t* r) {
    Category = readFixed(r + HistCategory, CategorySize);
    const auto* txt = reinterpret_cast<const char*>(r + HistTxt);
    Txt.assign(txt, strnlen(txt, HistoryTextSize - 1));
    ID = loadRaw<int16_t>(r + HistId);
}

void HistoryRecord::write(uint8_t* r) const {
    writeFixed(r + HistCategory, CategorySize, Category);
    const size_t n = Txt.size() < HistoryTextSize - 1 ? Txt.size() : HistoryTextSize - 1;
    std::memcpy(r + HistTxt, Txt.data(), n);
    std::memset(r + HistTxt + n, 0, HistoryTextSize - n);
    storeRaw<int16_t>(r + HistId, ID);
}

void ProcNameRecord::read(const uint8_t* r) {
    Thread = loadRaw<int32_t>(r + ProcThread);
    Name = readFixed(r + ProcName, ProcNameSize);
}

void ProcNameRecord::write(uint8_t* r) const {
    storeRaw<int32_t>(r + ProcThread, Thread);
    writeFixed(r + ProcName, ProcNameSize, Name);
}

}  // namespace varnok::framework
