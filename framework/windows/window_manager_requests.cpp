// WindowManager: the completion, the record requests of a window that edits
// one record of its primary file, and the close road with its questions.

#include "framework/errors/error_manager.h"
#include "framework/windows/window_manager.h"
#include "window/events.h"
#include "window/message_box.h"

namespace varnok::framework {

namespace ev = window::event;

namespace {
// LastInsertedPosition holds at most this many bytes.
constexpr size_t PositionSize = 1024;

std::string positionText(std::string position) {
    if (position.size() > PositionSize) position.resize(PositionSize);
    return position;
}
}  // namespace

void WindowManager::startCompletion() {
    if (!MyWindow) return;
    switch (OriginalRequest) {
        case InsertRecord:
        case ChangeRecord:
            MyWindow->acceptAll();
            break;
        case ViewRecord:
            if (!BatchProcessing) MyWindow->post(ev::Completed);
            MyWindow->acceptAll();
            break;
        default:
            if (BatchProcessing) {
                MyWindow->acceptAll();
            } else {
                MyWindow->post(ev::Completed);
            }
            break;
    }
}

void WindowManager::afterSuccessfulRequest() {
    for (FileEntry& file : Files) {
        if (!file.File || file.Saved == 0) continue;
        file.File->RestoreBuffer(file.Saved);
        file.Saved = file.File->SaveBuffer();
    }
    if (Primary) {
        if (Saved != 0) Primary->RestoreBuffer(Saved, false);
        Saved = Primary->SaveBuffer();
    }
    if (MyWindow) {
        MyWindow->display();
        if (FirstField != 0) MyWindow->select(FirstField);
    }
}

uint8_t WindowManager::OnCompleted() {
    takeFieldHistory();
    switch (Request) {
        case InsertRecord:
            return CompleteInsert();
        case ChangeRecord:
            return CompleteChange();
        case DeleteRecord:
            return CompleteDelete();
        case SaveRecord:
            // Chosen by the request the Save button interrupted: after a
            // record was inserted and the window stayed, that is a change.
            if (BeforeSaveRequest == InsertRecord) return SaveInsertAndStay();
            if (BeforeSaveRequest == ChangeRecord) return SaveChangeAndStay();
            Request = BeforeSaveRequest;
            return LevelQuiet;
        case ViewRecord:
            if (!BatchProcessing) return LevelQuiet;
            if (FormVCR) FormVCR->Next();
            Refresh(false);
            return LevelNotify;
        default:
            return LevelQuiet;
    }
}

WindowManager::Retry WindowManager::writeWithRetry(bool deleting) {
    bool ask = DeleteAction == 2 || DeleteAction == 4;
    for (;;) {
        const uint8_t r = deleting ? Primary->Delete(ask) : Primary->Update();
        if (r == LevelQuiet) return Retry::Done;
        if (deleting && ask && r == LevelCancel) return Retry::Back;  // the user said no
        ask = false;  // a retry does not ask "are you sure" again
        const unsigned answer =
            errors().MessageFor(deleting ? MsgRecordDeleteError : MsgRecordUpdateError,
                                window::ButtonYes | window::ButtonNo | window::ButtonCancel, window::ButtonCancel);
        if (answer == window::ButtonYes) continue;
        return answer == window::ButtonNo ? Retry::GaveUp : Retry::Back;
    }
}

uint8_t WindowManager::CompleteInsert() {
    if (!Primary) return LevelQuiet;
    if (Primary->Insert() != LevelQuiet) return refuse();
    bool another = false;
    if (InsertAction == 3 || InsertAction == 4) another = errors().RaiseError(MsgRecordAdded) == LevelQuiet;
    if (another) {
        LastInsertedPosition = positionText(Primary->Position());
        PrimeNewRecord();
    }
    afterSuccessfulRequest();
    if (!another) EndWithResponse(RequestCompleted);
    return LevelQuiet;
}

uint8_t WindowManager::CompleteChange() {
    if (!Primary) return LevelQuiet;
    switch (writeWithRetry(false)) {
        case Retry::Done:
            afterSuccessfulRequest();
            EndWithResponse(RequestCompleted);
            return LevelQuiet;
        case Retry::GaveUp:
            // Giving up drops the edits: the record goes back to what was
            // saved, so the close that follows has nothing left to ask about.
            if (Saved != 0) {
                Primary->RestoreBuffer(Saved);
                Saved = Primary->SaveBuffer();
            }
            if (MyWindow) MyWindow->display();
            if (BatchProcessing) return refuse();
            EndWithResponse(RequestCancelled);
            return LevelQuiet;
        case Retry::Back:
            break;
    }
    return refuse();
}

uint8_t WindowManager::CompleteDelete() {
    if (!Primary) return LevelQuiet;
    switch (writeWithRetry(true)) {
        case Retry::Done:
            afterSuccessfulRequest();
            EndWithResponse(RequestCompleted);
            return LevelQuiet;
        case Retry::GaveUp:
            if (BatchProcessing) return refuse();
            EndWithResponse(RequestCancelled);
            return LevelQuiet;
        case Retry::Back:
            break;
    }
    return refuse();
}

uint8_t WindowManager::SaveChangeAndStay() {
    const uint8_t before = BeforeSaveRequest;
    if (!Primary) {
        Request = before;
        return LevelQuiet;
    }
    const Retry result = writeWithRetry(false);
    Request = before;
    if (result != Retry::Done) return refuse();
    RecordSaved = true;
    afterSuccessfulRequest();
    if (DisableCancelButton) setCancelButtons(true);
    return LevelQuiet;
}

uint8_t WindowManager::SaveInsertAndStay() {
    if (!Primary) {
        Request = BeforeSaveRequest;
        return LevelQuiet;
    }
    if (Primary->Insert() != LevelQuiet) {
        Request = BeforeSaveRequest;
        return refuse();
    }
    RecordSaved = true;
    LastInsertedPosition = positionText(Primary->Position());
    // The record exists now: a later Save or OK writes it back instead of
    // adding it a second time.
    Request = ChangeRecord;
    afterSuccessfulRequest();
    if (DisableCancelButton) setCancelButtons(true);
    return LevelQuiet;
}

uint8_t WindowManager::OnClose() {
    if (Response == RequestCompleted || !Primary) return LevelQuiet;
    const bool editing = Request == InsertRecord || Request == ChangeRecord;
    // Without a saved copy there is nothing to compare with: the record
    // counts as changed, so nothing is dropped without asking.
    if (editing && !(Saved != 0 && Primary->EqualBuffer(Saved))) {
        // Pressing OK for the user; a window without an OK control starts
        // the completion itself (posting EVENT:Accepted to control 0 would
        // reach no one, and the window could never be closed).
        auto pressOk = [this] {
            if (OKControl != 0) {
                if (MyWindow) MyWindow->post(ev::Accepted, OKControl);
            } else {
                startCompletion();
            }
        };
        if (!(CancelAction & 1)) {
            if (errors().RaiseError(MsgChangesWillBeLost) == LevelCancel) return refuse();
        } else if (!(CancelAction & 2)) {
            pressOk();
            return LevelNotify;
        } else {
            const unsigned answer = errors().MessageFor(
                MsgSaveRecord, window::ButtonYes | window::ButtonNo | window::ButtonCancel, window::ButtonCancel);
            if (answer == window::ButtonYes) {
                pressOk();
                return LevelNotify;
            }
            if (answer != window::ButtonNo) return refuse();
        }
    }
    if (Request == InsertRecord && Primary->CancelAutoInc() != LevelQuiet) return refuse();
    if (!LastInsertedPosition.empty()) {
        Response = RequestCompleted;
        Primary->ResetPosition(LastInsertedPosition);
    }
    return LevelQuiet;
}

}  // namespace varnok::framework
