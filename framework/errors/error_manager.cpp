// ErrorManager: life cycle, the message table, selecting and raising.
// Reporting and the history live in error_manager_report.cpp, procedure
// names, categories and accessors in error_manager_names.cpp.
#include "framework/errors/error_manager.h"

#include "framework/errors/macro_substitution.h"
#include "framework/errors/message_table.h"
#include "framework/errors/runtime_error_keeper.h"
#include "platform/trailing_spaces.h"
#include "runtime/errors/error_codes.h"
#include "window/halt.h"
#include "window/message_box.h"

namespace varnok::framework {


ErrorManager::ErrorManager() = default;

ErrorManager::~ErrorManager() = default;

ErrorState& ErrorManager::state() {
    CriticalSection::Hold hold(CritSect);  // Status may be changed by Init on another thread
    return Status ? Status->current() : ownStates_.current();
}

void ErrorManager::Init(ThreadErrorState& errorState) {
    CriticalSection::Hold hold(CritSect);
    Status = &errorState;
    if (StdErrorLog) return;
    StdErrorLog = std::make_unique<ErrorLogFile>();
    AssignCategory(-1, "KTL");
    Errors.reset();
    ProcNames.reset();
    History.reset();
    HistoryThreshold = 0;
    HistoryViewLevel = LevelFatal;
    HistoryResetOnView = false;
    InitLog(StdErrorLog.get());
}

void ErrorManager::Destroy() {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    Errors.reset();
    History.reset();
    ProcNames.reset();
    if (StdErrorLog) {
        StdErrorLog->Close(true);
        if (ErrorLog == StdErrorLog.get()) ErrorLog = nullptr;
        StdErrorLog.reset();
    }
}

void ErrorManager::ensureTables() {
    CriticalSection::Hold hold(CritSect);
    if (!Errors) {
        Errors = std::make_unique<Queue>(errorEntryLayout());
        AddEntries(defaultMessageTable());
    }
    if (!ProcNames) ProcNames = std::make_unique<Queue>(procNameEntryLayout());
    if (!History) History = std::make_unique<Queue>(historyEntryLayout());
}

void ErrorManager::InitLog(ErrorLogInterface* errorLog) {
    CriticalSection::Hold hold(CritSect);
    ErrorLog = errorLog;
    ensureTables();
}

void ErrorManager::AddEntry(int32_t id, std::string_view message, std::string_view title, uint8_t fatality,
                            std::string_view category) {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    ensureTables();
    ErrorEntryRecord entry;
    entry.ID = id;
    entry.Message = message;
    entry.Title = title;
    entry.Fatality = fatality;
    entry.Category = std::string(category);
    entry.write(Errors->buffer());
    ADD(*Errors);
}

void ErrorManager::AddEntries(std::span<const uint8_t> table) {
    CriticalSection::Hold hold(CritSect);
    for (const PackedMessage& m : decodeMessageTable(table)) AddEntry(m.id, m.message, m.title, m.fatality, "");
}

void ErrorManager::RemoveEntry(int32_t id) {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    if (FindError(id) == 0) DELETE(*Errors);
}

uint8_t ErrorManager::FindError(int32_t id, int32_t from, ErrorEntryRecord* found) {
    CriticalSection::Hold hold(CritSect);
    if (!Errors) return 5;
    RuntimeErrorKeeper keep;
    QueueDecl* q = Errors->decl();
    const auto last = static_cast<int32_t>(RECORDS(q));
    for (int32_t position = from <= 0 || from > last ? last : from; position >= 1; --position) {
        GET(q, position);
        if (errorCode() != 0) break;
        if (errorEntryId(Errors->buffer()) == id) {
            if (found) found->read(Errors->buffer());
            return 0;
        }
    }
    return 5;
}

uint32_t ErrorManager::entryCount() {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    return Errors ? RECORDS(*Errors) : 0;
}

ErrorLogInterface* ErrorManager::errorLog() {
    CriticalSection::Hold hold(CritSect);
    return ErrorLog;
}

void ErrorManager::CaptureRuntimeError() {
    CriticalSection::Hold hold(CritSect);
    if (!Status) return;
    ErrorState::Group& v = Status->current().V;
    v.SaveErrorCode = errorCode();
    // No error has no text (the runtime's table would call code 0 an
    // "Unknown Error Posted", which no message should claim).
    // The texts go in without trailing blanks (the file error texts come
    // without them), cut to what a state text holds.
    setStateText(v.SaveError,
                 v.SaveErrorCode == 0 ? std::string_view() : platform::withoutTrailingSpaces(errorText()));
    setStateText(v.SaveFileErrorCode, fileErrorCode());
    setStateText(v.SaveFileError, fileErrorText());
}

void ErrorManager::SelectError(int32_t id) {
    CriticalSection::Hold hold(CritSect);
    ErrorBufferGroup& buffer = state().V.ErrorBuffer;
    state().V.PrevErrorID = buffer.ID;
    ErrorEntryRecord entry;
    if (FindError(id, 0, &entry) == 0) {
        buffer.ID = entry.ID;
        buffer.Message.assign(entry.Message);
        buffer.Title.assign(entry.Title);
        buffer.Fatality = entry.Fatality;
        buffer.Category = entry.Category;
    } else {
        buffer = ErrorBufferGroup{};
    }
}

std::string ErrorManager::SubstituteMacros() {
    ErrorState::Group v;
    {
        CriticalSection::Hold hold(CritSect);
        v = state().V;
    }
    const std::string procedure = CurrentProcedureName();
    MacroValues values;
    values.fileErrorCode = v.SaveFileErrorCode;
    values.fileError = v.SaveFileError;
    values.fileName = v.FileName;
    values.keyName = v.KeyName;
    values.errorCode = v.SaveErrorCode;
    values.error = v.SaveError;
    values.messageText = v.MessageText;
    values.fieldName = v.FieldName;
    values.procedure = procedure;
    values.category = v.ErrorBuffer.Category;
    values.previous = [this, previousId = v.PrevErrorID] {
        ErrorEntryRecord entry;
        return FindError(previousId, 0, &entry) == 0 ? std::string(entry.Message) : std::string();
    };
    return substituteMacros(v.ErrorBuffer.Message, values);
}

uint8_t ErrorManager::RaiseError(int32_t id) {
    RuntimeErrorKeeper keep;
    CaptureRuntimeError();
    SelectError(id);
    return dispatchFatality(GetFatality());
}

uint8_t ErrorManager::dispatchFatality(uint8_t fatality) {
    if (fatality == LevelQuiet) return HandleQuiet();
    if (fatality == LevelAsk) return HandleAsk();
    if (fatality == LevelCancel) return HandleAsk();
    if (fatality == LevelInternal) return HandleInternal();
    if (fatality == LevelFatal) return HandleFatal();
    if (fatality == LevelNotify) return HandleNotify();
    return HandleOther();
}

unsigned ErrorManager::MessageFor(int32_t id, unsigned buttons, unsigned defaultButton) {
    if (GetSilent()) return defaultButton;
    RuntimeErrorKeeper keep;
    SelectError(id);
    return ShowMessage(SubstituteMacros(), GetTitle(), window::IconQuestion, buttons, defaultButton, GetMsgStyle());
}

uint8_t ErrorManager::HandleQuiet() { return LevelQuiet; }

uint8_t ErrorManager::HandleAsk() {
    const unsigned answer = Report(SubstituteMacros(), GetTitle(), window::IconQuestion,
                                   window::ButtonYes | window::ButtonNo, window::ButtonYes, GetMsgStyle());
    return answer == window::ButtonYes ? LevelQuiet : LevelCancel;
}

uint8_t ErrorManager::HandleNotify() {
    Report(SubstituteMacros(), GetTitle(), window::IconExclamation, window::ButtonOk, window::ButtonOk,
           GetMsgStyle());
    return LevelNotify;
}

uint8_t ErrorManager::HandleFatal() {
    const std::string title = GetTitle();
    Report(SubstituteMacros() + std::string(FatalSuffix), title, window::IconExclamation, window::ButtonOk,
           window::ButtonOk, GetMsgStyle());
    window::halt(FatalExitCode, title);
    return LevelFatal;  // the halt came back
}

uint8_t ErrorManager::HandleInternal() { return HandleFatal(); }

uint8_t ErrorManager::HandleOther() { return HandleInternal(); }

ErrorManager& errorManager() {
    static ErrorManager manager;
    return manager;
}

}  // namespace varnok::framework
