// QtWindow: the Qt adapter of the window core (window/core/window_core.h).
// It builds the window from its structure as a top-level QWidget whose
// controls sit at the places the structure gives in dialog units, converted
// with the window's own font (window_font.h); below them an optional status
// bar shows the structure's zones, each with a progress bar that can take
// its text's place.
//
// Controls: group (QGroupBox), prompt (QLabel), entry (QLineEdit, its
// picture limits the length), button (QPushButton), list (QTableView over a
// ListModel), region (an empty widget that reports clicks), image (QLabel
// with a pixmap).
//
// Input: Qt's signals and events become the core's neutral input in one
// place (qt_window_events.cpp); what they mean is the core's. Qt's own:
// Home and End on a list go to its first and last row; focus that comes
// back with the window or goes with a popup selects no control.
//
// The accept loop runs a nested QEventLoop until the core's queue holds an
// event. A window opened while another is open is application-modal: the
// windows below refuse input until it closes. A window manager frames a
// window where it is mapped; Xpos and Ypos are the frame's top-left corner.
#pragma once
#include <QFont>
#include <QObject>
#include <QPoint>
#include <vector>

#include "window/core/window_core.h"

class QEventLoop;
class QKeyEvent;
class QMouseEvent;
class QLabel;
class QProgressBar;
class QStatusBar;
class QTableView;
class QWidget;

namespace varnok::window::qt {

class ListModel;
class QtWindowLayer;

class QtWindow : public QObject, public WindowCore {
public:
    // Builds the window. `below` is the window it opens over (its owner, or
    // the layer's top window), nullptr for none.
    QtWindow(QtWindowLayer& layer, WindowStructure structure, QtWindow* below);
    ~QtWindow() override;

    void paintPending() override;
    void beep() override;
    // The window's properties, not QObject's.
    using WindowCore::property;
    using WindowCore::setProperty;

    // The widgets, for the layer and for tests.
    QWidget* widget() const { return frame_; }
    QWidget* client() const { return client_; }
    QWidget* controlWidget(int32_t control) const;
    QTableView* listView(int32_t control) const;
    QStatusBar* statusBar() const { return status_; }
    const QFont& font() const { return font_; }
    // The accept loop waits for this window's input (and not the program's
    // handler running, which may paint meanwhile: paintPending).
    bool waitingForInput() const { return loop_ != nullptr; }
    // Where a popup menu opened now goes (global pixels): at the mouse, or
    // below the control that has the focus when the last input came from
    // the keyboard (a button pressed with Space or Enter).
    QPoint popupPlace() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Native verbs (qt_window.cpp, lists in qt_window_list.cpp).
#include "window/core/native_verbs.inc"

private:
    struct NativeControl {
        QWidget* widget = nullptr;
        QTableView* list = nullptr;  // lists only
        ListModel* model = nullptr;
    };

    void buildStatusBar();
    void buildControls();
    void layoutFrame();
    int32_t statusHeight() const;
    QWidget* widgetOf(int32_t control) const;  // 0: the frame
    const NativeControl* native(int32_t control) const;
    int32_t controlOf(const QObject* object) const;

    // Events (qt_window_events.cpp).
    void connectControl(int32_t number);
    void connectList(int32_t number);
    bool frameEvent(QEvent* event);
    bool controlEvent(int32_t control, QObject* watched, QEvent* event);
    bool keyEvent(int32_t control, QObject* watched, QKeyEvent* key);
    bool mouseEvent(int32_t control, QObject* watched, QMouseEvent* mouse);
    bool dragEvent(int32_t control, QEvent* event);

    QtWindowLayer& layer_;
    QFont font_;
    QWidget* frame_ = nullptr;   // the top-level widget
    QWidget* client_ = nullptr;  // the controls' parent
    QStatusBar* status_ = nullptr;
    std::vector<QLabel*> zones_;
    std::vector<QProgressBar*> zoneBars_;  // one per zone, shown in its place for progress
    std::vector<NativeControl> controls_;
    QEventLoop* loop_ = nullptr;  // while waitForInput waits
    bool closing_ = false;        // our own close: the close event passes
};

}  // namespace varnok::window::qt
