// Where Qt's signals and input become the window's events (qt_window.h
// lists them). Everything the user does to this window passes through
// connectControl's signal handlers or eventFilter.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHeaderView>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QUrl>

#include "window/events.h"
#include "window/qt/list_model.h"
#include "window/qt/program_text.h"
#include "window/qt/qt_window.h"
#include "window/qt/qt_window_layer.h"

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

}  // namespace

void QtWindow::push(Event event) {
    if (!open_) return;
    queue_.push(event);
    if (loop_) loop_->quit();
}

void QtWindow::connectControl(int32_t number) {
    Control& c = controls_[static_cast<size_t>(number - 1)];
    c.widget->installEventFilter(this);
    switch (c.spec.kind) {
    case ControlKind::Button:
        QObject::connect(static_cast<QAbstractButton*>(c.widget), &QAbstractButton::clicked, this,
                         [this, number] { push({event::Accepted, number, 0}); });
        break;
    case ControlKind::Entry:
        QObject::connect(static_cast<QLineEdit*>(c.widget), &QLineEdit::returnPressed, this,
                         [this, number] { acceptEntry(number); });
        break;
    case ControlKind::List:
        c.list->viewport()->installEventFilter(this);
        QObject::connect(c.list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                         [this, number](const QModelIndex& current) {
                             Control& list = controls_[static_cast<size_t>(number - 1)];
                             // The highlighted row is always the current row.
                             if (current.isValid() && !list.list->selectionModel()->isRowSelected(current.row())) {
                                 list.list->selectionModel()->select(
                                     current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                             }
                             if (!programmatic_ && current.isValid()) push({event::NewSelection, number, 0});
                         });
        QObject::connect(c.list->horizontalHeader(), &QHeaderView::sectionResized, this,
                         [this, number](int section, int, int size) {
                             if (programmatic_) return;
                             Control& list = controls_[static_cast<size_t>(number - 1)];
                             std::vector<ListColumn> columns = list.model->columns();
                             if (section < 0 || static_cast<size_t>(section) >= columns.size() ||
                                 static_cast<size_t>(section) >= list.columnPixels.size())
                                 return;
                             columns[static_cast<size_t>(section)].width = pixelsToUnitsX(size, base_);
                             list.model->setColumns(std::move(columns));
                             list.columnPixels[static_cast<size_t>(section)] = size;
                             fitColumns(list);
                             push({event::ColumnResize, number, 0});
                         });
        break;
    default: break;
    }
}

void QtWindow::acceptEntry(int32_t control) {
    Control* c = find(control);
    auto* edit = c ? qobject_cast<QLineEdit*>(c->widget) : nullptr;
    if (!edit || !open_) return;
    if (!edit->isModified() && !c->touched) return;
    writeVariable(*c);
    edit->setModified(false);
    c->touched = false;
    push({event::Accepted, control, 0});
}

bool QtWindow::pressDefaultButton() {
    for (Control& c : controls_) {
        auto* button = qobject_cast<QPushButton*>(c.widget);
        if (button && button->isDefault() && button->isVisible() && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return false;
}

bool QtWindow::pressCancelButton() {
    for (Control& c : controls_) {
        auto* button = qobject_cast<QPushButton*>(c.widget);
        if (button && c.spec.isCancel && button->isVisible() && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return false;
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!frame_) return false;
    if (watched == frame_ && event->type() == QEvent::Close) {
        if (closing_) return false;
        event->ignore();  // the program decides: EVENT:CloseWindow
        if (!refusesInput()) push({event::CloseWindow, 0, 0});
        return true;
    }
    if (!open_) return false;
    if (refusesInput() && watched != frame_) return isInput(event->type());  // nothing reaches its controls
    if (refusesInput() && isInput(event->type())) return true;
    // What a popup opened next is placed by: the mouse, or the keyboard.
    if (event->type() == QEvent::KeyPress) keyboardInput_ = true;
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        keyboardInput_ = false;
    if (isDrag(event->type())) return dragEvent(watched == frame_ ? 0 : controlOf(watched), event);
    if (watched == frame_) return frameEvent(event);
    const int32_t control = controlOf(watched);
    return control ? controlEvent(control, watched, event) : false;
}

void QtWindow::acceptDrops(int32_t control) {
    if (control == 0) {
        windowDrops_ = true;
        frame_->setAcceptDrops(true);
        return;
    }
    Control* c = find(control);
    if (!c) return;
    c->acceptsDrops = true;
    c->widget->setAcceptDrops(true);
    if (c->list) c->list->viewport()->setAcceptDrops(true);
}

bool QtWindow::dragEvent(int32_t control, QEvent* event) {
    const Control* c = find(control);
    const int32_t target = c && c->acceptsDrops ? control : windowDrops_ ? 0 : -1;
    if (target < 0) return false;
    auto* drag = static_cast<QDropEvent*>(event);  // DragEnter and DragMove are drop events too
    std::vector<std::string> files = localFiles(drag->mimeData());
    if (files.empty()) return false;
    drag->acceptProposedAction();
    if (event->type() == QEvent::Drop) push({event::Drop, target, 0, std::move(files)});
    return true;
}

bool QtWindow::frameEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
        layoutFrame();
        if (frame_->size() != lastSize_) {
            lastSize_ = frame_->size();
            push({event::Sized, 0, 0});
        }
        break;
    case QEvent::Move:
        if (frame_->pos() != lastPos_) {
            lastPos_ = frame_->pos();
            push({event::Moved, 0, 0});
        }
        break;
    case QEvent::WindowStateChange: {
        const Qt::WindowStates old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        const Qt::WindowStates now = frame_->windowState();
        if ((now & Qt::WindowMinimized) && !(old & Qt::WindowMinimized)) {
            push({event::Iconized, 0, 0});
        } else if ((now & Qt::WindowMaximized) && !(old & Qt::WindowMaximized)) {
            push({event::Maximized, 0, 0});
        } else if (!(now & (Qt::WindowMinimized | Qt::WindowMaximized)) &&
                   (old & (Qt::WindowMinimized | Qt::WindowMaximized))) {
            push({event::Restored, 0, 0});
        }
        break;
    }
    case QEvent::ActivationChange:
        if (frame_->isActiveWindow() != active_) {
            active_ = frame_->isActiveWindow();
            push({active_ ? event::GainFocus : event::LoseFocus, 0, 0});
        }
        break;
    case QEvent::KeyPress: {  // keys no control took
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && pressCancelButton()) return true;
        if (!isEnter(key)) break;
        const uint32_t code = key::Enter | modifierBits(key->modifiers());
        if (alerted(0, code)) {
            push({event::AlertKey, 0, code});
            return true;
        }
        if (pressDefaultButton()) return true;
        break;
    }
    default: break;
    }
    return false;
}

bool QtWindow::controlEvent(int32_t control, QObject* watched, QEvent* event) {
    Control& c = controls_[static_cast<size_t>(control - 1)];
    const bool viewport = c.list && watched == c.list->viewport();
    switch (event->type()) {
    case QEvent::Resize:  // the list, or its viewport when the vertical scroll bar comes or goes
        if (c.list) fitColumns(c);
        break;
    case QEvent::FocusIn:
        if (!viewport && movesBetweenControls(static_cast<QFocusEvent*>(event)))
            push({event::Selected, control, 0});
        break;
    case QEvent::FocusOut:
        if (c.spec.kind == ControlKind::Entry && movesBetweenControls(static_cast<QFocusEvent*>(event)))
            acceptEntry(control);
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && pressCancelButton()) return true;
        if (c.list && !viewport && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End) &&
            !(key->modifiers() & Qt::ControlModifier)) {
            // Home and End go to the list's first and last row, as Ctrl
            // with them does (alone they would go to its first and last
            // column, which a list of whole rows has no use for).
            QKeyEvent rows(QEvent::KeyPress, key->key(), key->modifiers() | Qt::ControlModifier);
            QCoreApplication::sendEvent(c.list, &rows);
            return true;
        }
        if (!isEnter(key)) break;
        const uint32_t code = key::Enter | modifierBits(key->modifiers());
        if (alerted(control, code)) {
            push({event::AlertKey, control, code});
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const uint32_t mods = modifierBits(mouse->modifiers());
        if (viewport) {
            const QPoint at = mouse->position().toPoint();
            const int column = c.list->columnAt(at.x());
            const int row = c.list->rowAt(at.y());
            c.mouseDownColumn = column >= 0 ? column + 1 : 0;
            c.mouseDownRow = row >= 0 ? row + 1 : 0;
            // A press on no row leaves no row highlighted, nor a current
            // row that Enter or a command could still act on.
            if (row < 0 && (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton))
                c.list->selectionModel()->clear();
            if (mouse->button() == Qt::RightButton && alerted(control, key::MouseRight | mods)) {
                // The row under the mouse becomes the highlighted one, as
                // the user's own choice.
                if (row >= 0) c.list->selectionModel()->setCurrentIndex(
                    c.model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                c.list->setFocus(Qt::MouseFocusReason);
                push({event::AlertKey, control, key::MouseRight | mods});
                return true;
            }
        } else if (mouse->button() == Qt::RightButton && alerted(control, key::MouseRight | mods)) {
            push({event::AlertKey, control, key::MouseRight | mods});
            return true;
        }
        break;
    }
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const uint32_t code = key::MouseLeft2 | modifierBits(mouse->modifiers());
        if (mouse->button() == Qt::LeftButton && alerted(control, code)) {
            push({event::AlertKey, control, code});
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (c.spec.kind == ControlKind::Region && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            c.widget->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
            push({event::Accepted, control, 0});
        break;
    default: break;
    }
    return false;
}

}  // namespace varnok::window::qt
