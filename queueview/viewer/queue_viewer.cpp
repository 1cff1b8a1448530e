// The viewer's life cycle and its commands. Fitting and resizing are in
// viewer_layout.cpp, the picture editor in viewer_picture_editor.cpp.
#include "queueview/viewer/queue_viewer.h"

#include <algorithm>
#include <cstring>

#include "platform/trailing_spaces.h"
#include "queueview/export/export_command.h"
#include "queueview/viewer/field_text.h"
#include "queueview/viewer/record_fields.h"
#include "runtime/queue/queue_registry.h"
#include "window/events.h"
#include "window/message_box.h"

namespace varnok::queueview {

namespace ev = window::event;
namespace prop = window::prop;

void ViewQueue(QueueDecl* queue, std::string_view title, int keepResourceTitle, const ExportWriter& writer,
               window::Window* owner) {
    if (!queue || !queue->layout || !queue->buffer) return;  // no queue: nothing to show
    QueueViewer viewer(queue, title, keepResourceTitle, writer, owner);
    viewer.Run();
}

void ViewRecord(const RecordLayout& layout, const uint8_t* record, std::string_view title, int stripPrefix,
                int useRecordTitle, const ExportWriter& writer, window::Window* owner) {
    Queue fieldQ(fieldQueueLayout());
    fillFieldQueue(fieldQ, layout, record, stripPrefix != 0);
    ViewQueue(fieldQ, useRecordTitle ? std::string_view("Record") : title, 0, writer, owner);
    FREE(fieldQ);
}

void ViewRecord(QueueDecl* queue, std::string_view title, int stripPrefix, int useRecordTitle,
                const ExportWriter& writer, window::Window* owner) {
    if (!queue || !queue->layout || !queue->buffer) return;
    ViewRecord(*queue->layout, queue->buffer, title, stripPrefix, useRecordTitle, writer, owner);
}

QueueViewer::QueueViewer(QueueDecl* queue, std::string_view title, int keepResourceTitle,
                         const ExportWriter& writer, window::Window* owner)
    : queue_(queue), title_(title), keepResourceTitle_(keepResourceTitle), writer_(writer), owner_(owner),
      source_(queue) {
    std::memset(pictureVariable_, ' ', sizeof pictureVariable_);
}

QueueViewer::~QueueViewer() {
    // The window outlives this object's members for a moment (the base
    // class closes it): it must not reach the list source or the variable.
    if (MyWindow && MyWindow->isOpen()) {
        MyWindow->bindList(ViewerList, nullptr);
        MyWindow->bindText(PicField, {});
    }
}

uint8_t QueueViewer::Init() {
    if (uint8_t r = WindowManager::Init()) return r;
    DimensionedField dimensioned;
    if (!describeColumns(queue_, ColumnQ, dimensioned)) {
        window::message(dimensionedFieldMessage(dimensioned), "Exit", window::IconExclamation);
        return framework::LevelFatal;
    }
    window::windowLayer().setCursor(window::Cursor::Wait);
    typeColumns(queue_, ColumnQ);
    window::windowLayer().setCursor(window::Cursor::Normal);

    registerViewerWindow();
    OpenWindow(ViewerWindowName, owner_);
    if (!Opened) return framework::LevelFatal;
    MyWindow->bindList(ViewerList, &source_);
    MyWindow->bindText(PicField, {pictureVariable_, sizeof pictureVariable_});
    if (keepResourceTitle_ == 0) MyWindow->setProperty(0, prop::Text, platform::withoutTrailingSpaces(title_));
    lastWidth_ = MyWindow->propertyNumber(0, prop::Width);
    lastHeight_ = MyWindow->propertyNumber(0, prop::Height);
    fitWindow(applyColumnLooks());
    RegisterAlerts();
    if (RECORDS(queue_) > 0) {
        MyWindow->select(ViewerList, 1);
        showRowStatus();
    } else {
        MyWindow->select(ViewerList);
    }
    return framework::LevelQuiet;
}

void QueueViewer::RegisterAlerts() {
    WindowManager::RegisterAlerts();
    if (!MyWindow) return;
    MyWindow->alert(ViewerList, window::key::MouseRight);
    MyWindow->alert(ViewerList, window::key::Ctrl + window::key::MouseRight);
}

uint8_t QueueViewer::OnAccepted() {
    if (uint8_t r = WindowManager::OnAccepted()) return r;
    switch (currentEvent().control) {
    case ViewButton: viewSelectedRecord(); break;
    case ExportButton: exportQueue(); break;
    case CloseButton: MyWindow->post(ev::CloseWindow); break;
    case PicField: applyPicture(); break;
    case HeaderRegion: window::message("Region"); break;
    default: break;
    }
    return framework::LevelQuiet;
}

uint8_t QueueViewer::OnNewSelection() {
    if (uint8_t r = WindowManager::OnNewSelection()) return r;
    if (currentEvent().control == ViewerList) showRowStatus();
    return framework::LevelQuiet;
}

uint8_t QueueViewer::OnSelected() {
    if (uint8_t r = WindowManager::OnSelected()) return r;
    switch (currentEvent().control) {
    case PicField: MyWindow->setProperty(PicField, prop::Touched, 1); break;
    case CloseButton:
        if (pictureEditorOpen()) closePictureEditor();
        break;
    default: break;
    }
    return framework::LevelQuiet;
}

uint8_t QueueViewer::OnFieldEvent() {
    if (uint8_t r = WindowManager::OnFieldEvent()) return r;
    const window::Event& e = currentEvent();
    if (e.number != ev::AlertKey || e.control != ViewerList) return framework::LevelQuiet;
    if (e.keyCode == window::key::MouseRight) openPictureEditor();
    else if (e.keyCode == window::key::Ctrl + window::key::MouseRight) followReference();
    return framework::LevelQuiet;
}

uint8_t QueueViewer::OnWindowEvent() {
    const uint8_t r = WindowManager::OnWindowEvent();
    if (currentEvent().number == ev::Sized) resize();
    return r;
}

void QueueViewer::showRowStatus() {
    const int32_t row = MyWindow->choice(ViewerList);
    MyWindow->setProperty(0, prop::StatusText,
                          "Row " + std::to_string(row) + " / " + std::to_string(RECORDS(queue_)), RowZone);
}

void QueueViewer::viewSelectedRecord() {
    const int32_t row = MyWindow->choice(ViewerList);
    if (row < 1 || readForDisplay(queue_, row) != 0) return;
    const uint8_t* view = secondView(queue_);
    if (!view) return;
    // The record view gets a copy of the entry; the queue's own buffer stays.
    const std::vector<uint8_t> record(view, view + queue_->recordSize);
    ViewRecord(*queue_->layout, record.data(), MyWindow->property(0, prop::Text), 1, 0, writer_, MyWindow);
}

void QueueViewer::followReference() {
    const int32_t row = MyWindow->choice(ViewerList);
    const int32_t column = MyWindow->propertyNumber(ViewerList, prop::MouseDownColumn);
    const int32_t shown = std::min<int32_t>(ViewerColumns, static_cast<int32_t>(ColumnQ.size()));
    if (row < 1 || column < 1 || column > shown) return;
    const ColumnEntry& entry = ColumnQ[static_cast<size_t>(column - 1)];
    if (entry.MaxFieldLen != int32_t(QueueReferenceSize) || entry.SameLen != 1) return;
    const unsigned answer = window::message(std::string(ReferenceQuestion), std::string(ReferenceCaption),
                                            window::IconQuestion, window::ButtonYes | window::ButtonNo,
                                            window::ButtonNo);
    if (answer != window::ButtonYes) return;
    // The cell's four characters name a queue only when the registry knows
    // them as a live queue's handle; anything else is refused, not followed.
    QueueDecl* referenced = nullptr;
    if (readForDisplay(queue_, row) == 0 && secondView(queue_)) {
        FieldTextReader reader;
        referenced = queueFromReferenceText(reader.text(*queue_->layout, secondView(queue_), column));
    }
    if (!referenced) {
        window::message(std::string(NoReferenceMessage), std::string(ReferenceCaption), window::IconExclamation);
        return;
    }
    const std::string header(platform::withoutTrailingSpaces(MyWindow->property(ViewerList, prop::ColumnHeader, column)));
    ViewQueue(referenced, header + ": " + std::to_string(row), 0, writer_, MyWindow);
}

void QueueViewer::exportQueue() {
    exportCommand(queue_, title_, writer_);
    MyWindow->select(ViewerList);
}

}  // namespace varnok::queueview
