// IniManager: the framework's one access path to persistent settings, named
// entries in sections, kept in an INI file (NVType 0), in the registry
// stand-in (NVType 1, platform/registry_store.h) or nowhere (NVType 2: reads
// give the empty text, writes do nothing). On top of plain reads and writes:
// comma-separated fields, whole queues stored as numbered entries, and a
// window's placement under a section named after its procedure.
//
// INI files: a name without a folder ("varnok.INI") lives in the folder of
// the default profile, a name with one (".\remtxa.ini") is a path; "\"
// separators read as "/" (platform/profile.h, resolveProfilePath). The empty
// name is the default profile itself.
//
// Registry: the key is FileName, "\" and the section (the section alone when
// FileName is empty), under the root key ExtraData (0: HKEY_CLASSES_ROOT);
// entries are string values, and writing the empty text deletes the value.
//
// Failures of the store are not reported: a read that fails gives the
// default, a write that fails is lost. Texts are cut: INI values read or
// written to 1023 characters, ReadField's value to 999, a queue record's
// joined fields to 4999, FileName to 259.
//
// Every operation holds CritSect, a re-entrant lock (queue loading and
// placement reading call ReadEntry while holding it). Destroy() frees the
// lock; after it every operation does nothing and reads give the empty text.
//
// A derived manager that overrides the virtual ReadEntry or WriteEntry
// hides the shorter overloads of the same name; bring them back with
// `using IniManager::ReadEntry;`.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "framework/ini/window_placement.h"
#include "runtime/queue/queue.h"
#include "window/window_layer.h"

namespace varnok::framework {

class IniManager {
public:
    static constexpr size_t FileNameSize = 260;  // zero-terminated: 259 characters
    // The section and entry of the Sectors queue.
    static constexpr std::string_view SectorsSection = "__Dont_Touch_Me__";
    static constexpr std::string_view SectorsEntry = "Sectors";
    // What ReadField gives for a missing entry.
    static constexpr std::string_view UnknownField = "---Unknown---";

    // Creates the lock; every other field is empty or 0.
    IniManager();
    virtual ~IniManager();
    IniManager(const IniManager&) = delete;
    IniManager& operator=(const IniManager&) = delete;

    // Fields, in this order.
    std::string FileName;            // INI file name or registry key prefix
    std::unique_ptr<Queue> Sectors;  // SectorEntry records (sector_entry.h); exists from Init to Release
    int32_t NVType = 0;              // 0 INI file, 1 registry, 2 (or other) nowhere
    int32_t ExtraData = 0;           // registry root key; 0 is HKEY_CLASSES_ROOT
    std::unique_ptr<std::recursive_mutex> CritSect;

    // Virtual operations, in slot order.
    // 1. Frees the lock (see above).
    virtual void Destroy();
    // 2. The entry's text; `defaultValue` when it is missing (NVType 1: also
    //    when it is empty).
    virtual std::string ReadEntry(std::string_view section, std::string_view entry, std::string_view defaultValue,
                                  std::string_view fileName);
    // 3. Stores the entry (NVType 1: the empty text deletes it).
    virtual void WriteEntry(std::string_view section, std::string_view entry, std::string_view value,
                            std::string_view fileName);
    // 4. Called by Init right after Sectors is created. Does nothing.
    virtual void SectorsCreated();
    // 5. Called by the program right before Release at its end. Does nothing.
    virtual void BeforeRelease();

    // Sets ExtraData, NVType and FileName, creates Sectors (replacing one a
    // previous Init left), calls SectorsCreated and loads Sectors from
    // "__Dont_Touch_Me__".
    void Init(std::string_view fileName, int32_t nvType = 0, int32_t extraData = 0);
    // Stores Sectors (at least the entry "Sectors" with its count) and
    // disposes of it; nothing when there is no Sectors.
    void Release();

    std::string ReadEntry(std::string_view section, std::string_view entry);
    void WriteEntry(std::string_view section, std::string_view entry, std::string_view value);
    // Reads the entry with the variable's current value as the default and
    // assigns the result with the usual conversion (text_assign.h): a missing
    // entry leaves the variable as it was.
    void ReadInto(std::string_view section, std::string_view entry, int32_t& variable);
    void ReadInto(std::string_view section, std::string_view entry, std::string& variable);
    void ReadInto(std::string_view section, std::string_view entry, const RecordLayout& layout, uint8_t* record,
                  int field);
    void RemoveEntry(std::string_view section, std::string_view entry);
    // Field n of the entry's comma-separated value (1-based). A search for a
    // comma that finds none starts the next one over at the first character,
    // so field 3 of "a,b" is "a"; a missing entry gives "---Unknown---".
    std::string ReadField(std::string_view section, std::string_view entry, int32_t n);

    // A queue as the entry (the record count) and entries "<entry>_1",
    // "<entry>_2", ... each holding the given fields (1 to 4 field numbers of
    // the queue's record, in stored order) joined by commas. LoadQueue
    // appends what it reads; a comma inside a field splits it on reading.
    // A missing queue or a field list that is empty, longer than 4 or names
    // a field the record lacks makes either do nothing.
    void LoadQueue(std::string_view section, std::string_view entry, QueueDecl* queue,
                   std::span<const int> fields);
    void LoadQueue(std::string_view section, std::string_view entry, QueueDecl* queue,
                   std::initializer_list<int> fields) {
        LoadQueue(section, entry, queue, std::span<const int>(fields.begin(), fields.size()));
    }
    void StoreQueue(std::string_view section, std::string_view entry, QueueDecl* queue,
                    std::span<const int> fields);
    void StoreQueue(std::string_view section, std::string_view entry, QueueDecl* queue,
                    std::initializer_list<int> fields) {
        StoreQueue(section, entry, queue, std::span<const int>(fields.begin(), fields.size()));
    }

    // The placement under the section: "Maximize" and "Minimize" ("Yes" or
    // "No"), "XPos", "YPos", "Width", "Height" (signed decimal, absent for
    // NoValue). A section without "Maximize" of "Yes" or "No" reads with Got
    // 0 and the other fields unchanged.
    void ReadPlacement(std::string_view section, WindowPlacement& placement);
    void WritePlacement(std::string_view section, const WindowPlacement& placement);
    // Gives an open window the placement stored for its procedure, through
    // its properties: un-maximizes it first when the stored state is not
    // maximized, moves it (NoValue passes through to Xpos and Ypos as read),
    // sizes it when it is resizable and the size is known, maximizes it
    // when stored so, and sets its Iconize flag as stored.
    void RestoreWindow(std::string_view procedureName, window::Window& window);
    // Stores a window's state; its position only when it is neither
    // maximized nor minimized, its size only then and when it is resizable.
    void SaveWindow(std::string_view procedureName, window::Window& window);

private:
    void removeValue(std::string_view section, std::string_view entry, std::string_view fileName);
    bool validFields(const QueueDecl* queue, std::span<const int> fields) const;
};

// The program's one IniManager, constructed on first use.
IniManager& iniManager();

}  // namespace varnok::framework
