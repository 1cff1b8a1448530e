// ErrorManager: Report with its log line and history, the plain message box
// and the history window.
#include <charconv>

#include "framework/errors/error_manager.h"
#include "framework/errors/history_window_seam.h"
#include "framework/errors/log_line.h"
#include "framework/errors/runtime_error_keeper.h"
#include "window/message_box.h"

namespace varnok::framework {

int32_t iconNumber(std::string_view icon) {
    const size_t first = icon.find_first_not_of(' ');
    if (first == std::string_view::npos) return 0;
    const size_t last = icon.find_last_not_of(' ');
    std::string_view digits = icon.substr(first, last - first + 1);
    int32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return 0;
    return value;
}

unsigned ErrorManager::Report(const std::string& text, const std::string& caption, const std::string& icon,
                              unsigned buttons, unsigned defaultButton, int16_t style) {
    RuntimeErrorKeeper keep;
    if (GetLogErrors()) logLine(text);
    const int32_t threshold = GetHistoryThreshold();
    if (threshold != 0) recordHistory(text);
    if (GetSilent()) return defaultButton;
    if (threshold == 0) return ShowMessage(text, caption, icon, buttons, defaultButton, style);
    if (GetFatality() != GetHistoryViewLevel()) return defaultButton;
    const unsigned answer = ShowHistoryWindow(caption, iconNumber(icon), buttons, defaultButton);
    if (GetHistoryResetOnView()) ClearHistory();
    return answer;
}

void ErrorManager::logLine(const std::string& text) {
    CriticalSection::Hold hold(CritSect);
    if (!ErrorLog) return;
    // A log that fails is not reported: the message goes on, and the next one tries again.
    ErrorLog->Open(false);
    ErrorLog->WriteLine(errorLogLine(text));
    ErrorLog->Close(false);
}

void ErrorManager::recordHistory(const std::string& text) {
    CriticalSection::Hold hold(CritSect);
    if (!History) return;
    QueueDecl* q = History->decl();
    if (HistoryThreshold > 0) {
        while (RECORDS(q) >= static_cast<uint32_t>(HistoryThreshold)) {
            GET(q, 1);
            DELETE(q);
        }
    }
    const ErrorBufferGroup& current = state().V.ErrorBuffer;
    HistoryRecord record;
    record.Txt = text;  // write() cuts it to 1023 characters
    record.ID = static_cast<int16_t>(current.ID);
    record.Category = CategoryOf(current.ID);
    record.write(History->buffer());
    AppendHistory();
}

void ErrorManager::AppendHistory() {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    if (History) ADD(*History);
}

void ErrorManager::ClearHistory() {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    if (History) FREE(*History);
}

std::vector<HistoryRecord> ErrorManager::historyRecords() {
    CriticalSection::Hold hold(CritSect);
    RuntimeErrorKeeper keep;
    std::vector<HistoryRecord> records;
    if (!History) return records;
    const uint32_t count = RECORDS(*History);
    records.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        GET(*History, static_cast<int32_t>(i + 1));
        records[i].read(History->buffer());
    }
    return records;
}

unsigned ErrorManager::ShowMessage(const std::string& text, const std::string& caption, const std::string& icon,
                                   unsigned buttons, unsigned defaultButton, int16_t /*style*/) {
    return window::message(text, caption, icon, buttons, defaultButton);
}

unsigned ErrorManager::ShowHistoryWindow(const std::string& caption, int32_t icon, unsigned buttons,
                                         unsigned defaultButton) {
    if (HistoryWindowShower shower = historyWindowShower()) return shower(*this, caption, icon, buttons, defaultButton);
    std::string newest;
    {
        CriticalSection::Hold hold(CritSect);
        RuntimeErrorKeeper keep;
        if (History && RECORDS(*History) > 0) {
            GET(*History, static_cast<int32_t>(RECORDS(*History)));
            HistoryRecord record;
            record.read(History->buffer());
            newest = record.Txt;
        }
    }
    const std::string iconText = icon == 0 ? window::IconExclamation : std::to_string(icon);
    return ShowMessage(newest, caption, iconText, buttons, defaultButton, GetMsgStyle());
}

unsigned ErrorManager::ShowHistory() {
    return ShowHistoryWindow("Errors History", 0, window::ButtonOk | window::ButtonHelp, window::ButtonOk);
}

}  // namespace varnok::framework
