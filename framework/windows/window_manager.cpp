// WindowManager: life cycle, the event loop and the dispatch of events.
// The completion, the record requests and the close road live in
// window_manager_requests.cpp.
#include "framework/windows/window_manager.h"

#include <algorithm>
#include <cstring>

#include "framework/errors/error_manager.h"
#include "runtime/support/binding_scope.h"
#include "window/events.h"

namespace varnok::framework {

namespace ev = window::event;

WindowManager::~WindowManager() {
    if (window_ && window_->isOpen()) window_->close();
    if (scopeOpen_) POPBIND();
}

ErrorManager& WindowManager::errors() { return Errors ? *Errors : errorManager(); }

uint8_t WindowManager::refuse() {
    if (MyWindow && FirstField != 0) MyWindow->select(FirstField);
    return LevelNotify;
}

// ---- life cycle

uint8_t WindowManager::Run() {
    if (Init() == LevelQuiet) RunEventLoop();
    Release();
    return Response != NoResponse ? Response : static_cast<uint8_t>(RequestCancelled);
}

uint8_t WindowManager::Run(int32_t, uint8_t) { return RequestCancelled; }

uint8_t WindowManager::Init() {
    OriginalRequest = Request;
    CL.clear();
    Buttons.clear();
    created_ = true;
    // One scope per initialised manager; a manager initialised again
    // without a Release in between keeps the scope it has.
    if (!scopeOpen_) {
        PUSHBIND();
        scopeOpen_ = true;
    }
    // The key that opened the window (a right click, code 2 or 130) cannot
    // reach it here: each window has its own event queue, and an
    // EVENT:AlertKey carries its key with it, so there is no current key
    // code left over to clear.
    InsertAction = 2;
    DeleteAction = 2;
    ChangeAction = 2;
    CancelAction = 3;
    AutoToolbar = true;
    AutoRefresh = true;
    OwnerWindow = nullptr;
    return LevelQuiet;
}

uint8_t WindowManager::Release() {
    if (Dead || !created_) {
        // Even a manager that has nothing to release gives back the scope
        // its Init opened (a second Run of a dead manager opens one).
        closeScope();
        return LevelNotify;
    }
    // Components are taken out before they are released, so a component
    // whose Release reaches back into the manager finds itself gone.
    while (!CL.empty()) {
        ComponentEntry entry = CL.front();
        CL.erase(CL.begin());
        if (entry.WC) entry.WC->Release();
    }
    Buttons.clear();
    History.clear();
    created_ = false;
    for (FileEntry& file : Files) {
        if (file.File && file.Saved != 0) file.File->RestoreBuffer(file.Saved);
    }
    Files.clear();
    if (Primary && Saved != 0) Primary->RestoreBuffer(Saved);
    if (Toolbar) Toolbar->Kill();
    if (Resize) Resize->Kill();
    Dead = true;
    closeScope();
    return LevelQuiet;
}

void WindowManager::closeScope() {
    if (!scopeOpen_) return;
    POPBIND();
    scopeOpen_ = false;
}

void WindowManager::OpenWindow(std::string_view resourceName, window::Window* owner) {
    if (owner) OwnerWindow = owner;
    if (window_ && window_->isOpen()) window_->close();
    window_ = window::windowLayer().open(resourceName, OwnerWindow);
    MyWindow = window_.get();
    Opened = MyWindow != nullptr;
}

void WindowManager::FirstDisplay() {
    if (Translator && MyWindow) Translator->TranslateWindow(*MyWindow);
    Refresh(false);
    Inited |= InitedDisplayed;
}

void WindowManager::PrimeNewRecord() {}

uint8_t WindowManager::PrepareRequest() {
    if (!Primary) return LevelQuiet;
    for (FileEntry& file : Files) {
        if (file.File && file.Saved == 0) file.Saved = file.File->SaveBuffer();
    }
    if (Request == InsertRecord) PrimeNewRecord();
    if (Saved != 0) Primary->RestoreBuffer(Saved, false);
    Saved = Primary->SaveBuffer();
    return LevelQuiet;
}

void WindowManager::RunEventLoop() {
    if (Dead) return;
    LastInsertedPosition.clear();
    if (!MyWindow) return;
    window::Event event;
    while (MyWindow->nextEvent(event)) {
        event_ = event;
        const uint8_t level = OnEvent();
        if (level == LevelFatal) break;
        if (level != LevelNotify) MyWindow->defaultAction(event);
    }
}

// ---- components

void WindowManager::AddComponent(WindowComponent* component) { CL.push_back({0, component}); }

void WindowManager::AddComponent(PrimaryBufferComponent* component) { CL.push_back({1, component}); }

void WindowManager::AttachToolbar(framework::Toolbar* toolbar) {
    Toolbar = toolbar;
    if (Toolbar) Toolbar->Init();
}

void WindowManager::AddHistoryField(int32_t control, window::TextVariable field) {
    History.push_back({control, field, {}, false});
}

void WindowManager::refreshComponent(const ComponentEntry& entry, bool force) {
    if (entry.Type != 1 || !Primary) {
        entry.WC->Refresh(force);
        return;
    }
    auto* component = static_cast<PrimaryBufferComponent*>(entry.WC);
    uint16_t handle = 0;
    if (component->PrimaryBufferSaveRequired()) {
        handle = Primary->SaveBuffer();
        component->PrimaryBufferSaved();
    }
    component->Refresh(force);
    if (handle != 0) {
        // A saved copy is always let go, given back or not.
        const bool restore = component->PrimaryBufferRestoreRequired();
        Primary->RestoreBuffer(handle, restore);
        if (restore) component->PrimaryBufferRestored();
    }
}

void WindowManager::Refresh(bool force) {
    if (MyWindow && MyWindow->acceptingAll()) return;
    force = force || ForcedReset;
    ForcedReset = false;
    for (size_t i = 0; i < CL.size(); ++i) refreshComponent(CL[i], force);
    for (size_t i = 0; i < CL.size(); ++i) CL[i].WC->ShowData();
    if (MyWindow) MyWindow->display();
}

void WindowManager::StoreControls() {
    for (size_t i = 0; i < CL.size(); ++i) CL[i].WC->StoreControls();
}

void WindowManager::RegisterAlerts() {
    for (size_t i = 0; i < CL.size(); ++i) CL[i].WC->RegisterAlerts();
    if (!MyWindow || HistoryKey == 0) return;
    for (const FieldHistoryEntry& field : History) MyWindow->alert(field.Control, static_cast<uint32_t>(HistoryKey));
}

void WindowManager::SetControlState(int32_t control, bool disabled) {
    if (control == 0 || !MyWindow) return;
    MyWindow->setProperty(control, window::prop::Disable, disabled ? 1 : 0);
}

// ---- field history

void WindowManager::takeFieldHistory() {
    for (FieldHistoryEntry& field : History) {
        if (!field.Field.data) continue;
        std::string value(field.Field.data, field.Field.size);
        const size_t end = value.find_last_not_of(' ');
        value.erase(end == std::string::npos ? 0 : end + 1);
        field.Previous = std::move(value);
        field.Taken = true;
    }
}

void WindowManager::RecallField(int32_t control) {
    for (FieldHistoryEntry& field : History) {
        if (field.Control != control || !field.Taken || !field.Field.data) continue;
        const size_t n = std::min(field.Previous.size(), field.Field.size);
        std::memcpy(field.Field.data, field.Previous.data(), n);
        std::memset(field.Field.data + n, ' ', field.Field.size - n);
        if (MyWindow) MyWindow->display(control);
        return;
    }
}

// ---- dispatch

uint8_t WindowManager::OnEvent() {
    const window::Event& e = event_;
    const bool fieldEvent = window::isFieldEvent(e.number);
    uint8_t r = LevelQuiet;
    if (!fieldEvent) {
        r = OnWindowEvent();
        if (r != LevelQuiet) return r;
    }
    switch (e.number) {
        case ev::Sized:
            if (MyWindow) MyWindow->post(ResizerCue);
            break;
        case ev::Accepted:
            r = OnAccepted();
            break;
        case ev::Rejected:
            r = OnRejected();
            break;
        case ev::Selected:
            r = OnSelected();
            break;
        case ev::NewSelection:
            r = OnNewSelection();
            break;
        case ev::AlertKey:
            if (HistoryKey != 0 && e.keyCode == static_cast<uint32_t>(HistoryKey) && MyWindow) {
                RecallField(MyWindow->focus());
            }
            break;
        default:
            break;
    }
    if (r == LevelQuiet && fieldEvent) {
        r = OnFieldEvent();
        if (r != LevelQuiet) return r;
    }
    if (r == LevelQuiet) {
        for (size_t i = 0; i < CL.size(); ++i) {
            r = CL[i].WC->OnEvent();
            if (r != LevelQuiet) break;
        }
    }
    if (r == LevelQuiet && AutoRefresh) {
        for (size_t i = 0; i < CL.size(); ++i) {
            if (CL[i].WC->NeedsRefresh()) {
                Refresh(false);
                break;
            }
        }
    }
    return r;
}

uint8_t WindowManager::OnWindowEvent() {
    switch (event_.number) {
        case ev::OpenWindow:
            if (!(Inited & InitedDisplayed)) FirstDisplay();
            if (FirstField != 0 && MyWindow) MyWindow->select(FirstField);
            return LevelQuiet;
        case ev::Notify:
            if (!notifications_.empty()) {
                const Notification n = notifications_.front();
                notifications_.pop_front();
                return OnNotify(n.code, n.thread, n.parameter);
            }
            return LevelQuiet;
        case ev::LoseFocus:
            if (ResetOnGainFocus) ForcedReset = true;
            return LevelQuiet;
        case ev::GainFocus:
            if (Inited & InitedDisplayed) {
                Refresh(false);
            } else {
                FirstDisplay();
            }
            return LevelQuiet;
        case ev::Sized:
            if (Inited & InitedSized) {
                Refresh(false);
            } else {
                Inited |= InitedSized;
            }
            return LevelQuiet;
        case ev::Completed:
            return OnCompleted();
        case ev::CloseWindow:
        case ev::CloseDown:
            return OnClose();
        default:
            return LevelQuiet;
    }
}

void WindowManager::postNotification(uint32_t code, int32_t thread, int64_t parameter) {
    notifications_.push_back({code, thread, parameter});
    if (MyWindow) MyWindow->post(ev::Notify);
}

uint8_t WindowManager::OnNotify(uint32_t, int32_t, int64_t) { return LevelQuiet; }

uint8_t WindowManager::OnFieldEvent() { return LevelQuiet; }

uint8_t WindowManager::OnSelected() { return LevelQuiet; }

uint8_t WindowManager::OnRejected() {
    if (!MyWindow) return LevelQuiet;
    const int32_t control = event_.control;
    MyWindow->beep();
    MyWindow->display(control);
    MyWindow->select(control);
    return LevelQuiet;
}

uint8_t WindowManager::OnNewSelection() {
    if (!MyWindow) return LevelQuiet;
    const int32_t control = event_.control;
    if (MyWindow->propertyNumber(control, window::prop::Type) == static_cast<int32_t>(window::ControlKind::Sheet)) {
        Refresh(false);
        if (AutoToolbar && Toolbar) Toolbar->OnNewSelection();
    }
    return LevelQuiet;
}

uint8_t WindowManager::OnAccepted() {
    const int32_t control = event_.control;
    if (Toolbar) {
        Toolbar->TakeEvent(event_, VCRRequest);
        if (control == framework::Toolbar::RecallButton && MyWindow) RecallField(MyWindow->focus());
    }
    for (const ButtonEntry& button : Buttons) {
        if (button.Control == control) {
            EndWithResponse(button.Action);
            return LevelNotify;
        }
    }
    if (OKControl != 0 && control == OKControl) startCompletion();
    if (SaveControl != 0 && control == SaveControl) {
        if (Request == ViewRecord) return LevelNotify;
        BeforeSaveRequest = Request;
        Request = SaveRecord;
        startCompletion();
    }
    if (DisableCancelButton) setCancelButtons(false);
    return LevelQuiet;
}

void WindowManager::EndWithResponse(uint8_t response) {
    Response = response;
    if (MyWindow) MyWindow->post(ev::CloseWindow);
    if (response == RequestCancelled && Toolbar && VCRRequest) *VCRRequest = 0;
}

void WindowManager::setCancelButtons(bool disabled) {
    for (const ButtonEntry& button : Buttons) {
        if (button.Action == RequestCancelled) SetControlState(button.Control, disabled);
    }
}

}  // namespace varnok::framework
