// WindowManager: drives one window through its life: Init, OpenWindow, the
// event loop, the close, Release. A window procedure derives from it,
// overrides the handlers it needs (calling the base operation first and
// stopping when it answers non-zero), sets Request and calls Run:
//
//     class MainWindow : public WindowManager {
//         uint8_t Init() override {
//             if (uint8_t r = WindowManager::Init()) return r;
//             OpenWindow("varnok$varnok001");
//             AddComponent(&list);
//             RegisterAlerts();
//             return LevelQuiet;
//         }
//     };
//     uint8_t response = MainWindow().Run();   // 1 completed, 2 cancelled
//
// Levels answered by the handlers (framework/errors/levels.h): LevelQuiet
// (0) go on; LevelFatal (3) end the event loop; LevelNotify (5) the event is
// handled: the rest of its processing (later components, the window layer's
// default action) is skipped.
//
// The event loop is the window layer's pull loop (window/window_layer.h):
// every event goes to OnEvent, which hands it on in a fixed order: window
// events to OnWindowEvent; Accepted, Rejected, Selected and NewSelection to
// their handlers (Sized also posts ResizerCue to the window); field events
// then to OnFieldEvent; then to each component in registration order; then,
// with AutoRefresh, the components are asked whether they need a refresh.
//
// Responses: Buttons lists controls that end the window with an action (1
// completed, 2 cancelled). OKControl starts the completion (every field is
// validated, then EVENT:Completed runs the record request); closing a
// window that edits a record (Primary set) runs the close road, whose
// questions CancelAction chooses: bit 1 clear asks "Changes will be lost!",
// bit 1 alone presses OK for the user, bits 1 and 2 ask "Save Record".
//
// The window object opened by OpenWindow belongs to the manager and lives
// until the manager is destroyed, so a procedure can still read its place
// after Release (the window itself is closed by EVENT:CloseWindow).
//
// Every Init that ran is paired with exactly one close of the evaluator's
// binding scope it opened (runtime/support/binding_scope.h), by Release or,
// failing that, by the destructor. Release is safe to call again: it then
// answers LevelNotify and releases nothing twice.
//
// Buttons, CL, Files and History are std::vectors: they are only ever
// walked in order and appended to, and hold pointers to objects of the
// window's procedure, which runtime queues would have to carry as raw bytes.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/errors/levels.h"
#include "framework/windows/form_navigation.h"
#include "framework/windows/relation_manager.h"
#include "framework/windows/resizer.h"
#include "framework/windows/toolbar.h"
#include "framework/windows/translator.h"
#include "framework/windows/window_component.h"
#include "window/window_layer.h"

namespace varnok::framework {

class ErrorManager;

// What the window is asked to do (Request, OriginalRequest).
enum WindowRequest : uint8_t {
    NoRequest = 0,
    InsertRecord = 1,
    ChangeRecord = 2,
    DeleteRecord = 3,
    ViewRecord = 6,
    SaveRecord = 7,  // set by the Save button while the save runs
};

// The result of Run (Response) and the actions of Buttons.
enum WindowResponse : uint8_t {
    NoResponse = 0,
    RequestCompleted = 1,
    RequestCancelled = 2,
};

// Bits of Inited.
enum InitedBits : uint8_t {
    InitedDisplayed = 1,  // FirstDisplay ran
    InitedSized = 2,      // the first EVENT:Sized has been seen
};

// Posted to the window after each EVENT:Sized: the resizer's cue.
inline constexpr uint16_t ResizerCue = 0x3FF;

// Messages of the error manager's table the window manager raises.
enum WindowMessageId : int32_t {
    MsgRecordAdded = 3,
    MsgChangesWillBeLost = 10,
    MsgRecordDeleteError = 36,
    MsgRecordUpdateError = 37,
    MsgSaveRecord = 38,
};

struct ButtonEntry {
    int32_t Control = 0;
    uint8_t Action = 0;  // WindowResponse
};

// Type 0: a WindowComponent; Type 1: a PrimaryBufferComponent.
struct ComponentEntry {
    int32_t Type = 0;
    WindowComponent* WC = nullptr;
};

struct FileEntry {
    FileHandler* File = nullptr;
    uint16_t Saved = 0;  // the buffer saved by PrepareRequest, 0 none
};

// A field whose previous value HistoryKey recalls.
struct FieldHistoryEntry {
    int32_t Control = 0;
    window::TextVariable Field;
    std::string Previous;  // the value when the window last completed
    bool Taken = false;    // Previous holds a value
};

class WindowManager {
public:
    WindowManager() = default;
    // Closes the window if it is still open; closes the binding scope if
    // Init opened one and Release never ran.
    virtual ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // ---- fields, in their order
    bool AutoRefresh = false;
    bool AutoToolbar = false;
    std::vector<ButtonEntry> Buttons;
    std::vector<ComponentEntry> CL;
    uint8_t CancelAction = 0;
    uint8_t ChangeAction = 0;
    bool Dead = false;
    uint8_t DeleteAction = 0;  // 2 or 4: ask before deleting
    bool BatchProcessing = false;
    ErrorManager* Errors = nullptr;  // nullptr: the program's errorManager()
    std::vector<FileEntry> Files;
    bool FilesOpened = false;
    int32_t FirstField = 0;
    bool ForcedReset = false;
    std::vector<FieldHistoryEntry> History;
    int32_t HistoryKey = 0;
    uint8_t Inited = 0;        // InitedBits
    uint8_t InsertAction = 0;  // 2 complete after an insert; 3 or 4 ask "Record Added"
    std::string LastInsertedPosition;
    int32_t OKControl = 0;
    int32_t SaveControl = 0;
    bool DisableCancelButton = false;
    bool Opened = false;
    uint8_t OriginalRequest = 0;
    bool RecordSaved = false;
    uint8_t BeforeSaveRequest = 0;
    RelationManager* Primary = nullptr;
    uint8_t Request = 0;  // WindowRequest
    bool ResetOnGainFocus = false;
    Resizer* Resize = nullptr;
    uint8_t Response = 0;  // WindowResponse
    uint16_t Saved = 0;    // the primary buffer saved by PrepareRequest
    FormNavigation* FormVCR = nullptr;
    framework::Toolbar* Toolbar = nullptr;
    framework::Translator* Translator = nullptr;
    int32_t* VCRRequest = nullptr;
    window::Window* MyWindow = nullptr;
    window::Window* OwnerWindow = nullptr;

    // ---- virtual operations, in slot order

    // The pull loop over MyWindow's events; returns at once when Dead or
    // when no window is open.
    virtual void RunEventLoop();
    // Empties Buttons and CL, opens a binding scope, sets the defaults.
    virtual uint8_t Init();
    // LevelNotify when dead or never initialised; else releases components,
    // queues, saved buffers, toolbar and resizer, and answers LevelQuiet.
    virtual uint8_t Release();
    virtual void FirstDisplay();
    // Opens the window registered under the name, owned by `owner` when
    // given (else by OwnerWindow); Opened stays 0 when it cannot be opened.
    virtual void OpenWindow(std::string_view resourceName, window::Window* owner = nullptr);
    virtual void PrimeNewRecord();
    // Saves the buffers of Files and, with a Primary, primes a new record
    // for an insert and saves the primary buffer (Saved).
    virtual uint8_t PrepareRequest();
    virtual void Refresh(bool force);
    virtual void RecallField(int32_t control);
    virtual uint8_t Run();
    virtual uint8_t Run(int32_t number, uint8_t request);
    virtual void RegisterAlerts();
    virtual void EndWithResponse(uint8_t response);
    virtual uint8_t OnAccepted();
    virtual uint8_t OnCompleted();
    virtual uint8_t OnClose();
    virtual uint8_t OnEvent();
    virtual uint8_t OnFieldEvent();
    virtual uint8_t OnNewSelection();
    virtual uint8_t OnNotify(uint32_t code, int32_t thread, int64_t parameter);
    virtual uint8_t OnRejected();
    virtual uint8_t OnSelected();
    virtual uint8_t OnWindowEvent();
    virtual void StoreControls();
    virtual void SetControlState(int32_t control, bool disabled);
    virtual uint8_t CompleteInsert();
    virtual uint8_t CompleteChange();
    virtual uint8_t CompleteDelete();
    virtual uint8_t SaveChangeAndStay();
    virtual uint8_t SaveInsertAndStay();

    // ---- non-virtual operations

    // Appends (Type 0, component) to CL.
    void AddComponent(WindowComponent* component);
    // Appends (Type 1, component): its Refresh runs inside the primary
    // buffer handling.
    void AddComponent(PrimaryBufferComponent* component);
    // Stores Toolbar and initialises it.
    void AttachToolbar(framework::Toolbar* toolbar);
    // Makes `field`, shown in `control`, recallable with HistoryKey.
    void AddHistoryField(int32_t control, window::TextVariable field);

    // The event being handled.
    const window::Event& currentEvent() const { return event_; }
    // Queues a notification and posts EVENT:Notify to the window; the
    // notification reaches OnNotify when that event is handled.
    void postNotification(uint32_t code, int32_t thread, int64_t parameter);

protected:
    // The error manager messages go to.
    ErrorManager& errors();
    // Focus to FirstField (when set); answers LevelNotify, the level of a
    // refused action.
    uint8_t refuse();
    // Starts the completion, as the OK button does.
    void startCompletion();
    // After a successful record request: files take their buffers back, the
    // primary buffer is saved again, the window redisplayed, FirstField focused.
    void afterSuccessfulRequest();
    // Closes the binding scope Init opened, if it is still open.
    void closeScope();
    // Enables or disables the buttons of Buttons whose action is cancel.
    void setCancelButtons(bool disabled);

private:
    // How a write that may be retried ended.
    enum class Retry { Done, GaveUp, Back };
    Retry writeWithRetry(bool deleting);
    void refreshComponent(const ComponentEntry& entry, bool force);
    void takeFieldHistory();

    std::unique_ptr<window::Window> window_;
    window::Event event_;
    bool created_ = false;    // Init made Buttons and CL
    bool scopeOpen_ = false;  // Init opened a binding scope not yet closed
    struct Notification {
        uint32_t code;
        int32_t thread;
        int64_t parameter;
    };
    std::deque<Notification> notifications_;
};

}  // namespace varnok::framework
