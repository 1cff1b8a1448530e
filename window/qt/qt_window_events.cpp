// Where Qt's signals and input become the window core's neutral input.
// Everything the user does to this window passes through connectControl's
// signal handlers or eventFilter; what it means is the core's.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableView>
#include <QUrl>

#include "window/events.h"
#include "window/qt/program_text.h"
#include "window/qt/qt_window.h"

namespace varnok::window::qt {

namespace {

uint32_t modifierBits(Qt::KeyboardModifiers modifiers) {
    uint32_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= key::Shift;
    if (modifiers & Qt::ControlModifier) bits |= key::Ctrl;
    if (modifiers & Qt::AltModifier) bits |= key::Alt;
    return bits;
}

bool isEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: return true;
    default: return false;
    }
}

// Focus that comes back with the window, or goes with a popup, is no
// selection of a control.
bool movesBetweenControls(const QFocusEvent* focus) {
    return focus->reason() != Qt::ActiveWindowFocusReason && focus->reason() != Qt::PopupFocusReason;
}

bool isDrag(QEvent::Type type) {
    return type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
}

// The local files among what is dragged, in the order given.
std::vector<std::string> localFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.push_back(toProgram(url.toLocalFile()));
    }
    return files;
}

MouseButton buttonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    default: return MouseButton::Other;
    }
}

}  // namespace

void QtWindow::connectControl(int32_t number) {
    const NativeControl& c = controls_[static_cast<size_t>(number - 1)];
    c.widget->installEventFilter(this);
    if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) {
        QObject::connect(button, &QAbstractButton::clicked, this, [this, number] { buttonClicked(number); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(c.widget)) {
        QObject::connect(edit, &QLineEdit::returnPressed, this, [this, number] { entryDone(number); });
    } else if (c.list) {
        connectList(number);
    }
}

void QtWindow::connectList(int32_t number) {
    QTableView* list = controls_[static_cast<size_t>(number - 1)].list;
    list->viewport()->installEventFilter(this);
    QObject::connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                     [this, list, number](const QModelIndex& current) {
                         // The highlighted row is always the current row.
                         if (current.isValid() && !list->selectionModel()->isRowSelected(current.row()))
                             list->selectionModel()->select(
                                 current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                         if (current.isValid()) listRowMoved(number);
                     });
    QObject::connect(list->horizontalHeader(), &QHeaderView::sectionResized, this,
                     [this, number](int section, int, int size) { columnDragged(number, section, size); });
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!frame_) return false;
    if (watched == frame_ && event->type() == QEvent::Close) {
        if (closing_) return false;
        event->ignore();  // the program decides: EVENT:CloseWindow
        closeBoxPressed();
        return true;
    }
    if (!isOpen()) return false;
    if (refusesInput() && watched != frame_) return isInput(event->type());  // nothing reaches its controls
    if (refusesInput() && isInput(event->type())) return true;
    // What a popup opened next is placed by: the mouse, or the keyboard.
    if (event->type() == QEvent::KeyPress) inputFrom(true);
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) inputFrom(false);
    if (isDrag(event->type())) return dragEvent(watched == frame_ ? 0 : controlOf(watched), event);
    if (watched == frame_) return frameEvent(event);
    const int32_t control = controlOf(watched);
    return control ? controlEvent(control, watched, event) : false;
}

bool QtWindow::dragEvent(int32_t control, QEvent* event) {
    const int32_t target = dropTarget(control);
    if (target < 0) return false;
    auto* drag = static_cast<QDropEvent*>(event);  // DragEnter and DragMove are drop events too
    std::vector<std::string> files = localFiles(drag->mimeData());
    if (files.empty()) return false;
    drag->acceptProposedAction();
    if (event->type() == QEvent::Drop) filesDropped(target, std::move(files));
    return true;
}

bool QtWindow::frameEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
        layoutFrame();
        frameSized({frame_->width(), frame_->height()});
        break;
    case QEvent::Move: frameMoved(frame_->x(), frame_->y()); break;
    case QEvent::WindowStateChange: frameStateChanged(nativeFrameState()); break;
    case QEvent::ActivationChange: frameActivated(frame_->isActiveWindow()); break;
    case QEvent::KeyPress: return keyEvent(0, frame_, static_cast<QKeyEvent*>(event));  // keys no control took
    default: break;
    }
    return false;
}

bool QtWindow::controlEvent(int32_t control, QObject* watched, QEvent* event) {
    const NativeControl& c = controls_[static_cast<size_t>(control - 1)];
    const bool viewport = c.list && watched == c.list->viewport();
    switch (event->type()) {
    case QEvent::Resize:  // the list, or its viewport when the vertical scroll bar comes or goes
        listResized(control);
        break;
    case QEvent::FocusIn:
        if (!viewport && movesBetweenControls(static_cast<QFocusEvent*>(event))) controlFocused(control);
        break;
    case QEvent::FocusOut:
        if (qobject_cast<QLineEdit*>(c.widget) && movesBetweenControls(static_cast<QFocusEvent*>(event)))
            entryDone(control);
        break;
    case QEvent::KeyPress: return keyEvent(control, watched, static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: return mouseEvent(control, watched, static_cast<QMouseEvent*>(event));
    default: break;
    }
    return false;
}

bool QtWindow::keyEvent(int32_t control, QObject* watched, QKeyEvent* key) {
    const uint32_t modifiers = modifierBits(key->modifiers());
    if (key->key() == Qt::Key_Escape) return escapePressed(modifiers);
    if (key->key() == Qt::Key_Space && control) return spacePressed(control, modifiers);
    const NativeControl* c = native(control);
    if (c && c->list && watched == c->list && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End) &&
        !(key->modifiers() & Qt::ControlModifier)) {
        // Home and End go to the list's first and last row, as Ctrl with
        // them does (alone they would go to its first and last column,
        // which a list of whole rows has no use for).
        QKeyEvent rows(QEvent::KeyPress, key->key(), key->modifiers() | Qt::ControlModifier);
        QCoreApplication::sendEvent(c->list, &rows);
        return true;
    }
    return isEnter(key) && enterPressed(control, modifiers);
}

bool QtWindow::mouseEvent(int32_t control, QObject* watched, QMouseEvent* mouse) {
    const NativeControl& c = controls_[static_cast<size_t>(control - 1)];
    const uint32_t modifiers = modifierBits(mouse->modifiers());
    const QPoint at = mouse->position().toPoint();
    switch (mouse->type()) {
    case QEvent::MouseButtonPress:
        if (c.list && watched == c.list->viewport()) {
            const int column = c.list->columnAt(at.x()), row = c.list->rowAt(at.y());
            return listPressed(control, buttonOf(mouse->button()), column + 1, row + 1, modifiers);
        }
        return mouse->button() == Qt::RightButton && rightPressed(control, modifiers);
    case QEvent::MouseButtonDblClick: return mouse->button() == Qt::LeftButton && doubleClicked(control, modifiers);
    default:
        if (mouse->button() == Qt::LeftButton && c.widget->rect().contains(at)) regionClicked(control);
        return false;
    }
}

}  // namespace varnok::window::qt
