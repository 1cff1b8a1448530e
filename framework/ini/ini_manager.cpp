#include "framework/ini/ini_manager.h"

#include <algorithm>
#include <string>

#include "framework/ini/sector_entry.h"
#include "framework/ini/text_assign.h"
#include "platform/profile.h"
#include "platform/registry_store.h"
#include "platform/trailing_spaces.h"
#include "runtime/records/record_reflection.h"

namespace varnok::framework {

namespace {

constexpr size_t ValueLimit = 1023;        // INI values read and written
constexpr size_t FieldValueLimit = 999;    // the value ReadField splits
constexpr size_t RecordValueLimit = 4999;  // a queue record's joined fields
constexpr size_t MaxQueueFields = 4;

using platform::withoutTrailingSpaces;

std::string_view cut(std::string_view s, size_t limit) { return s.size() > limit ? s.substr(0, limit) : s; }

// Holds the manager's lock for one scope; holds nothing once Destroy has
// freed it, and then says so.
class Held {
public:
    explicit Held(const std::unique_ptr<std::recursive_mutex>& lock) : lock_(lock.get()) {
        if (lock_) lock_->lock();
    }
    ~Held() {
        if (lock_) lock_->unlock();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    explicit operator bool() const { return lock_ != nullptr; }

private:
    std::recursive_mutex* lock_;
};

uint32_t rootKey(int32_t extraData) {
    return extraData == 0 ? platform::HkeyClassesRoot : static_cast<uint32_t>(extraData);
}

std::string keyPath(std::string_view fileName, std::string_view section) {
    if (fileName.empty()) return std::string(section);
    return std::string(fileName) + "\\" + std::string(section);
}

std::string numberedEntry(std::string_view entry, uint32_t i) {
    return std::string(entry) + "_" + std::to_string(i);
}

// 1-based position of the first comma at or after `start` (1-based), 0 when
// there is none.
size_t commaFrom(std::string_view value, size_t start) {
    if (start < 1 || start > value.size()) return 0;
    const size_t at = value.find(',', start - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

}  // namespace

IniManager::IniManager() : CritSect(std::make_unique<std::recursive_mutex>()) {}

IniManager::~IniManager() = default;

void IniManager::Destroy() {
    // Taking the lock first waits for an operation still in progress on
    // another thread; the caller promises that none starts afterwards.
    { Held held(CritSect); }
    CritSect.reset();
}

std::string IniManager::ReadEntry(std::string_view section, std::string_view entry, std::string_view defaultValue,
                                  std::string_view fileName) {
    Held held(CritSect);
    if (!held) return {};
    section = withoutTrailingSpaces(section);
    entry = withoutTrailingSpaces(entry);
    defaultValue = withoutTrailingSpaces(defaultValue);
    fileName = withoutTrailingSpaces(fileName);
    switch (NVType) {
    case 0: {
        std::string value = fileName.empty() ? platform::getProfileString(section, entry, defaultValue)
                                             : platform::getPrivateProfileString(section, entry, defaultValue, fileName);
        if (value.size() > ValueLimit) value.resize(ValueLimit);
        return value;
    }
    case 1: {
        std::optional<std::string> value =
            platform::readRegistryValue(rootKey(ExtraData), keyPath(fileName, section), entry);
        if (!value || value->empty()) return std::string(defaultValue);
        return std::move(*value);
    }
    default: return {};
    }
}

void IniManager::WriteEntry(std::string_view section, std::string_view entry, std::string_view value,
                            std::string_view fileName) {
    Held held(CritSect);
    if (!held) return;
    section = withoutTrailingSpaces(section);
    entry = withoutTrailingSpaces(entry);
    fileName = withoutTrailingSpaces(fileName);
    switch (NVType) {
    case 0: {
        const std::string_view text = cut(withoutTrailingSpaces(value), ValueLimit);
        if (fileName.empty()) platform::writeProfileString(section, entry, text);
        else platform::writePrivateProfileString(section, entry, text, fileName);
        break;
    }
    case 1:
        // The empty text deletes the value, in the key this write names.
        if (value.empty()) removeValue(section, entry, fileName);
        else platform::writeRegistryValue(rootKey(ExtraData), keyPath(fileName, section), entry, value);
        break;
    default: break;
    }
}

void IniManager::SectorsCreated() {}

void IniManager::BeforeRelease() {}

void IniManager::Init(std::string_view fileName, int32_t nvType, int32_t extraData) {
    Held held(CritSect);
    if (!held) return;
    ExtraData = extraData;
    NVType = nvType;
    FileName = std::string(cut(fileName, FileNameSize - 1));
    Sectors = std::make_unique<Queue>(sectorEntryLayout());
    SectorsCreated();
    LoadQueue(SectorsSection, SectorsEntry, Sectors->decl(), {SectorFamily, SectorItem, SectorType});
}

void IniManager::Release() {
    Held held(CritSect);
    if (!held || !Sectors) return;
    StoreQueue(SectorsSection, SectorsEntry, Sectors->decl(), {SectorFamily, SectorItem, SectorType});
    Sectors.reset();
}

std::string IniManager::ReadEntry(std::string_view section, std::string_view entry) {
    Held held(CritSect);
    if (!held) return {};
    return ReadEntry(section, entry, "", FileName);
}

void IniManager::WriteEntry(std::string_view section, std::string_view entry, std::string_view value) {
    Held held(CritSect);
    if (!held) return;
    WriteEntry(section, entry, value, FileName);
}

void IniManager::ReadInto(std::string_view section, std::string_view entry, int32_t& variable) {
    Held held(CritSect);
    if (!held) return;
    variable = textAsLong(ReadEntry(section, entry, std::to_string(variable), FileName));
}

void IniManager::ReadInto(std::string_view section, std::string_view entry, std::string& variable) {
    Held held(CritSect);
    if (!held) return;
    variable = ReadEntry(section, entry, variable, FileName);
}

void IniManager::ReadInto(std::string_view section, std::string_view entry, const RecordLayout& layout,
                          uint8_t* record, int field) {
    Held held(CritSect);
    if (!held || !record || !layout.field(field)) return;
    const std::string current = reflectFieldValue(layout, record, field);
    assignFieldText(layout, record, field, ReadEntry(section, entry, current, FileName));
}

void IniManager::RemoveEntry(std::string_view section, std::string_view entry) {
    Held held(CritSect);
    if (!held) return;
    removeValue(withoutTrailingSpaces(section), withoutTrailingSpaces(entry), withoutTrailingSpaces(FileName));
}

void IniManager::removeValue(std::string_view section, std::string_view entry, std::string_view fileName) {
    switch (NVType) {
    case 0:
        if (fileName.empty()) platform::writeProfileString(section, entry, std::nullopt);
        else platform::writePrivateProfileString(section, entry, std::nullopt, fileName);
        break;
    case 1: platform::deleteRegistryValue(rootKey(ExtraData), keyPath(fileName, section), entry); break;
    default: break;
    }
}

std::string IniManager::ReadField(std::string_view section, std::string_view entry, int32_t n) {
    Held held(CritSect);
    if (!held) return {};
    const std::string whole = ReadEntry(section, entry, UnknownField, FileName);
    const std::string_view value = cut(whole, FieldValueLimit);
    size_t start = 1;
    for (int32_t i = 1; i < n; ++i) start = commaFrom(value, start) + 1;
    const size_t comma = commaFrom(value, start);
    const size_t end = comma != 0 ? comma - 1 : value.size();
    if (start > end) return {};
    return std::string(value.substr(start - 1, end - start + 1));
}

bool IniManager::validFields(const QueueDecl* queue, std::span<const int> fields) const {
    if (!queue || !queue->layout || !queue->buffer || fields.empty() || fields.size() > MaxQueueFields) return false;
    if (queue->recordSize < queue->layout->size()) return false;
    return std::all_of(fields.begin(), fields.end(), [&](int f) { return queue->layout->field(f) != nullptr; });
}

void IniManager::LoadQueue(std::string_view section, std::string_view entry, QueueDecl* queue,
                           std::span<const int> fields) {
    Held held(CritSect);
    if (!held || !validFields(queue, fields)) return;
    const int32_t count = textAsLong(ReadEntry(section, entry));
    for (int32_t i = 1; i <= count; ++i) {
        const std::string key = numberedEntry(entry, uint32_t(i));
        for (size_t k = 0; k < fields.size(); ++k)
            assignFieldText(*queue->layout, queue->buffer, fields[k], ReadField(section, key, int32_t(k + 1)));
        ADD(queue);
    }
}

void IniManager::StoreQueue(std::string_view section, std::string_view entry, QueueDecl* queue,
                            std::span<const int> fields) {
    Held held(CritSect);
    if (!held || !validFields(queue, fields)) return;
    const uint32_t count = RECORDS(queue);
    // The count goes in first only when it does not grow: a store cut short
    // (the process ends half-way) then leaves a count that never exceeds
    // the records already written, so a later load never reads records that
    // are not there. A growing count follows its records.
    const int32_t stored = std::max<int32_t>(textAsLong(ReadEntry(section, entry)), 0);
    const uint32_t first = std::min<uint32_t>(uint32_t(stored), count);
    WriteEntry(section, entry, std::to_string(first));
    for (uint32_t i = 1; i <= count; ++i) {
        GET(queue, int32_t(i));
        std::string value;
        for (size_t k = 0; k < fields.size(); ++k) {
            if (k > 0) value += ',';
            value += reflectFieldValue(*queue->layout, queue->buffer, fields[k]);
        }
        WriteEntry(section, numberedEntry(entry, i), cut(value, RecordValueLimit));
    }
    if (first != count) WriteEntry(section, entry, std::to_string(count));
}

void IniManager::ReadPlacement(std::string_view section, WindowPlacement& placement) {
    Held held(CritSect);
    if (!held) return;
    const std::string maximize = ReadEntry(section, "Maximize");
    if (maximize == "No") {
        placement.Maximized = 0;
    } else if (maximize == "Yes") {
        placement.Maximized = 1;
    } else {
        placement.Got = 0;
        return;
    }
    placement.Minimized = ReadEntry(section, "Minimize") == "Yes" ? 1 : 0;
    placement.X = placement.Y = placement.W = placement.H = window::NoValue;
    ReadInto(section, "XPos", placement.X);
    ReadInto(section, "YPos", placement.Y);
    ReadInto(section, "Width", placement.W);
    ReadInto(section, "Height", placement.H);
    placement.Got = 1;
}

void IniManager::WritePlacement(std::string_view section, const WindowPlacement& placement) {
    Held held(CritSect);
    if (!held) return;
    WriteEntry(section, "Maximize", placement.Maximized ? "Yes" : "No");
    WriteEntry(section, "Minimize", placement.Minimized ? "Yes" : "No");
    const std::pair<std::string_view, int32_t> sizes[] = {
        {"XPos", placement.X}, {"YPos", placement.Y}, {"Width", placement.W}, {"Height", placement.H}};
    for (const auto& [key, value] : sizes) {
        if (value == window::NoValue) RemoveEntry(section, key);
        else WriteEntry(section, key, std::to_string(value));
    }
}

void IniManager::RestoreWindow(std::string_view procedureName, window::Window& window) {
    Held held(CritSect);
    if (!held) return;
    WindowPlacement p;
    ReadPlacement(procedureName, p);
    if (!p.Got) return;
    const bool wasMaximized = window.propertyFlag(0, window::prop::Maximize);
    if (!p.Maximized && wasMaximized) window.setProperty(0, window::prop::Maximize, 0);
    window.setProperty(0, window::prop::Xpos, p.X);
    window.setProperty(0, window::prop::Ypos, p.Y);
    if (!window.property(0, window::prop::Resize).empty()) {
        if (p.W != window::NoValue) window.setProperty(0, window::prop::Width, p.W);
        if (p.H != window::NoValue) window.setProperty(0, window::prop::Height, p.H);
    }
    if (p.Maximized && !wasMaximized) window.setProperty(0, window::prop::Maximize, 1);
    window.setProperty(0, window::prop::Iconize, int32_t(p.Minimized));
}

void IniManager::SaveWindow(std::string_view procedureName, window::Window& window) {
    Held held(CritSect);
    if (!held) return;
    WindowPlacement p;
    p.Maximized = window.propertyFlag(0, window::prop::Maximize) ? 1 : 0;
    p.Minimized = window.propertyFlag(0, window::prop::Iconize) ? 1 : 0;
    if (!p.Maximized && !p.Minimized) {
        p.X = window.propertyNumber(0, window::prop::Xpos);
        p.Y = window.propertyNumber(0, window::prop::Ypos);
        if (!window.property(0, window::prop::Resize).empty()) {
            p.W = window.propertyNumber(0, window::prop::Width);
            p.H = window.propertyNumber(0, window::prop::Height);
        }
    }
    WritePlacement(procedureName, p);
}

IniManager& iniManager() {
    static IniManager manager;
    return manager;
}

}  // namespace varnok::framework
