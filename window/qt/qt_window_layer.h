// QtWindowLayer: the window layer (window/window_layer.h) on Qt Widgets.
// It needs a QApplication; the desktop program creates one, installs the
// layer with setWindowLayer and a QtMessagePresenter with
// setMessagePresenter, and opens its main window by name.
//
//   QApplication app(argc, argv);
//   QtWindowLayer layer;
//   QtMessagePresenter boxes;
//   setWindowLayer(&layer);
//   setMessagePresenter(&boxes);
//
// The layer keeps the open windows in the order they opened; the last is
// the top window, the only one that takes input (qt_window.h).
//
// Seams for tests: the file dialog and the popup menu are built exactly as
// for the user, then handed to an answering function instead of being run
// (exec), so tests see every setting and choose in the user's place.
#pragma once
#include <QPoint>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "window/window_layer.h"

class QAction;
class QFileDialog;
class QMenu;

namespace varnok::window::qt {

class QtWindow;

class QtWindowLayer : public WindowLayer {
public:
    QtWindowLayer();
    ~QtWindowLayer() override;

    // open: nullptr when no structure has the name or there is no
    // QApplication.
#include "window/core/layer_verbs.inc"

    // The chosen paths, or nullopt for a cancelled dialog.
    using FileDialogAnswer = std::function<std::optional<QStringList>(QFileDialog&)>;
    // The chosen action, or nullptr when nothing was chosen.
    using PopupAnswer = std::function<QAction*(QMenu&)>;
    void answerFileDialogs(FileDialogAnswer answer) { fileDialogAnswer_ = std::move(answer); }
    void answerPopups(PopupAnswer answer) { popupAnswer_ = std::move(answer); }

    // Where the last popup menu opened (global pixels).
    QPoint lastPopupPlace() const { return popupAt_; }

    QtWindow* topWindow() const { return open_.empty() ? nullptr : open_.back(); }
    const std::vector<QtWindow*>& openWindows() const { return open_; }
    // Every open window's lists follow their sources.
    void followLists();

    // Called by QtWindow.
    void opened(QtWindow* window);
    void closed(QtWindow* window);

private:
    std::vector<QtWindow*> open_;
    FileDialogAnswer fileDialogAnswer_;
    PopupAnswer popupAnswer_;
    bool waitCursor_ = false;
    QPoint popupAt_;
};

}  // namespace varnok::window::qt
