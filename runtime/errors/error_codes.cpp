#include "runtime/errors/error_codes.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/trailing_spaces.h"
#include "runtime/errors/fatal_error.h"
#include "runtime/support/per_thread.h"

namespace varnok {

namespace {

struct ErrorText {
    int32_t code;
    const char* text;
};

// The compiled-in string table, sorted by code.
constexpr ErrorText kErrorTable[] = {
    {2, "File Not Found"},
    {3, "Path Not Found"},
    {4, "Too Many Open Files"},
    {5, "Access Denied"},
    {7, "Memory Corrupted"},
    {8, "Insufficient Memory"},
    {15, "Bad drive"},
    {30, "Entry Not Found"},
    {32, "File Is Already Locked"},
    {33, "Record Not Available"},
    {35, "Record Not Found"},
    {36, "Invalid Data File"},
    {37, "File Not Open"},
    {38, "Invalid Key File"},
    {40, "Creates Duplicate Key"},
    {43, "Record Is Already Held"},
    {45, "Invalid Filename"},
    {46, "Key File Must Be Rebuilt"},
    {47, "Invalid Record Declaration"},
    {48, "Unable To Log Transaction"},
    {52, "File Already Open"},
    {53, "Invalid Orvane File"},
    {54, "No Create Attribute"},
    {55, "File Must Be Shared"},
    {56, "LOGOUT Already Active"},
    {57, "Invalid Memo File"},
    {63, "Exclusive Access Required"},
    {64, "Sharing Violation"},
    {65, "Unable To ROLLBACK Transaction"},
    {73, "Memo File Missing"},
    {75, "Invalid Field Type Descriptor"},
    {76, "Invalid Index String"},
    {77, "Unable To Access Index"},
    {78, "Invalid Number Of Parameters"},
    {79, "Unsupported Data Type In File"},
    {80, "Unsupported File Driver Function"},
    {81, "Unknown Error Posted"},
    {88, "Invalid Key Length"},
    {89, "Record Changed By Another Station"},
    {90, "File System Error"},
    {91, "LOGOUT Not Active"},
    {92, "BUILD In Progress"},
    {93, "BUILD Cancelled"},
    {95, "Server Not Found"},
    {96, "Remote Object Not Found"},
    {97, "Stream Error"},
    {99, "Bad Error"},
    {100, "Trigger Error"},
    {301, "Invalid Function"},
    {302, "File Not Found"},
    {303, "Path Not Found"},
    {304, "Too Many Open Files"},
    {305, "Access Denied"},
    {306, "Invalid Handle"},
    {307, "Memory Corrupted"},
    {308, "Insufficient Memory"},
    {309, "Invalid Memory Block"},
    {310, "Invalid Environment"},
    {311, "Invalid Format"},
    {312, "Invalid Access"},
    {313, "Invalid Data"},
    {315, "Invalid Drive"},
    {316, "Invalid Operation For Current Directory"},
    {317, "Not Same Device"},
    {318, "No More Files"},
    {319, "Write Protect"},
    {320, "Invalid Unit"},
    {321, "Device Not Ready"},
    {322, "Invalid Command"},
    {323, "Media Checksum Failed"},
    {324, "Invalid Length"},
    {325, "Seek Location Inaccessible"},
    {326, "Not DOS Disk"},
    {327, "Sector Not Found"},
    {328, "Out Of Paper"},
    {329, "Write Fault"},
    {330, "Read Fault"},
    {331, "General Failure"},
    {332, "Sharing Violation"},
    {333, "Lock Violation"},
    {334, "Wrong Disk"},
    {335, "FCB Unavailable"},
    {336, "Sharing Buffer Exceeded"},
    {337, "Code Page Mismatched"},
    {338, "Handle EOF"},
    {339, "Handle Disk Full"},
    {350, "Not Supported "},
    {351, "REM Not List"},
    {352, "Duplicate Name Encountered"},
    {353, "Invalid Network Path"},
    {354, "Network Busy"},
    {355, "Device Does Not Exist"},
    {356, "Too Many Commands"},
    {357, "Adapter/Hardware Failure"},
    {358, "Invalid Network Response"},
    {359, "Unexpected Network Error"},
    {360, "Invalid REM Adapter"},
    {361, "Print Queue Full"},
    {362, "No Spool Space"},
    {363, "Print Cancelled"},
    {364, "Network Name Deleted"},
    {365, "Network Access Denied"},
    {366, "Invalid Device Type"},
    {367, "Invalid Network Name"},
    {368, "Too Many Names"},
    {369, "Too Many Sessions"},
    {370, "Sharing Paused"},
    {371, "Request Not Accepted"},
    {372, "Network Redirection Paused"},
    {380, "File Already Exists"},
    {381, "Duplicate FCB"},
    {382, "Cannot Make"},
    {383, "Fail Critical Error"},
    {384, "Out Of Structures"},
    {385, "Already Assigned"},
    {386, "Invalid Password"},
    {387, "Invalid Parameter"},
    {388, "Network Write Fault"},
    {390, "System Component Not Loaded"},
    {391, "Unknown Error"},
    {401, "Stack overflow"},
    {402, "Null pointer de-reference"},
    {403, "Termination caused by signal.  (User break or Floating point)"},
    {404, "Arithmetic Overflow"},
    {405, "Variable out of range"},
    {406, "No return value from function"},
    {407, "No matching Case Label"},
    {408, "Long Integer Divide By Zero"},
    {409, "Index out of range"},
    {410, "Pure Virtual Function Called"},
    {411, "Recursive call into initialization of static data"},
    {412, "Context fault on initialization of static data"},
    {501, "Internal error 01"},
    {502, "Internal error 02"},
    {503, "Internal error 03"},
    {504, "Internal error 04"},
    {505, "Internal error 05"},
    {506, "Internal error 06"},
    {507, "Internal error 07"},
    {508, "Internal error 08"},
    {509, "Internal error 09"},
    {510, "Internal error 10"},
    {511, "Internal error 11"},
    {512, "Internal error 12"},
    {513, "Internal error 13"},
    {514, "Internal error 14"},
    {515, "Internal error 15"},
    {520, "The legacy control-extension library does not match this runtime"},
    {521, "VBX control is too complex"},
    {522, "Event posted to a report control"},
    {523, "Metafile record too large in report"},
    {524, "Unexpected error opening printer device"},
    {525, "Report is already open"},
    {526, "Unable to open APPLICATION (APPLICATION already active)"},
    {527, "Unable to open APPLICATION (system is MODAL)"},
    {528, "Unable to open APPLICATION"},
    {529, "Unable to open WINDOW"},
    {530, "Unable to open MDI window (No APPLICATION active)"},
    {531, "Unable to open MDI window (system is MODAL)"},
    {532, "Unable to open MDI window on APPLICATION's thread"},
    {533, "Unable to open MDI WINDOW"},
    {534, "Too many keystrokes PRESSed"},
    {535, "Window is already open"},
    {536, "Window is not open"},
    {537, "ACCEPT loop requires a window"},
    {538, "PRINT must only be called for reports"},
    {539, "ENDPAGE must only be called for reports"},
    {540, "Unable to process ACCEPT (system is MODAL)"},
    {541, "Unable to create control (system is MODAL)"},
    {542, "Unable to complete operation (system is MODAL)"},
    {543, "Slider controls are only available in 32-bit programs"},
    {544, "Too Many VBX Hooks"},
    {545, "Attempt to execute a modal event for not current thread"},
    {601, "Invalid DDE channel"},
    {602, "DDE channel is not open"},
    {603, "DDEexecute - invalid command"},
    {604, "DDEpoke - invalid command"},
    {605, "DDE transaction timed out"},
    {1010, "Invalid expression for EVALUATE"},
    {1011, "BIND has not been called for"},
    {1012, "Mismatched PUSHBIND/POPBIND"},
    {1013, "No evaluator exists"},
    {1014, "Unknown evaluation context"},};

constexpr size_t kFileCodeSize = 80;
constexpr size_t kFileTextSize = 256;

struct ErrorState {
    int32_t code = 0;
    std::string fileCode = std::string(kFileCodeSize, ' ');  // blank-padded
    std::string fileText = std::string(kFileTextSize, ' ');  // blank-padded
    bool textsBlank = true;  // both texts hold only blanks (clearing them again is skipped)
};

PerThread<ErrorState>& threadStates() {
    static PerThread<ErrorState> states;
    return states;
}

ErrorState& state() {
    PerThread<ErrorState>& states = threadStates();
    if (ErrorState* mine = states.find()) return *mine;
    try {
        ErrorState& made = states.get();
        tErrorSurelyClear = true;
        tErrorStateClean = true;
        return made;
    } catch (const std::bad_alloc&) {
        // Without a state there is nowhere to post this failure.
        fatalRuntimeError(InsufficientMemoryErr, "the thread's error state cannot be made");
    }
}

const char* skipBlanks(const char* s) {
    while (*s == ' ') ++s;
    return s;
}

std::string padded(std::string text, size_t size) {
    if (text.size() > size) text.resize(size);
    text.resize(size, ' ');
    return text;
}

}  // namespace

const char* errorTableText(int32_t code) {
    auto it = std::lower_bound(std::begin(kErrorTable), std::end(kErrorTable), code,
                               [](const ErrorText& e, int32_t c) { return e.code < c; });
    if (it == std::end(kErrorTable) || it->code != code) return nullptr;
    return it->text;
}

void postError(int32_t code) {
    ErrorState& s = state();
    s.code = code;
    tErrorSurelyClear = code == 0;
    tErrorStateClean = code == 0 && s.textsBlank;
}

void postFileError(const char* codeText, const char* messageText) {
    ErrorState& s = state();
    std::string code = codeText ? std::string(skipBlanks(codeText)) : std::string();
    if (code.size() > kFileCodeSize) code.resize(kFileCodeSize);
    s.fileCode = padded(code, kFileCodeSize);
    std::string text;
    if (messageText) {
        text = skipBlanks(messageText);
        if (text.size() > kFileTextSize - 1) text.resize(kFileTextSize - 1);
    } else {
        text = std::string(errorTableText(FileSystemErr)) + " : " + code;
    }
    s.fileText = padded(text, kFileTextSize);
    s.textsBlank = false;
    tErrorStateClean = false;
}

int32_t errorCode() { return state().code; }

std::string errorText(int32_t code) {
    if (!threadStates().find()) return std::string();
    std::string text;
    if (const char* t = errorTableText(code)) {
        text = t;
    } else {
        text = std::string(errorTableText(UnknownErrorPostedErr)) + " : " + std::to_string(code);
    }
    if (text.size() > kFileTextSize) text.resize(kFileTextSize);
    return text;
}

std::string errorText() {
    const ErrorState* mine = threadStates().find();
    return mine ? errorText(mine->code) : std::string();
}

std::string fileErrorCode() { return std::string(platform::withoutTrailingSpaces(state().fileCode)); }

std::string fileErrorText() { return std::string(platform::withoutTrailingSpaces(state().fileText)); }

void clearErrorSlowly() {
    ErrorState& s = state();
    s.code = 0;
    tErrorSurelyClear = true;
    if (!s.textsBlank) {
        s.fileCode.assign(kFileCodeSize, ' ');
        s.fileText.assign(kFileTextSize, ' ');
        s.textsBlank = true;
    }
    tErrorStateClean = true;
}

}  // namespace varnok
