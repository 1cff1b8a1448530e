// Test doubles for the window manager's tests: a component and a toolbar
// that write what is asked of them into a shared log, a resizer and a
// translator that count, a relation manager over one text record, and a
// window manager whose handlers log before they run the base behaviour.
#pragma once
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/windows/window_manager.h"
#include "window/events.h"

namespace varnok::framework::test {

using Log = std::vector<std::string>;

inline std::string hex(uint16_t n) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%X", n);
    return buffer;
}

// Logs "<name>.<operation>"; OnEvent also logs the event number in hex.
class RecordingComponent : public PrimaryBufferComponent {
public:
    RecordingComponent(std::string name, Log& log, const WindowManager& manager)
        : name_(std::move(name)), log_(log), manager_(manager) {}

    std::map<uint16_t, uint8_t> results;  // OnEvent's answer per event number
    bool needsRefresh = false;            // answered once, then cleared by Refresh
    bool logQuestions = false;            // log NeedsRefresh too
    bool saveRequired = false, restoreRequired = false;
    int releases = 0, refreshes = 0, forcedRefreshes = 0;

    void Release() override {
        ++releases;
        log_.push_back(name_ + ".Release");
    }
    void Refresh(bool force) override {
        ++refreshes;
        if (force) ++forcedRefreshes;
        needsRefresh = false;
        log_.push_back(name_ + ".Refresh(" + (force ? "1" : "0") + ")");
    }
    bool NeedsRefresh() override {
        if (logQuestions) log_.push_back(name_ + ".NeedsRefresh");
        return needsRefresh;
    }
    void RegisterAlerts() override { log_.push_back(name_ + ".RegisterAlerts"); }
    uint8_t OnEvent() override {
        const uint16_t e = manager_.currentEvent().number;
        log_.push_back(name_ + ".OnEvent:" + hex(e));
        auto it = results.find(e);
        return it == results.end() ? 0 : it->second;
    }
    void StoreControls() override { log_.push_back(name_ + ".StoreControls"); }
    void ShowData() override { log_.push_back(name_ + ".ShowData"); }
    bool PrimaryBufferSaveRequired() override { return saveRequired; }
    void PrimaryBufferSaved() override { log_.push_back(name_ + ".Saved"); }
    bool PrimaryBufferRestoreRequired() override { return restoreRequired; }
    void PrimaryBufferRestored() override { log_.push_back(name_ + ".Restored"); }

private:
    std::string name_;
    Log& log_;
    const WindowManager& manager_;
};

class RecordingToolbar : public Toolbar {
public:
    explicit RecordingToolbar(Log& log) : log_(log) {}
    int32_t setRequestTo = -1;  // TakeEvent writes it into the navigation request when >= 0
    void Init() override { log_.push_back("Toolbar.Init"); }
    void TakeEvent(const window::Event& event, int32_t* request) override {
        log_.push_back("Toolbar.TakeEvent:" + std::to_string(event.control));
        if (request && setRequestTo >= 0) *request = setRequestTo;
    }
    void OnNewSelection() override { log_.push_back("Toolbar.OnNewSelection"); }
    void Kill() override { log_.push_back("Toolbar.Kill"); }

private:
    Log& log_;
};

class CountingResizer : public Resizer {
public:
    int kills = 0;
    void Kill() override { ++kills; }
};

class CountingTranslator : public Translator {
public:
    int calls = 0;
    void TranslateWindow(window::Window&) override { ++calls; }
};

class CountingNavigation : public FormNavigation {
public:
    int moves = 0;
    void Next() override { ++moves; }
};

// A primary file over one record, the 20-byte text `record`, which a test
// binds to an entry so that typing changes it. Saved copies are kept per
// handle; each request answers from its queue of results (0 when empty).
class FakeRelationManager : public RelationManager {
public:
    char record[20];
    std::vector<uint8_t> insertResults, updateResults, deleteResults;
    uint8_t cancelAutoIncResult = 0;
    std::vector<std::string> inserted, updated;  // the records written
    int deletes = 0, cancels = 0;
    std::vector<bool> deleteAsked;
    std::string position = "7";
    std::vector<std::string> resetTo;
    std::map<uint16_t, std::string> saved;  // live saved copies
    int restores = 0, drops = 0;

    FakeRelationManager() { set(""); }
    void set(std::string_view text) {
        std::memset(record, ' ', sizeof record);
        std::memcpy(record, text.data(), std::min(text.size(), sizeof record));
    }
    std::string text() const {
        std::string t(record, sizeof record);
        t.erase(t.find_last_not_of(' ') + 1);
        return t;
    }
    window::TextVariable variable() { return {record, sizeof record}; }

    uint16_t SaveBuffer() override {
        saved[++next_] = std::string(record, sizeof record);
        return next_;
    }
    void RestoreBuffer(uint16_t& handle, bool restore) override {
        auto it = saved.find(handle);
        if (it == saved.end()) return;
        if (restore) {
            std::memcpy(record, it->second.data(), sizeof record);
            ++restores;
        } else {
            ++drops;
        }
        saved.erase(it);
        handle = 0;
    }
    bool EqualBuffer(uint16_t handle) override {
        auto it = saved.find(handle);
        return it != saved.end() && it->second == std::string(record, sizeof record);
    }
    uint8_t Insert() override {
        const uint8_t r = next(insertResults);
        if (r == 0) inserted.push_back(text());
        return r;
    }
    uint8_t Update() override {
        const uint8_t r = next(updateResults);
        if (r == 0) updated.push_back(text());
        return r;
    }
    uint8_t Delete(bool ask) override {
        deleteAsked.push_back(ask);
        const uint8_t r = next(deleteResults);
        if (r == 0) ++deletes;
        return r;
    }
    uint8_t CancelAutoInc() override {
        ++cancels;
        return cancelAutoIncResult;
    }
    std::string Position() override { return position; }
    void ResetPosition(std::string_view p) override { resetTo.emplace_back(p); }

private:
    static uint8_t next(std::vector<uint8_t>& results) {
        if (results.empty()) return 0;
        const uint8_t r = results.front();
        results.erase(results.begin());
        return r;
    }
    uint16_t next_ = 0;
};

// A window manager that opens `resource`, registers `components`, lets the
// test set it up further, and logs each handler before its base behaviour.
class TestWindow : public WindowManager {
public:
    TestWindow(std::string resource, Log& log) : resource_(std::move(resource)), log_(log) {}

    std::vector<WindowComponent*> components;
    std::function<void(TestWindow&)> setUp;     // after OpenWindow, before RegisterAlerts
    std::function<uint8_t(TestWindow&)> onAccepted;  // runs before the base OnAccepted; non-zero answers
    uint8_t initResult = 0;
    bool failBeforeBase = false;
    std::map<uint16_t, uint8_t> windowEventResults;  // OnWindowEvent answers instead of the base
    uint8_t fieldEventResult = 0;
    std::vector<uint32_t> notified;

    uint8_t Init() override {
        log_.push_back("Init");
        if (failBeforeBase) return 4;
        if (uint8_t r = WindowManager::Init()) return r;
        OpenWindow(resource_);
        for (WindowComponent* c : components) AddComponent(c);
        if (setUp) setUp(*this);
        RegisterAlerts();
        return initResult;
    }
    uint8_t Release() override {
        const uint8_t r = WindowManager::Release();
        log_.push_back("Release:" + std::to_string(r));
        return r;
    }
    uint8_t OnAccepted() override {
        log_.push_back("OnAccepted");
        if (onAccepted) {
            if (uint8_t r = onAccepted(*this)) return r;
        }
        return WindowManager::OnAccepted();
    }
    uint8_t OnFieldEvent() override {
        log_.push_back("OnFieldEvent");
        return fieldEventResult;
    }
    uint8_t OnWindowEvent() override {
        log_.push_back("OnWindowEvent:" + hex(currentEvent().number));
        auto it = windowEventResults.find(currentEvent().number);
        if (it != windowEventResults.end()) return it->second;
        return WindowManager::OnWindowEvent();
    }
    uint8_t OnNewSelection() override {
        log_.push_back("OnNewSelection");
        return WindowManager::OnNewSelection();
    }
    uint8_t OnRejected() override {
        log_.push_back("OnRejected");
        return WindowManager::OnRejected();
    }
    uint8_t OnSelected() override {
        log_.push_back("OnSelected");
        return WindowManager::OnSelected();
    }
    uint8_t OnCompleted() override {
        log_.push_back("OnCompleted");
        return WindowManager::OnCompleted();
    }
    uint8_t OnClose() override {
        log_.push_back("OnClose");
        return WindowManager::OnClose();
    }
    uint8_t OnNotify(uint32_t code, int32_t thread, int64_t parameter) override {
        notified.push_back(code);
        notified.push_back(static_cast<uint32_t>(thread));
        notified.push_back(static_cast<uint32_t>(parameter));
        return 0;
    }
    void RunEventLoop() override {
        log_.push_back("RunEventLoop");
        WindowManager::RunEventLoop();
    }
    void FirstDisplay() override {
        log_.push_back("FirstDisplay");
        WindowManager::FirstDisplay();
    }

    int32_t control(std::string_view useName) const { return MyWindow ? MyWindow->control(useName) : 0; }

private:
    std::string resource_;
    Log& log_;
};

}  // namespace varnok::framework::test
