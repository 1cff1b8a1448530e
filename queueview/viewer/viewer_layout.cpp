// The viewer's columns, the fitting of its window to the queue, and the
// layout that follows the window's size.
#include <algorithm>

#include "platform/trailing_spaces.h"
#include "queueview/viewer/field_text.h"
#include "queueview/viewer/queue_viewer.h"
#include "window/list_format.h"

namespace varnok::queueview {

namespace prop = window::prop;

int64_t QueueViewer::applyColumnLooks() {
    window::Window& w = *MyWindow;
    // Every column starts as column 1 of the structure; the list gets all of
    // them in one format text (one relayout instead of one per property).
    const window::ListColumn first = window::parseListColumn(w.property(ViewerList, prop::ColumnFormat, 1));
    const size_t shown = std::min<size_t>(ViewerColumns, ColumnQ.size());
    std::vector<window::ListColumn> columns(shown, first);
    int64_t total = 0;
    for (size_t i = 0; i < shown; ++i) {
        const ColumnEntry& entry = ColumnQ[i];
        const ColumnLook look = columnLook(entry);
        window::ListColumn& c = columns[i];
        c.header = entry.PFieldName.substr(0, platform::trimmedLength(entry.PFieldName.data(), entry.PFieldName.size()));
        c.hasHeader = true;
        c.width = look.width;
        c.picture = look.picture;
        if (look.align != first.align) {
            // Numbers and dates align data and header alike; texts keep the
            // format's own alignment.
            c.align = look.align;
            c.headerAlign = look.headerAlign;
        }
        total += look.width + 1;
    }
    // A queue of fewer fields than the list has columns shows only its own.
    w.setProperty(ViewerList, prop::Format, window::formatListColumns(columns));
    for (size_t i = 0; i < shown; ++i)
        ColumnQ[i].Picture = w.property(ViewerList, prop::ColumnPicture, static_cast<int32_t>(i + 1));
    return total;
}

void QueueViewer::fitWindow(int64_t columnsWidth) {
    window::Window& w = *MyWindow;
    if (columnsWidth > w.propertyNumber(ViewerList, prop::Width)) {
        const int32_t pictureRight = w.propertyNumber(PicField, prop::Xpos) + w.propertyNumber(PicField, prop::Width);
        w.setProperty(0, prop::Width, pictureRight + 4 + w.propertyNumber(CloseButton, prop::Width) + 4 + 60);
        resize();  // the region, the list and the Close button follow the new width
    }

    const int32_t entries = static_cast<int32_t>(RECORDS(queue_));
    const int32_t room = w.propertyNumber(ViewerList, prop::Items);
    const int32_t listHeight = w.propertyNumber(ViewerList, prop::Height);
    w.setProperty(ViewerList, prop::Items, room > entries ? std::max(entries, 5) : 5);
    const int32_t change = w.propertyNumber(ViewerList, prop::Height) - listHeight;
    if (entries > 0 && change != 0) {
        // The window follows the list, so the space below it stays; the
        // list already has its height, the controls below move with it.
        w.setProperty(0, prop::Height, w.propertyNumber(0, prop::Height) + change);
        for (int32_t c : {ViewButton, ExportButton, PicFieldPrompt, PicField, CloseButton}) moveControl(c, 0, change);
    }
    lastWidth_ = minWidth_ = w.propertyNumber(0, prop::Width);
    lastHeight_ = minHeight_ = w.propertyNumber(0, prop::Height);
    w.setProperty(0, prop::MinWidth, minWidth_);
    w.setProperty(0, prop::MinHeight, minHeight_);
}

void QueueViewer::resize() {
    if (!MyWindow) return;
    window::Window& w = *MyWindow;
    int32_t width = w.propertyNumber(0, prop::Width);
    int32_t height = w.propertyNumber(0, prop::Height);
    if (width < minWidth_ || height < minHeight_) {
        width = std::max(width, minWidth_);
        height = std::max(height, minHeight_);
        w.setProperty(0, prop::Width, width);
        w.setProperty(0, prop::Height, height);
    }
    const int32_t dw = width - lastWidth_;
    const int32_t dh = height - lastHeight_;
    if (dw == 0 && dh == 0) return;
    growControl(HeaderRegion, dw, 0);
    growControl(ViewerList, dw, dh);
    for (int32_t c : {ViewButton, ExportButton, PicFieldPrompt, PicField}) moveControl(c, 0, dh);
    moveControl(CloseButton, dw, dh);
    lastWidth_ = width;
    lastHeight_ = height;
}

void QueueViewer::moveControl(int32_t control, int32_t dx, int32_t dy) {
    if (dx) MyWindow->setProperty(control, prop::Xpos, MyWindow->propertyNumber(control, prop::Xpos) + dx);
    if (dy) MyWindow->setProperty(control, prop::Ypos, MyWindow->propertyNumber(control, prop::Ypos) + dy);
}

void QueueViewer::growControl(int32_t control, int32_t dw, int32_t dh) {
    if (dw) MyWindow->setProperty(control, prop::Width, MyWindow->propertyNumber(control, prop::Width) + dw);
    if (dh) MyWindow->setProperty(control, prop::Height, MyWindow->propertyNumber(control, prop::Height) + dh);
}

}  // namespace varnok::queueview
