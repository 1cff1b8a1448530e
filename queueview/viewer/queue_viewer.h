// The queue viewer: any queue shown as a table in a window of its own, one
// column per field (at most 50), one row per entry, each column typed from
// its values (column_typing.h). From the window the user can
//   - View the highlighted entry as a list of fields (ViewRecord), in a
//     viewer of its own;
//   - right-click a column to edit its picture (the column's alignment
//     follows the picture's kind); Enter applies it, moving to Close drops it;
//   - Ctrl+right-click a column whose every value is four characters long
//     to follow a reference to another queue (queue_registry.h): after the
//     user's Yes, the viewer opens only when the cell names a live queue,
//     and otherwise says that the cell holds no queue reference;
//   - Export the queue as CSV or XML (queueview/export/export_command.h).
//
// ViewQueue returns when its window closes. The viewer runs on the
// framework's WindowManager, so a viewer opened from another (a record, a
// referenced queue) runs its own loop inside the handler that opened it,
// and the window below waits until it closes.
//
// The list reads the viewed queue through read-for-display
// (framework::QueueListSource): the viewer never copies the queue, and leaves
// its buffer, position and change counter alone; so does the typing pass.
//
// Fitting the window after typing: when the columns are wider than the
// list, the window is made 305 units wide (the picture entry's right edge,
// the Close button and margins); the list shows as many rows as the queue
// has entries, at least 5, when it had room for more, else 5; the window's
// height follows the list's so the space below it stays; and that size
// becomes the window's minimum. Resizing grows the header region and the
// list with the window and moves the buttons, prompt and picture entry
// down (and the Close button right) with it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/windows/window_manager.h"
#include "queueview/export/export_writer.h"
#include "queueview/viewer/column_typing.h"
#include "queueview/viewer/viewer_window.h"
#include "runtime/queue/queue.h"
#include "framework/windows/queue_list_source.h"

namespace varnok::queueview {

// Opens the viewer on the queue and returns when its window closes. With
// keepResourceTitle 0 the window's title is `title` without trailing
// spaces, else "Queue". `title` also names export files. `owner`: the
// window the viewer opens over, if any. A missing queue (nullptr, or a
// declaration without layout or buffer) shows nothing.
void ViewQueue(QueueDecl* queue, std::string_view title, int keepResourceTitle, const ExportWriter& writer,
               window::Window* owner = nullptr);

// Shows one record as a list of its fields (record_fields.h) in a viewer
// titled "Record" when useRecordTitle is set, else `title`.
void ViewRecord(const RecordLayout& layout, const uint8_t* record, std::string_view title, int stripPrefix,
                int useRecordTitle, const ExportWriter& writer, window::Window* owner = nullptr);
// The same for the record in a queue's buffer.
void ViewRecord(QueueDecl* queue, std::string_view title, int stripPrefix, int useRecordTitle,
                const ExportWriter& writer, window::Window* owner = nullptr);

// The texts of following a reference.
constexpr std::string_view ReferenceCaption = "View reference queue";
constexpr std::string_view ReferenceQuestion =
    "This may be a reference to a queue||N.B. This will GPF if not a queue reference||View this queue ?";
constexpr std::string_view NoReferenceMessage = "This cell does not hold a reference to a queue.";

class QueueViewer : public framework::WindowManager {
public:
    QueueViewer(QueueDecl* queue, std::string_view title, int keepResourceTitle, const ExportWriter& writer,
                window::Window* owner);
    ~QueueViewer() override;

    uint8_t Init() override;
    void RegisterAlerts() override;
    uint8_t OnAccepted() override;
    uint8_t OnNewSelection() override;
    uint8_t OnSelected() override;
    uint8_t OnFieldEvent() override;
    uint8_t OnWindowEvent() override;

    // For tests.
    const std::vector<ColumnEntry>& columns() const { return ColumnQ; }
    int32_t currentColumn() const { return currentColumn_; }

private:
    // Fitting and resizing (viewer_layout.cpp).
    // Step 4: each column's format, header, width, picture and alignment;
    // answers the sum of (width + 1) over the columns set.
    int64_t applyColumnLooks();
    void fitWindow(int64_t columnsWidth);
    void resize();
    void moveControl(int32_t control, int32_t dx, int32_t dy);
    void growControl(int32_t control, int32_t dw, int32_t dh);

    // The picture editor (viewer_picture_editor.cpp).
    void openPictureEditor();
    void applyPicture();
    void closePictureEditor();
    bool pictureEditorOpen() const;

    // Commands.
    void viewSelectedRecord();
    void followReference();
    void exportQueue();
    void showRowStatus();

    QueueDecl* queue_;
    std::string title_;
    int keepResourceTitle_;
    const ExportWriter& writer_;
    window::Window* owner_;

    std::vector<ColumnEntry> ColumnQ;
    framework::QueueListSource source_;
    char pictureVariable_[PictureVariableSize];
    int32_t currentColumn_ = 0;  // the column whose picture is edited; 0 none

    // The window's size at the last layout, and its minimum (dialog units).
    int32_t lastWidth_ = 0, lastHeight_ = 0;
    int32_t minWidth_ = 0, minHeight_ = 0;
};

}  // namespace varnok::queueview
