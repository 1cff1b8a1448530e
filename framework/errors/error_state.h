// ErrorState: what the error manager knows about the message in hand on one
// thread. The caller fills the name texts before raising an error (they feed
// the macros %Field, %File, %Key and %Message); the manager captures the
// runtime's last error into the Save* fields and copies the entry it selected
// into ErrorBuffer. Every thread has its own instance, so captured texts, the
// current entry and the previous id never mix between threads.
//
// All fields form the one group V, so the manager can copy them in one go.
// A new state has every text empty, SaveErrorCode 0, SaveFileErrorCode "0",
// both ids 0 and fatality 0.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok::framework {

// A zero-terminated text field of 255 bytes: at most 254 characters.
constexpr size_t StateTextSize = 255;
using StateText = char[StateTextSize];

// Copies text into a state field, cut to 254 characters.
void setStateText(StateText& field, std::string_view text);

// The entry that is current: an owned copy of the message table's entry.
struct ErrorBufferGroup {
    int32_t ID = 0;
    std::string Message;
    std::string Title;
    uint8_t Fatality = 0;
    std::string Category;
};

struct ErrorState {
    struct Group {
        StateText FieldName = {};
        StateText FileName = {};
        StateText KeyName = {};
        StateText MessageText = {};
        StateText SaveError = {};
        int32_t SaveErrorCode = 0;
        StateText SaveFileError = {};
        StateText SaveFileErrorCode = {'0'};
        ErrorBufferGroup ErrorBuffer;
        int32_t PrevErrorID = 0;
    } V;

    // The texts a caller sets before raising an error.
    void setFieldName(std::string_view text) { setStateText(V.FieldName, text); }
    void setFileName(std::string_view text) { setStateText(V.FileName, text); }
    void setKeyName(std::string_view text) { setStateText(V.KeyName, text); }
    void setMessageText(std::string_view text) { setStateText(V.MessageText, text); }
};

// The per-thread instances of one ErrorState declaration: current() gives
// the calling thread's own instance, made on the thread's first call and
// discarded when the thread ends. Distinct ThreadErrorState objects have
// distinct instances, even on one thread.
class ThreadErrorState {
public:
    ThreadErrorState();
    ThreadErrorState(const ThreadErrorState&) = delete;
    ThreadErrorState& operator=(const ThreadErrorState&) = delete;

    ErrorState& current();

private:
    uint64_t id_;  // never reused, so a destroyed object's instances are never found again
};

// The program's one per-thread ErrorState, handed to ErrorManager::Init.
ThreadErrorState& errorStates();

}  // namespace varnok::framework
