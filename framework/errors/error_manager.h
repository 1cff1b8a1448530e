// ErrorManager: the one place through which the framework and the program
// report a failure or ask the user about one. A caller raises an error by its
// number; the manager captures the runtime's last error texts, looks the
// number up in its message table (the entry added last wins), builds the
// text by replacing %-macros (framework/errors/macro_substitution.h) and acts
// by the entry's fatality (framework/errors/levels.h):
//
//     fatality          handler          result of RaiseError
//     0 LevelQuiet      HandleQuiet      0, nothing shown
//     1 LevelAsk        HandleAsk        0 on Yes, 4 otherwise
//     4 LevelCancel     HandleAsk        0 on Yes, 4 otherwise
//     2 LevelInternal   HandleInternal   as HandleFatal
//     3 LevelFatal      HandleFatal      message, then the program ends; 3 if it does not
//     5 LevelNotify     HandleNotify     5, after an OK box
//     other             HandleOther      as HandleInternal
//
// An id with no entry selects an empty entry of fatality 0: nothing is shown
// and the result is 0.
//
// Every message that reaches Report can also be appended to the log
// (LogErrors, "KTLError.Log" through ErrorLogFile) and kept in the History
// queue (HistoryThreshold: 0 none, n > 0 the newest n, n < 0 all). With a
// history, a message is shown only when its fatality equals
// HistoryViewLevel, and then in the errors history window; with Silent set
// nothing is shown and the default button is the answer.
//
// Ending the program: HandleFatal shows its message and then calls the halt
// (window/halt.h) with exit code 1 and the entry's title, so a program
// stopped by a fatal error never reports success to its caller.
//
// Threads: one manager serves every thread. CritSect (re-entrant) guards the
// fields and the three queues; it is held around the log write and the
// history update, never while a box or the history window is shown. The
// ErrorState is per thread (Status), so captured texts, the current entry
// and the previous id never mix; ProcNames is shared and tells threads apart
// by thread number. Until Init gives it a Status, the manager keeps a
// per-thread state of its own (then CaptureRuntimeError captures nothing).
//
// The calling thread's runtime error code and file error texts are the same
// after RaiseError, MessageFor and Report as before: the queue and file
// operations the manager makes inside do not overwrite the failure that the
// caller is reporting.
//
// Virtual operations are declared in their slot order (Destroy first,
// ShowHistory last); an override calls the base operation where it needs it.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/errors/critical_section.h"
#include "framework/errors/error_log_file.h"
#include "framework/errors/error_records.h"
#include "framework/errors/error_state.h"
#include "framework/errors/levels.h"
#include "runtime/queue/queue.h"

namespace varnok::framework {

// The exit code HandleFatal ends the program with.
constexpr int FatalExitCode = 1;
// The text appended to a fatal message (it starts with two blanks).
constexpr std::string_view FatalSuffix = "  Press OK to end this application";

// The icon text of Report and ShowMessage turned into the number the history
// window takes: a decimal number gives its value, anything else (a four-byte
// icon code, a "~name") gives 0.
int32_t iconNumber(std::string_view icon);

class ErrorManager {
public:
    // Creates the lock; every other field is empty or zero until Init.
    ErrorManager();
    virtual ~ErrorManager();
    ErrorManager(const ErrorManager&) = delete;
    ErrorManager& operator=(const ErrorManager&) = delete;

    // ---- non-virtual operations

    // Sets Status. The first call also makes the standard log, sets the
    // default category "KTL", HistoryThreshold 0, HistoryViewLevel 3,
    // HistoryResetOnView off, and loads the default messages (InitLog).
    // Later calls only change Status.
    void Init(ThreadErrorState& errorState);
    uint8_t RaiseError(int32_t id);
    // Shows the entry's message as a question box with the given buttons and
    // returns the button; the default button when Silent. Neither captures
    // the runtime error nor logs nor records history.
    unsigned MessageFor(int32_t id, unsigned buttons, unsigned defaultButton);
    // The current entry's message with its macros replaced.
    std::string SubstituteMacros();
    // Copies the thread's runtime error code and texts into Status (nothing
    // without Status); with code 0 the error text is empty.
    void CaptureRuntimeError();
    void SelectError(int32_t id);
    // Searches Errors backwards from position `from` (0: the last entry) for
    // the id: 0 when found (the entry is then in the queue's buffer, at
    // POINTER, and copied to *found when given), 5 when not.
    uint8_t FindError(int32_t id, int32_t from = 0, ErrorEntryRecord* found = nullptr);

    std::string CurrentProcedureName();
    void PushProcedureName(std::string_view name);
    void PopProcedureName();

    std::string CategoryOf(int32_t id);
    void AssignCategory(int32_t id, std::string_view category);
    void ClearHistory();

    // Accessors; each takes the lock.
    bool GetSilent();
    void SetSilent(bool silent);
    bool GetLogErrors();
    void SetLogErrors(bool logErrors);
    int32_t GetHistoryThreshold();
    void SetHistoryThreshold(int32_t threshold);
    int32_t GetHistoryViewLevel();
    void SetHistoryViewLevel(int32_t level);
    bool GetHistoryResetOnView();
    void SetHistoryResetOnView(bool reset);
    std::string GetDefaultCategory();
    void SetDefaultCategory(std::string_view category);
    int16_t GetMsgStyle();
    void SetMsgStyle(int16_t style);
    // The calling thread's current entry.
    int32_t GetErrorID();
    std::string GetTitle();
    uint8_t GetFatality();

    // The calling thread's ErrorState (Status's instance, or the manager's
    // own until Init): callers set FileName, FieldName, KeyName and
    // MessageText there before raising.
    ErrorState& state();
    // The history, copied under the lock (oldest first), for the history
    // window.
    std::vector<HistoryRecord> historyRecords();
    // Number of entries of Errors (0 before Init).
    uint32_t entryCount();
    ErrorLogInterface* errorLog();

    // ---- virtual operations, in slot order

    // Empties and drops Errors, History and ProcNames and closes and drops
    // the standard log. The lock itself lives until the object goes, so a
    // call after Destroy finds empty tables instead of a dead lock.
    virtual void Destroy();
    // Appends one entry; message and title are referred to, not copied, and
    // must outlive the manager's use of them.
    virtual void AddEntry(int32_t id, std::string_view message, std::string_view title, uint8_t fatality,
                          std::string_view category);
    // Appends every entry of a packed table (framework/errors/message_table.h)
    // in stored order, referring to its texts; the block must outlive them.
    virtual void AddEntries(std::span<const uint8_t> table);
    // Appends the History record prepared in the queue's buffer.
    virtual void AppendHistory();
    // Shows the errors history window through the installed shower
    // (framework/errors/history_window_seam.h) and returns the button. With
    // none installed: a plain message box with the newest history text (empty
    // when there is none), the caption and buttons given, and the exclamation
    // icon for icon 0 (else the icon's number as text).
    virtual unsigned ShowHistoryWindow(const std::string& caption, int32_t icon, unsigned buttons,
                                       unsigned defaultButton);
    // Logs, records history and shows; returns the button.
    virtual unsigned Report(const std::string& text, const std::string& caption, const std::string& icon,
                            unsigned buttons, unsigned defaultButton, int16_t style);
    // The window layer's plain message box (window::message); the style is
    // not used by this window layer.
    virtual unsigned ShowMessage(const std::string& text, const std::string& caption, const std::string& icon,
                                 unsigned buttons, unsigned defaultButton, int16_t style);
    // Deletes the entry FindError finds from the last one.
    virtual void RemoveEntry(int32_t id);
    // Sets ErrorLog; makes Errors (loading the default table into it),
    // ProcNames and History where they do not exist yet.
    virtual void InitLog(ErrorLogInterface* errorLog);
    virtual uint8_t HandleQuiet();
    virtual uint8_t HandleFatal();
    virtual uint8_t HandleNotify();
    virtual uint8_t HandleOther();
    virtual uint8_t HandleInternal();
    virtual uint8_t HandleAsk();
    // ShowHistoryWindow("Errors History", 0, OK and Help, OK).
    virtual unsigned ShowHistory();

protected:
    // Fields, in their order.
    std::string DefaultCategory;
    std::unique_ptr<Queue> Errors;
    ErrorLogInterface* ErrorLog = nullptr;
    std::unique_ptr<Queue> History;
    std::unique_ptr<Queue> ProcNames;
    std::unique_ptr<ErrorLogFile> StdErrorLog;
    bool Silent = false;
    bool LogErrors = false;
    int32_t HistoryThreshold = 0;
    int32_t HistoryViewLevel = 0;
    bool HistoryResetOnView = false;
    CriticalSection CritSect;
    ThreadErrorState* Status = nullptr;
    int16_t MsgStyle = 0;

private:
    // Makes the queues that do not exist yet; a new Errors gets the default table.
    void ensureTables();
    uint8_t dispatchFatality(uint8_t fatality);
    void logLine(const std::string& text);
    void recordHistory(const std::string& text);
    // The position of the current thread's newest ProcNames entry, 0 if none.
    uint32_t currentProcedurePosition(ProcNameRecord* found);

    ThreadErrorState ownStates_;  // the states used until Init gives Status
};

// The program's one ErrorManager.
ErrorManager& errorManager();

}  // namespace varnok::framework
