// The picture editor: a right click on a column shows its picture in the
// entry below the list; accepting the entry gives the column the picture
// typed (and the alignment of its kind), moving to Close drops it.
#include <algorithm>
#include <cstring>

#include "platform/trailing_spaces.h"
#include "queueview/viewer/field_text.h"
#include "queueview/viewer/queue_viewer.h"

namespace varnok::queueview {

namespace prop = window::prop;

bool QueueViewer::pictureEditorOpen() const { return currentColumn_ != 0; }

void QueueViewer::openPictureEditor() {
    window::Window& w = *MyWindow;
    const int32_t column = w.propertyNumber(ViewerList, prop::MouseDownColumn);
    const int32_t shown = std::min<int32_t>(ViewerColumns, static_cast<int32_t>(ColumnQ.size()));
    if (column < 1 || column > shown) return;
    currentColumn_ = column;
    w.setProperty(0, prop::StatusText, "Column " + std::to_string(column), ColumnZone);
    w.setProperty(PicFieldPrompt, prop::Text, "Picture - " + w.property(ViewerList, prop::ColumnHeader, column) + ": ");
    const int32_t promptRight = w.propertyNumber(PicFieldPrompt, prop::Xpos) + w.propertyNumber(PicFieldPrompt, prop::Width);
    w.setProperty(PicField, prop::Xpos, promptRight + 2);
    const std::string picture = w.property(ViewerList, prop::ColumnPicture, column);
    const size_t n = std::min(picture.size(), sizeof pictureVariable_);
    std::memcpy(pictureVariable_, picture.data(), n);
    std::memset(pictureVariable_ + n, ' ', sizeof pictureVariable_ - n);
    w.display(PicField);
    // The entry takes the focus before the list is disabled: a disabled list
    // would hand the focus on to the next control, the Close button, whose
    // EVENT:Selected drops the editor.
    w.setProperty(PicFieldPrompt, prop::Hide, 0);
    w.setProperty(PicField, prop::Hide, 0);
    w.select(PicField);
    w.setProperty(ViewerList, prop::Disable, 1);
}

void QueueViewer::applyPicture() {
    if (!pictureEditorOpen()) return;
    window::Window& w = *MyWindow;
    const int32_t column = currentColumn_;
    const std::string picture(pictureVariable_, platform::trimmedLength(pictureVariable_, sizeof pictureVariable_));
    w.setProperty(ViewerList, prop::ColumnPicture, picture, column);
    ColumnQ[static_cast<size_t>(column - 1)].Picture = w.property(ViewerList, prop::ColumnPicture, column);
    if (const char align = alignmentForPicture(picture)) {
        w.setProperty(ViewerList, prop::ColumnAlign, std::string_view(&align, 1), column);
        w.setProperty(ViewerList, prop::HeaderAlign, std::string_view(&align, 1), column);
    }
    closePictureEditor();
}

void QueueViewer::closePictureEditor() {
    window::Window& w = *MyWindow;
    currentColumn_ = 0;
    w.setProperty(0, prop::StatusText, "", ColumnZone);
    // The list takes the focus back before the entry that has it is hidden.
    w.setProperty(ViewerList, prop::Disable, 0);
    w.setProperty(CloseButton, prop::Disable, 0);
    w.select(ViewerList);
    w.setProperty(PicFieldPrompt, prop::Hide, 1);
    w.setProperty(PicField, prop::Hide, 1);
}

}  // namespace varnok::queueview
