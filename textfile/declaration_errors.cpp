#include "textfile/declaration_errors.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>

#include "runtime/errors/error_codes.h"
#include "runtime/locale/locale.h"

namespace varnok::textfile {

namespace {

constexpr const char* kUnknown = "Unknown Error";

// Setup phase.
constexpr const char* kSetupSystem[] = {
    "Internal Error:  Property cannot be set",
    "Dynamic File Support Not Found",
};
constexpr const char* kSetupFile[] = {
    "No File Driver Specified",
    "File Driver could not be loaded",
    "The DLL is not a valid file driver",
    "File Driver not defined",
    "The record structure is greater than 4,194,304 bytes in size",
};
constexpr const char* kSetupField[] = {
    "Not a Valid Orvane Label",
    "Duplicate Label",
    "No Type Specified",
    "Type requires a size and no size specified",
    "The Group has more fields than has been defined",
    "More Decimal Places than specified size",
    "Size is too big",
    "Field Count not specified for a GROUP field",
    "Field must be over a field defined before the field",
    "The Group is greater than 4,194,304 bytes in size",
    "The Field is greater than 4,190,208 bytes in size",
    "Field is larger than the field that it is over",
    "Invalid Picture",
    "Field cannot be over a field inside another GROUP",
};
constexpr const char* kSetupBlob[] = {
    "Not a Valid Orvane Label",
    "Duplicate Label",
    "No Size Specified for a MEMO",
};
// The quotation marks around KEY are the Windows-1252 bytes 145 and 146.
constexpr const char* kSetupKey[] = {
    "Not a Valid Orvane Label",
    "Duplicate Label",
    "Type set to \x91KEY\x92, but no fields specified",
    "Key is defined as PRIMARY and DUP",
};
constexpr const char* kSetupComponent[] = {
    "Component number is greater than the number of fields in the file structure",
    "Component is a dimmensioned field",
};

// Driver phase.
constexpr const char* kMismatch = "Component does not match physical file structure";
constexpr const char* kDriverFile[] = {kMismatch};
constexpr const char* kDriverField[] = {
    "No Name or Label Specified",
    "Data type not supported",
    "Number of dimensions is greater than that supported by the file driver",
    "Field is larger than the maximum supported by the file driver",
    kMismatch,
};
constexpr const char* kDriverBlob[] = {
    "No Name or Label Specified",
    "Too Many Memos defined",
    "Memo is larger than the maximum size supported by the file driver",
    "Driver does not support BLOBs",
    "Driver does not support MEMOs",
    "Driver does not support BINARY memos or blobs",
    kMismatch,
};
constexpr const char* kDriverKey[] = {
    "No Name or Label Specified",
    "Too Many Keys defined",
    kMismatch,
};
constexpr const char* kDriverComponent[] = {
    kMismatch,
    "Driver does not support Descending Key Components",
    "Driver does not support mixed Ascending and Descending Key Components",
};

using List = std::span<const char* const>;
const std::array<List, 6> kSetupLists = {kSetupSystem, kSetupFile, kSetupField,
                                         kSetupBlob, kSetupKey, kSetupComponent};
const std::array<List, 6> kDriverLists = {kSetupSystem, kDriverFile, kDriverField,
                                          kDriverBlob, kDriverKey, kDriverComponent};

constexpr const char* kCategoryNames[] = {"SYSTEM", "FILE", "FIELD", "MEMO/BLOB", "KEY", "COMPONENT"};

bool knownCategory(int category) { return category >= 0 && category < 6; }
bool knownPhase(char phase) { return phase == DeclSetupPhase || phase == DeclDriverPhase; }

std::mutex lookupMutex;
MessageLookup& lookupSlot() {
    static MessageLookup lookup;
    return lookup;
}

}  // namespace

const char* declarationCategoryName(int category) {
    return knownCategory(category) ? kCategoryNames[category] : "UNKNOWN";
}

const char* builtInDeclarationMessage(char phase, int category, int index) {
    if (!knownPhase(phase) || !knownCategory(category) || index < 0) return nullptr;
    List list = (phase == DeclSetupPhase ? kSetupLists : kDriverLists)[static_cast<size_t>(category)];
    if (static_cast<size_t>(index) >= list.size()) return nullptr;
    return list[static_cast<size_t>(index)];
}

MessageLookup setDeclarationMessageLookup(MessageLookup lookup) {
    std::lock_guard<std::mutex> guard(lookupMutex);
    MessageLookup previous = std::move(lookupSlot());
    lookupSlot() = std::move(lookup);
    return previous;
}

DeclarationError describeDeclarationError(char phase, int category, int index, int item,
                                          const std::string& label) {
    DeclarationError e;
    const char* builtIn = builtInDeclarationMessage(phase, category, index);
    e.message = builtIn ? builtIn : kUnknown;
    if (knownPhase(phase) && knownCategory(category)) {
        int64_t base = (phase == DeclSetupPhase ? 100000 : 200000) + 10000 * category;
        int64_t number = base + static_cast<int64_t>(index) + 1;
        e.number = number > 0 && number <= INT32_MAX ? static_cast<int32_t>(number) : 0;
        MessageLookup lookup;
        {
            std::lock_guard<std::mutex> guard(lookupMutex);
            lookup = lookupSlot();
        }
        if (e.number != 0) {
            std::optional<std::string> own = lookup ? lookup(e.number) : messageOverride(e.number);
            if (own) e.message = *own;
        }
    }
    // "%s : %d : %s : %s%05d"
    char code[32];
    std::snprintf(code, sizeof code, "%c%05lld", phase, static_cast<long long>(index) + 1);
    e.detail = std::string(declarationCategoryName(category)) + " : " + std::to_string(item) +
               " : " + label + " : " + code;
    return e;
}

int32_t reportDeclarationError(char phase, int category, int index, int item,
                               const std::string& label) {
    DeclarationError e = describeDeclarationError(phase, category, index, item, label);
    postFileError(e.detail.c_str(), e.message.c_str());
    postError(InvalidRecordDeclarationErr);
    return InvalidRecordDeclarationErr;
}

}  // namespace varnok::textfile
