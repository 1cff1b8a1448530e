// ErrorManager: procedure names per thread, categories and the accessors.
#include "framework/errors/error_manager.h"
#include "framework/errors/runtime_error_keeper.h"
#include "framework/errors/thread_number.h"
#include "platform/trailing_spaces.h"
#include "runtime/errors/error_codes.h"

namespace varnok::framework {

namespace {

using platform::withoutTrailingSpaces;

}  // namespace

uint32_t ErrorManager::currentProcedurePosition(ProcNameRecord* found) {
    CriticalSection::Hold hold(CritSect);
    if (!ProcNames) return 0;
    const int32_t thread = currentThreadNumber();
    QueueDecl* q = ProcNames->decl();
    ProcNameRecord record;
    for (auto position = static_cast<int32_t>(RECORDS(q)); position >= 1; --position) {
        GET(q, position);
        if (errorCode() != 0) break;
        record.read(ProcNames->buffer());
        if (record.Thread == thread) {
            if (found) *found = record;
            return static_cast<uint32_t>(position);
        }
    }
    return 0;
}

std::string ErrorManager::CurrentProcedureName() {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    ProcNameRecord record;
    return currentProcedurePosition(&record) ? record.Name : std::string();
}

void ErrorManager::PushProcedureName(std::string_view name) {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    ensureTables();
    ProcNameRecord record;
    record.Thread = currentThreadNumber();
    record.Name = std::string(withoutTrailingSpaces(name));
    record.write(ProcNames->buffer());
    ADD(*ProcNames);
}

void ErrorManager::PopProcedureName() {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    ProcNameRecord record;
    // The search leaves the entry it found as the queue's current one.
    if (currentProcedurePosition(&record) == 0 || record.Name.empty()) return;
    DELETE(*ProcNames);
}

std::string ErrorManager::CategoryOf(int32_t id) {
    CriticalSection::Hold hold(CritSect);
    if (id == -1) return DefaultCategory;
    ErrorEntryRecord entry;
    if (FindError(id, 0, &entry) == 0 && !entry.Category.empty()) return entry.Category;
    return DefaultCategory;
}

void ErrorManager::AssignCategory(int32_t id, std::string_view category) {
    CriticalSection::Hold hold(CritSect);
    if (id == -1) {
        DefaultCategory = std::string(category);
        return;
    }
    RuntimeErrorKeeper keep;
    if (FindError(id) != 0) return;
    setErrorEntryCategory(Errors->buffer(), category);
    PUT(*Errors);
}

// ---- accessors

bool ErrorManager::GetSilent() {
    CriticalSection::Hold hold(CritSect);
    return Silent;
}

void ErrorManager::SetSilent(bool silent) {
    CriticalSection::Hold hold(CritSect);
    Silent = silent;
}

bool ErrorManager::GetLogErrors() {
    CriticalSection::Hold hold(CritSect);
    return LogErrors;
}

void ErrorManager::SetLogErrors(bool logErrors) {
    CriticalSection::Hold hold(CritSect);
    LogErrors = logErrors;
}

int32_t ErrorManager::GetHistoryThreshold() {
    CriticalSection::Hold hold(CritSect);
    return HistoryThreshold;
}

void ErrorManager::SetHistoryThreshold(int32_t threshold) {
    CriticalSection::Hold hold(CritSect);
    HistoryThreshold = threshold;
}

int32_t ErrorManager::GetHistoryViewLevel() {
    CriticalSection::Hold hold(CritSect);
    return HistoryViewLevel;
}

void ErrorManager::SetHistoryViewLevel(int32_t level) {
    CriticalSection::Hold hold(CritSect);
    HistoryViewLevel = level;
}

bool ErrorManager::GetHistoryResetOnView() {
    CriticalSection::Hold hold(CritSect);
    return HistoryResetOnView;
}

void ErrorManager::SetHistoryResetOnView(bool reset) {
    CriticalSection::Hold hold(CritSect);
    HistoryResetOnView = reset;
}

std::string ErrorManager::GetDefaultCategory() {
    CriticalSection::Hold hold(CritSect);
    return DefaultCategory;
}

void ErrorManager::SetDefaultCategory(std::string_view category) {
    CriticalSection::Hold hold(CritSect);
    DefaultCategory = std::string(category);
}

int16_t ErrorManager::GetMsgStyle() {
    CriticalSection::Hold hold(CritSect);
    return MsgStyle;
}

void ErrorManager::SetMsgStyle(int16_t style) {
    CriticalSection::Hold hold(CritSect);
    MsgStyle = style;
}

int32_t ErrorManager::GetErrorID() {
    CriticalSection::Hold hold(CritSect);
    return state().V.ErrorBuffer.ID;
}

std::string ErrorManager::GetTitle() {
    CriticalSection::Hold hold(CritSect);
    return state().V.ErrorBuffer.Title;
}

uint8_t ErrorManager::GetFatality() {
    CriticalSection::Hold hold(CritSect);
    return state().V.ErrorBuffer.Fatality;
}

}  // namespace varnok::framework
