// Declaration errors of file structures defined at run time, field by field.
// Each error is named by a phase ('S' while the structure is being set up,
// 'D' while it is matched against the driver), a category and a message
// index from 0. It has the number base + index + 1, where the base is
// 100000 + 10000 * category for phase S and 200000 + 10000 * category for
// phase D. Its text is the built-in message, replaced by the program's own
// message under that number when there is one; an unknown category or an
// index past the category's list gives "Unknown Error".
//
// Reporting records the message as the current error's text, the detail line
// "CATEGORY : item : label : S00002" as its code text, and posts error 47.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace varnok::textfile {

enum DeclarationCategory : int {
    DeclSystem = 0,
    DeclFile = 1,
    DeclField = 2,
    DeclMemoBlob = 3,
    DeclKey = 4,
    DeclComponent = 5,
};

inline constexpr char DeclSetupPhase = 'S';
inline constexpr char DeclDriverPhase = 'D';

struct DeclarationError {
    int32_t number = 0;     // 0 for an unknown phase or category
    std::string message;
    std::string detail;
};

// "SYSTEM", "FILE", "FIELD", "MEMO/BLOB", "KEY", "COMPONENT"; else "UNKNOWN".
const char* declarationCategoryName(int category);

// The built-in message, or nullptr past the list (or for an unknown phase or
// category).
const char* builtInDeclarationMessage(char phase, int category, int index);

// Describes an error without posting it. `item` is the number of the field,
// key or component concerned and `label` its label.
DeclarationError describeDeclarationError(char phase, int category, int index, int item,
                                          const std::string& label);

// Posts the error (see above) and returns 47.
int32_t reportDeclarationError(char phase, int category, int index, int item,
                               const std::string& label);

// The program's message lookup by number; nullopt when it holds none. By
// default the runtime's message overrides (runtime/locale.h) are asked.
using MessageLookup = std::function<std::optional<std::string>(int32_t number)>;
// Installs a lookup and returns the previous one (an empty one restores the
// default).
MessageLookup setDeclarationMessageLookup(MessageLookup lookup);

}  // namespace varnok::textfile
