#include "window/qt/qt_window_layer.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMenu>
#include <algorithm>

#include "window/qt/file_dialog.h"
#include "window/qt/popup_menu.h"
#include "window/qt/qt_window.h"

namespace varnok::window::qt {

QtWindowLayer::QtWindowLayer() {
    // Windows end when the program closes them; closing the last one must
    // not quit the event loops that are waiting for its events.
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::setQuitOnLastWindowClosed(false);
}

QtWindowLayer::~QtWindowLayer() {
    if (waitCursor_ && qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::restoreOverrideCursor();
}

std::unique_ptr<Window> QtWindowLayer::open(std::string_view resourceName, Window* owner) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    const WindowStructure* structure = findWindowStructure(resourceName);
    if (!structure) return nullptr;
    QtWindow* below = dynamic_cast<QtWindow*>(owner);
    if (!below || !below->isOpen()) below = topWindow();
    return std::make_unique<QtWindow>(*this, *structure, below);
}

bool QtWindowLayer::fileDialog(FileDialogRequest& request) {
    QtWindow* top = topWindow();
    QFileDialog dialog(top ? top->widget() : nullptr);
    configureFileDialog(dialog, request);
    std::optional<QStringList> chosen;
    if (fileDialogAnswer_) {
        chosen = fileDialogAnswer_(dialog);
    } else if (dialog.exec() == QDialog::Accepted) {
        chosen = dialog.selectedFiles();
    }
    if (!chosen || chosen->isEmpty()) return false;
    request.name = fileDialogResult(*chosen);
    return true;
}

int32_t QtWindowLayer::popup(std::string_view items) {
    QtWindow* top = topWindow();
    QMenu menu(top ? top->widget() : nullptr);
    buildPopupMenu(menu, parsePopupItems(items));
    if (menu.actions().isEmpty()) return 0;
    popupAt_ = top ? top->popupPlace() : QCursor::pos();
    QAction* chosen = popupAnswer_ ? popupAnswer_(menu) : menu.exec(popupAt_);
    return popupChoice(chosen);
}

void QtWindowLayer::setCursor(Cursor cursor) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    const bool wait = cursor == Cursor::Wait;
    if (wait == waitCursor_) return;
    if (wait) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
    waitCursor_ = wait;
}

void QtWindowLayer::followLists() {
    for (QtWindow* w : open_) w->followLists();
}

void QtWindowLayer::opened(QtWindow* window) { open_.push_back(window); }

void QtWindowLayer::closed(QtWindow* window) {
    open_.erase(std::remove(open_.begin(), open_.end(), window), open_.end());
}

}  // namespace varnok::window::qt
